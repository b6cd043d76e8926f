# bash completion for tonquill-play, tonquill-convert and mendalot, installed under each name.
# The options come from the program's own --help each time, so they are those of the program
# that runs: "--name <a|b>" offers the words a and b, "--name <PORT>" the MIDI ports that
# tonquill-play --list-midi shows, "--name <FILE>" any file and "--name <OUT.wav>" .wav
# files. Where the usage line names arguments after the options, they are song and MIDI
# files.


# The names of the MIDI ports under the heading that names the option ("(--midi-out)").
_tonquill_ports() {
    timeout 5 "$1" --list-midi 2>/dev/null |
        awk -v option="($2)" '/^MIDI / { mine = index($0, option) > 0; next }
                              mine && /^[0-9]+: / { sub(/^[0-9]+: /, ""); print }'
}

# The value of option, named placeholder in the help.
_tonquill_value() {
    local program=$1 option=$2 placeholder=$3 word name
    local -a words=()
    case $placeholder in
    PORT)
        while IFS= read -r name; do
            [[ $name == "$cur"* ]] && COMPREPLY+=("$(printf '%q' "$name")")
        done < <(_tonquill_ports "$program" "$option")
        ;;
    *'|'*)
        # Lower-case alternatives are words; upper-case ones name a value to type.
        local IFS='|'
        for word in $placeholder; do
            [[ $word == *[A-Z]* ]] || words+=("$word")
        done
        IFS=$' \t\n'
        COMPREPLY=($(compgen -W "${words[*]}" -- "$cur"))
        ;;
    *.*) _filedir "${placeholder##*.}" ;;
    *FILE*) _filedir ;;
    esac
}

_tonquill() {
    local cur prev words cword split
    _init_completion -s || return
    local help option placeholder
    local -a options=()
    local -A takes=()
    help=$(timeout 5 "$1" --help 2>/dev/null)
    # Each option a line: the option, then the name of its value if it takes one.
    while read -r option placeholder; do
        options+=("$option")
        takes[$option]=$placeholder
    done < <(sed -n -E 's/^  (-[a-zA-Z], )?(--[a-z][a-z0-9-]*)( <([^>]*)>)?.*/\2 \4/p' <<<"$help")
    if [[ $prev == --* && -n ${takes[$prev]:-} ]]; then
        _tonquill_value "$1" "$prev" "${takes[$prev]}"
        return
    fi
    $split && return
    local usage
    usage=$(sed -n -E 's/^Usage: [^ ]+ \[options\] *//p' <<<"$help")
    if [[ $cur == -* || -z $usage ]]; then
        COMPREPLY=($(compgen -W "${options[*]}" -- "$cur"))
        return
    fi
    _filedir '@(tql|mid|midi|rmi|rtttl|rtx|txt)'
}

complete -F _tonquill tonquill-play tonquill-convert mendalot
