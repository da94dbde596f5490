# bash completion for nq501ctl
# Device names and profile names are asked from nq501ctl itself (through the running nq501 when
# there is one), with a short time limit so a slow device never blocks the prompt.

_nq501ctl_devices()
{
    local names
    names=$(timeout 3 nq501ctl list --json 2>/dev/null | sed -n 's/^ *"name" *: *"\([^"]*\)".*/\1/p')
    printf '%s\n' $names mouse keyboard mousepad chargepad headset | sort -u
}

_nq501ctl_profiles()
{
    timeout 3 nq501ctl profile "$1" list 2>/dev/null | sed 's/^[* ] //'
}

_nq501ctl_files()
{
    compopt -o filenames 2>/dev/null
    local IFS=$'\n'
    COMPREPLY=($(compgen -f -- "$cur"))
}

_nq501ctl()
{
    # Plain bash: the bash-completion package is not needed.
    local cword=$COMP_CWORD
    local -a words=("${COMP_WORDS[@]}")
    local cur=${words[cword]} prev=${words[cword - 1]}

    local command=${words[1]}
    if [[ $cword -eq 1 ]]; then
        COMPREPLY=($(compgen -W "list show status set profile --help" -- "$cur"))
        return
    fi
    case $command in
    list)
        COMPREPLY=($(compgen -W "--json --help" -- "$cur"))
        return
        ;;
    show | status | set | profile)
        if [[ $cword -eq 2 ]]; then
            COMPREPLY=($(compgen -W "$(_nq501ctl_devices) --help" -- "$cur"))
            return
        fi
        ;;
    *)
        return
        ;;
    esac

    local device=${words[2]} action=${words[3]}
    case $command in
    show | status)
        COMPREPLY=($(compgen -W "--json --help" -- "$cur"))
        ;;
    set)
        if [[ $cword -eq 3 ]]; then
            COMPREPLY=($(compgen -W "dpi stage report-rate lighting repeat win-lock" -- "$cur"))
            return
        fi
        case $action in
        dpi)
            [[ $cword -eq 4 ]] && COMPREPLY=($(compgen -W "1 2 3 4 5" -- "$cur"))
            ;;
        stage)
            [[ $cword -eq 4 ]] && COMPREPLY=($(compgen -W "1 2 3 4 5" -- "$cur"))
            ;;
        report-rate)
            COMPREPLY=($(compgen -W "125 250 500 1000 2000" -- "$cur"))
            ;;
        lighting)
            case $prev in
            --zone) COMPREPLY=($(compgen -W "keys logo side" -- "$cur")) ;;
            --brightness | --speed) COMPREPLY=($(compgen -W "0 1 2 3 4" -- "$cur")) ;;
            --colour | --color) ;;
            *) COMPREPLY=($(compgen -W "--zone --colour --brightness --speed --help" -- "$cur")) ;;
            esac
            ;;
        repeat)
            case $prev in
            --rate) ;;
            --delay) COMPREPLY=($(compgen -W "0 1 2 3" -- "$cur")) ;;
            *) COMPREPLY=($(compgen -W "--rate --delay --help" -- "$cur")) ;;
            esac
            ;;
        win-lock)
            COMPREPLY=($(compgen -W "on off" -- "$cur"))
            ;;
        esac
        ;;
    profile)
        if [[ $cword -eq 3 ]]; then
            COMPREPLY=($(compgen -W "list use export import" -- "$cur"))
            return
        fi
        case $action in
        use)
            if [[ $cword -eq 4 ]]; then
                local IFS=$'\n'
                COMPREPLY=($(compgen -W "$(_nq501ctl_profiles "$device")" -- "$cur"))
            fi
            ;;
        export)
            if [[ $cword -eq 4 ]]; then
                local IFS=$'\n'
                COMPREPLY=($(compgen -W "$(_nq501ctl_profiles "$device")" -- "$cur"))
            elif [[ $cword -eq 5 ]]; then
                _nq501ctl_files
            fi
            ;;
        import)
            [[ $cword -eq 4 ]] && _nq501ctl_files
            ;;
        list)
            COMPREPLY=($(compgen -W "--json --help" -- "$cur"))
            ;;
        esac
        ;;
    esac
}
complete -F _nq501ctl nq501ctl
