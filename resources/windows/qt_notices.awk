# Picks the notices that apply to the Qt DLLs shipped for Windows out of Debian's qt6-base
# copyright file (machine-readable format): the paragraphs whose first Files: pattern is
# named in KEEP (a |-separated list), then the texts of every licence they name.
#   awk -v KEEP='src/3rdparty/zlib/src/*|...' -f qt_notices.awk /usr/share/doc/libqt6core6/copyright
# Exits 1 when a named pattern or licence text is not in the file, so a changed copyright
# file is noticed instead of silently giving a shorter list.
BEGIN {
    RS = ""  # one paragraph per record
    FS = "\n"
    wanted_count = split(KEEP, wanted, "|")
    for (i = 1; i <= wanted_count; i++) {
        is_wanted[wanted[i]] = 1
    }
}

function strip_comments(text,    lines, n, i, out) {
    n = split(text, lines, "\n")
    out = ""
    for (i = 1; i <= n; i++) {
        if (lines[i] !~ /^#/) {
            out = out (out == "" ? "" : "\n") lines[i]
        }
    }
    return out
}

{
    paragraph = strip_comments($0)
    if (paragraph == "") {
        next
    }
    split(paragraph, lines, "\n")
    if (lines[1] ~ /^Files: /) {
        pattern = substr(lines[1], 8)
        if (!(pattern in is_wanted)) {
            next
        }
        found[pattern] = 1
        files_text[++files_count] = paragraph
        for (i = 1; i in lines; i++) {
            if (lines[i] ~ /^License: /) {
                names = substr(lines[i], 10)
                gsub(/ (or|and) /, "|", names)
                gsub(/ with [^|]*/, "", names)
                n = split(names, list, "|")
                for (j = 1; j <= n; j++) {
                    needed[list[j]] = 1
                }
                if (lines[i + 1] ~ /^ /) {  # the text given in the paragraph itself
                    inline_text[names] = 1
                }
            }
        }
    } else if (lines[1] ~ /^License: /) {
        name = substr(lines[1], 10)
        if (lines[2] != "" && !(name in license_text)) {
            license_text[name] = paragraph
        }
    }
}

END {
    status = 0
    for (i = 1; i <= wanted_count; i++) {
        if (!(wanted[i] in found)) {
            print "qt_notices.awk: no paragraph for Files: " wanted[i] > "/dev/stderr"
            status = 1
        }
    }
    for (i = 1; i <= files_count; i++) {
        print files_text[i] "\n"
    }
    print "# License texts\n"
    for (name in needed) {
        sorted[++sorted_count] = name
    }
    # A plain insertion sort: the order of the texts does not depend on the awk in use.
    for (i = 2; i <= sorted_count; i++) {
        for (j = i; j > 1 && sorted[j - 1] > sorted[j]; j--) {
            t = sorted[j]; sorted[j] = sorted[j - 1]; sorted[j - 1] = t
        }
    }
    for (i = 1; i <= sorted_count; i++) {
        if (sorted[i] in inline_text) {
            continue
        }
        if (!(sorted[i] in license_text)) {
            print "qt_notices.awk: no text for License: " sorted[i] > "/dev/stderr"
            status = 1
            continue
        }
        print license_text[sorted[i]] "\n"
    }
    exit status
}
