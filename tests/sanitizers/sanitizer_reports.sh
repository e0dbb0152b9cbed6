#!/usr/bin/env bash
# The sanitizer build's report folder, around the whole test run (a CTest fixture):
#   sanitizer_reports.sh clear DIR   empties DIR before the tests
#   sanitizer_reports.sh check DIR   fails, printing them, when the tests left reports in DIR
set -u
mode=${1:-} dir=${2:-}
[[ -n "$dir" ]] || { echo "usage: $0 clear|check DIR" >&2; exit 2; }
case $mode in
clear)
    # Writable for all (sticky, like /tmp): the packaging test runs the installed program
    # as an unprivileged user, and its reports belong here too.
    rm -rf -- "$dir" && mkdir -p -- "$dir" && chmod 1777 -- "$dir"
    ;;
check)
    [[ -d "$dir" ]] || { echo "no report folder $dir: the clearing step did not run" >&2; exit 1; }
    shopt -s nullglob
    reports=("$dir"/*)
    if ((${#reports[@]} == 0)); then
        echo "no sanitizer reports"
        exit 0
    fi
    for report in "${reports[@]}"; do
        echo "=== $report"
        cat -- "$report"
    done
    echo "FAIL: ${#reports[@]} sanitizer report(s) in $dir" >&2
    exit 1
    ;;
*)
    echo "usage: $0 clear|check DIR" >&2
    exit 2
    ;;
esac
