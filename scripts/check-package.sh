#!/usr/bin/env bash
# Checks a built Debian package's layout without installing it: unpacks it into a temporary
# root, renders an example song with the unpacked tonquill-play, and runs the unpacked
# mendalot --batch against a temporary windir, once with its files missing and once with
# them in place. Usage: scripts/check-package.sh PACKAGE.deb
set -euo pipefail
deb=$(realpath "$1")
examples=$(realpath "$(dirname "$0")/../examples")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
fail() { echo "check-package: $*" >&2; exit 1; }

control=$(dpkg-deb --field "$deb" Depends)
[[ $control == *libqt6widgets6* ]] || fail "no Qt dependency declared: $control"
dpkg -x "$deb" "$root"

for f in usr/bin/tonquill usr/bin/tonquill-play usr/bin/mendalot \
         usr/lib/tonquill/tonquill-register usr/lib/tonquill/midiio32.ocx \
         usr/lib/tonquill/midifl32.ocx usr/lib/tonquill/info.txt \
         usr/share/applications/org.tonquill.Tonquill.desktop \
         usr/share/metainfo/org.tonquill.Tonquill.metainfo.xml \
         usr/share/mime/packages/org.tonquill.Tonquill.xml \
         usr/share/icons/hicolor/scalable/apps/org.tonquill.Tonquill.svg \
         usr/share/man/man1/tonquill.1.gz usr/share/man/man1/tonquill-play.1.gz \
         usr/share/man/man1/mendalot.1.gz usr/share/man/man1/tonquill-convert.1.gz \
         usr/share/doc/tonquill/copyright usr/share/doc/tonquill/changelog.gz \
         usr/bin/tonquill-convert \
         usr/share/bash-completion/completions/{tonquill-play,tonquill-convert,mendalot} \
         usr/share/zsh/vendor-completions/{_tonquill-play,_tonquill-convert,_mendalot}; do
    [[ -e $root/$f ]] || fail "$f is missing"
done
[[ -L $root/usr/bin/tonquill ]] || fail "usr/bin/tonquill is not a link"

# The links in bin lead to the programs, which find their components beside themselves.
song="$examples/Two voices.tql"
"$root/usr/bin/tonquill-play" --wav "$work/song.wav" "$song" >/dev/null
[[ -s $work/song.wav ]] || fail "tonquill-play rendered nothing"
"$root/usr/bin/tonquill-convert" "$song" "$work/song.mid" 2>/dev/null
"$root/usr/bin/tonquill-convert" "$work/song.mid" "$work/back.tql" 2>/dev/null
[[ -s $work/back.tql ]] || fail "tonquill-convert made no song of its MIDI file"

export windir=$work/win
if "$root/usr/bin/mendalot" --batch 2>"$work/missing.txt"; then
    fail "mendalot succeeded without its files"
fi
grep -q "^Failed to copy and register files:" "$work/missing.txt" || fail "no failure message"

# With the seven files beside it, all of them end up in the system folder.
for f in COMCT232.OCX MSCOMCTL.OCX comctl32.ocx comdlg32.ocx msstdfmt.dll MSCOMM32.OCX \
         vbalHTmr6.dll; do
    echo "stand-in $f" >"$root/usr/lib/tonquill/$f"
done
"$root/usr/bin/mendalot" --batch 2>"$work/fixed.txt" || fail "mendalot failed: $(cat "$work/fixed.txt")"
[[ $(ls "$windir/system32" | wc -l) -eq 7 ]] || fail "not all files reached $windir/system32"
# Debian's own package checker, where it is installed: no errors allowed.
if command -v lintian >/dev/null; then
    lintian --allow-root --fail-on error "$deb" || fail "lintian found errors"
fi

echo "check-package: $(basename "$deb") is laid out right"
