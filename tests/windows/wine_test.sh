#!/usr/bin/env bash
# Runs a Windows test program under Wine for CTest: wine_test.sh PROGRAM.exe [ARGUMENTS...]
# (the CROSSCOMPILING_EMULATOR of tests/windows/wine.cmake), or, once per run, makes the
# shared Wine prefix: wine_test.sh --make-prefix.
# From CTest's environment: LEXBIN_WINE_PREFIX (the prefix), LEXBIN_WINE_DLL_PATH (the Unix
# folders of the DLLs, colon-separated), LEXBIN_QT_PLUGINS (Qt's plugin folder).
# Console output of a Qt Test program does not reach the terminal under Wine: its results go
# to a file beside the program and are printed after it ends; its exit status is the verdict.
set -uo pipefail

# The Windows name of a Unix path: Wine's drive Z: is the Unix root.
windows_path() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }

export WINEPREFIX=$LEXBIN_WINE_PREFIX WINEDEBUG=-all
# No Mono or Gecko prompt in a new prefix, no menu entries written into $HOME.
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
dll_path=
IFS=: read -ra folders <<<"$LEXBIN_WINE_DLL_PATH"
for folder in "${folders[@]}"; do
    dll_path+="${dll_path:+;}$(windows_path "$folder")"
done
export WINEPATH=$dll_path
# Code page 932 comes from the Unix locale, which must be generated (an ungenerated one gives
# code page 1252 without a word).
export LC_ALL=${LC_ALL:-ja_JP.UTF-8}
# Wine run by root ignores Unix permissions: tests that need a refusal say they cannot show it.
if [ "$(id -u)" -eq 0 ]; then
    export LEXBIN_WINE_AS_ROOT=1
fi

if [ "${1:-}" = --make-prefix ]; then
    if ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
        echo "the locale ja_JP.UTF-8 is not generated (scripts/test-windows does it)" >&2
        exit 1
    fi
    # Wine 8.0 here handed no QT_ variable of the Unix environment to a Windows program (seen
    # with `wine cmd /c echo`): Qt's go into the prefix's user environment, where every
    # program of this suite finds them.
    wineboot -i &&
        wine reg add 'HKCU\Environment' /v QT_QPA_PLATFORM /t REG_SZ /d offscreen /f >/dev/null &&
        wine reg add 'HKCU\Environment' /v QT_PLUGIN_PATH /t REG_SZ \
            /d "$(windows_path "$LEXBIN_QT_PLUGINS")" /f >/dev/null &&
        wineserver -w
    exit
fi

program=$1
shift
results=${program%.exe}.txt
rm -f "$results"
wine "$program" -o "$(windows_path "$(realpath -m "$results")"),txt" "$@"
status=$?
# Qt Test writes the file in the ANSI code page.
[ -f "$results" ] && iconv -f CP932 -t UTF-8 -c "$results"
exit "$status"
