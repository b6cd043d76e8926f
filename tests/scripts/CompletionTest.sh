#!/usr/bin/env bash
# The shell completion of the command-line programs. bash, through the packaged
# bash-completion: options and their words read from the built programs' --help, song files,
# files of an option's kind and MIDI ports (from a stand-in program's --list-midi). zsh: the
# definitions it gives _arguments.
# Usage: CompletionTest.sh COMPLETION_FOLDER TONQUILL_PLAY MENDALOT TONQUILL_CONVERT
set -uo pipefail
folder=$1 play=$2 mendalot=$3 convert=$4
script=$folder/tonquill.bash
# shellcheck disable=SC1091
source /usr/share/bash-completion/bash_completion || { echo "FAIL: no bash-completion"; exit 1; }
# shellcheck disable=SC1090
source "$script"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
touch song.tql tune.RTTTL notes.mid x.wav readme.md
mkdir folder

# A program with MIDI ports whose names have spaces, in the form tonquill-play prints them.
cat >ports <<'PORTS'
#!/bin/sh
if [ "$1" = --list-midi ]; then
    printf 'MIDI output ports (--midi-out):\n0: Synth Out 1\n1: Other\n'
    printf 'MIDI input ports (--midi-in):\n0: Keys In\n'
else
    printf 'Usage: ports [options]\n\nOptions:\n  --midi-out <PORT>  Out.\n'
    printf '  --midi-in <PORT>   In.\n'
fi
PORTS
chmod +x ports

failures=0
# expect "WANTED COMPLETIONS" PROGRAM WORD...: completes the last word.
expect() {
    local wanted=$1
    shift
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _tonquill "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs -d '\n' echo)
    if [[ $got != "$wanted" ]]; then
        echo "FAIL: ${*:2} -> '$got', wanted '$wanted'"
        failures=$((failures + 1))
    fi
}

expect "--midi-channel --midi-in --midi-instrument --midi-octave --midi-out" "$play" --midi
expect "all odd" "$play" song.tql --beat ""
expect "emulated evdev" "$play" --speaker e
expect "always" "$play" --portamento --sound-length ""
expect "a e i o u" "$play" --voice --vowel ""
expect "folder notes.mid song.tql tune.RTTTL" "$play" ""
expect "folder x.wav" "$play" song.tql --wav ""
expect "" "$play" song.tql --passes ""
expect "--batch --help" "$mendalot" ""
expect "--beat --glide --help --list --portamento --sound-length --tune" "$convert" --
expect "tune.RTTTL" "$convert" --list t
expect 'Other Synth\ Out\ 1' "$work/ports" --midi-out ""
expect 'Keys\ In' "$work/ports" --midi-in K

# zsh: _arguments stands in, printing the definitions.
zsh_defs() { # program
    sed "s/@PROGRAM@/${1##*/}/" "$folder/tonquill.zsh.in" >"_${1##*/}"
    zsh -f -c '_arguments() { print -rl -- "$@" }; words=("$1"); source "$2"' zsh "$1" "_${1##*/}"
}
play_defs=$(zsh_defs "$play")
def() { # option action: a definition "option[description]action"
    local line
    while IFS= read -r line; do
        [[ $line == "$1["*"]$2" ]] && return
    done <<<"$play_defs"
    echo "FAIL: zsh: no $1[...]$2"
    failures=$((failures + 1))
}
def --beat ":all|odd:(all odd)"
def --wav ":OUT.wav:_files -g '*.(#i)wav'"
def --midi-out ":port:{_tonquill_ports --midi-out}"
def --start-at ':HH\:MM\:SS: '
def --once ""
grep -qxF "*:song or MIDI file:_files -g '*.(#i)(tql|mid|midi|rmi|rtttl|rtx|txt)'" \
    <<<"$play_defs" || { echo "FAIL: zsh: no song files"; failures=$((failures + 1)); }
[[ $(zsh_defs "$mendalot") != *"song or MIDI file"* ]] ||
    { echo "FAIL: zsh: mendalot completes files"; failures=$((failures + 1)); }
exit $((failures > 0))
