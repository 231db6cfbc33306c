# bash completion for rekna: its options, then a memo, a settings file or a folder.

_rekna() {
    local cur prev
    COMPREPLY=()
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    if [[ $prev == --print-to-pdf ]]; then
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -f -X '!*.pdf' -- "$cur") $(compgen -d -- "$cur"))
        return
    fi
    if [[ $prev == --hotkey ]]; then
        COMPREPLY=($(compgen -W 'calc replace delete' -- "$cur"))
        return
    fi
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '--print-to-pdf --hotkey --help --version' -- "$cur"))
        return
    fi
    compopt -o filenames 2>/dev/null
    COMPREPLY=($(compgen -f -- "$cur"))
}
complete -F _rekna rekna
