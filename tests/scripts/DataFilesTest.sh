#!/usr/bin/env bash
# Runs the desktop entry, AppStream data, MIME type and manual pages through their
# validators; a validator that is not installed is skipped with a note.
set -uo pipefail
data=$1
failures=0

have() {
    command -v "$1" >/dev/null && return 0
    echo "SKIP $2: $1 is not installed"
    return 1
}
check() { # name command...
    local name=$1 out
    shift
    if ! out=$("$@" 2>&1) || [[ $name == man* && -n $out ]]; then
        echo "FAIL $name"; echo "$out"; failures=$((failures + 1))
    fi
}

have desktop-file-validate "desktop entry" &&
    check "desktop entry" desktop-file-validate "$data/org.tonquill.Tonquill.desktop"
have appstreamcli "AppStream data" &&
    check "AppStream data" appstreamcli validate --no-net "$data/org.tonquill.Tonquill.metainfo.xml"
if command -v xmllint >/dev/null; then
    check "MIME type" xmllint --noout "$data/org.tonquill.Tonquill.mime.xml"
elif have python3 "MIME type"; then
    check "MIME type" python3 -c 'import sys, xml.dom.minidom as m; m.parse(sys.argv[1])' \
        "$data/org.tonquill.Tonquill.mime.xml"
fi
if have groff "manual pages"; then
    for page in "$data"/man/*.1; do
        # groff reports problems on stderr and still succeeds: any output is a failure.
        check "man $(basename "$page")" groff -man -Tutf8 -ww -z "$page"
    done
fi
exit $((failures > 0))
