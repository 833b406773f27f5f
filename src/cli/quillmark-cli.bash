# bash completion for quillmark-cli
_quillmark_cli() {
    local cur prev words cword
    _init_completion || return
    local i command="" sub=""
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
        -*) ;;
        *)
            if [[ -z $command ]]; then
                command=${words[i]}
            elif [[ $command == profile && -z $sub ]]; then
                sub=${words[i]}
            fi
            ;;
        esac
    done
    case $prev in
    --header | --footer | --output | --password-file)
        _filedir
        return
        ;;
    --profile)
        local IFS=$'\n'
        COMPREPLY=($(compgen -W "$(quillmark-cli profiles 2>/dev/null)" -- "$cur"))
        return
        ;;
    --rot | --password-env)
        return
        ;;
    esac
    case $command in
    "")
        COMPREPLY=($(compgen -W "next profiles profile encrypt decrypt --help --version" -- "$cur"))
        ;;
    next) COMPREPLY=($(compgen -W "--profile --dashes --no-dashes --blank-line --help" -- "$cur")) ;;
    encrypt | decrypt) COMPREPLY=($(compgen -W "--rot --password-file --password-env --help" -- "$cur")) ;;
    profile)
        if [[ -z $sub ]]; then
            COMPREPLY=($(compgen -W "add remove show use --help" -- "$cur"))
        elif [[ $sub == add ]]; then
            COMPREPLY=($(compgen -W "--header --footer --output --help" -- "$cur"))
        elif [[ $cur != -* ]]; then
            local IFS=$'\n'
            COMPREPLY=($(compgen -W "$(quillmark-cli profiles 2>/dev/null)" -- "$cur"))
        fi
        ;;
    esac
}
complete -F _quillmark_cli quillmark-cli
