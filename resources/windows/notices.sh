#!/usr/bin/env bash
# Writes the notices of the third-party code inside the DLLs shipped with the Windows program:
#   notices.sh QT_COPYRIGHT MINGW_COPYRIGHT GCC_COPYRIGHT > THIRD-PARTY.txt
# from Debian's copyright files of qt6-base, mingw-w64 and gcc-mingw-w64 (the sources the
# DLLs were built from). Only what ends up in Qt6Core, Qt6Gui, Qt6Widgets, qwindows and
# qwindowsvistastyle of this Qt build (bundled zlib, PCRE2 with its JIT, HarfBuzz, FreeType,
# libpng, md4c and the rest; not libjpeg, xcb or the wasm fonts, which are not in them), the
# winpthreads run-time and the GCC Runtime Library Exception of libstdc++ and libgcc.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
qt=$1 mingw=$2 gcc=$3

qt_parts=('*' src/corelib/text/qlocale_data_p.h
    src/3rdparty/double-conversion/'*' src/3rdparty/easing/'*'
    src/3rdparty/harfbuzz-ng/'*' src/3rdparty/harfbuzz-ng/src/hb-ucd.cc
    src/3rdparty/freetype/'*' src/3rdparty/freetype/src/pcf/'*'
    src/3rdparty/freetype/src/pcf/pcfutil.c src/3rdparty/freetype/src/bdf/'*'
    src/3rdparty/freetype/src/gzip/'*' src/3rdparty/icc/sRGB2014.icc
    src/3rdparty/libpng/'*.c' src/3rdparty/md4/'*' src/3rdparty/md4c/'*'
    src/3rdparty/pcre2/src/'*' src/3rdparty/pcre2/src/sljit/'*' src/3rdparty/rfc6234/'*'
    src/3rdparty/sha1/sha1.cpp src/3rdparty/sha3/'*' src/3rdparty/sha3/brg_endian.h
    src/3rdparty/tinycbor/'*')
winpthreads_parts=(mingw-w64-libraries/winpthreads/'*'
    mingw-w64-libraries/winpthreads/include/pthread.h
    mingw-w64-libraries/winpthreads/src/clock.c
    mingw-w64-libraries/winpthreads/src/libgcc/dll_math.c)

joined() { local IFS='|'; printf '%s' "$*"; }

cat <<'TEXT'
Third-party notices of the DLLs shipped with Lexbin for Windows
================================================================

Qt6Core.dll, Qt6Gui.dll, Qt6Widgets.dll, platforms/qwindows.dll, styles/qwindowsvistastyle.dll
-----------------------------------------------------------------------------------------
Qt 6.4.2 (qtbase), built from Debian 12's qt6-base source package, used under the GNU
Lesser General Public License version 3 (LGPL-3.txt, which adds to GPL-3.txt). The code
bundled inside these DLLs, from Debian's copyright file of qt6-base (where to get the source:
QT-SOURCE.txt):

TEXT
awk -v KEEP="$(joined "${qt_parts[@]}")" -f "$here/qt_notices.awk" "$qt"
cat <<'TEXT'

libwinpthread-1.dll
-------------------
winpthreads of mingw-w64, from Debian's copyright file of mingw-w64:

TEXT
awk -v KEEP="$(joined "${winpthreads_parts[@]}")" -f "$here/qt_notices.awk" "$mingw"
cat <<'TEXT'

libstdc++-6.dll, libgcc_s_seh-1.dll
-----------------------------------
The run-time libraries of GCC 12 (Debian's gcc-mingw-w64), under the GNU General Public
License version 3 (GPL-3.txt) with the GCC Runtime Library Exception, version 3.1:

TEXT
exception=$(sed -n '/^GCC RUNTIME LIBRARY EXCEPTION/,/requirements of the license of GCC\./p' "$gcc")
[ -n "$exception" ] || { echo "notices.sh: no runtime exception in $gcc" >&2; exit 1; }
printf '%s\n' "$exception"
