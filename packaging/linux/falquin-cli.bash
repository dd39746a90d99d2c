# SPDX-License-Identifier: Apache-2.0
# bash completion for falquin-cli: its commands, their options, and the key words.

_falquin_cli_keys()
{
    printf '%s\n' up down left right ok back '#0' '#1' '#2' '#3' '#4' '#5' '#6' '#7' '#8' '#9' . \
        guide info zap menu dvr live record ba mute POWER ON OFF 'rew down' 'rew up' 'ff down' 'ff up'
}

# Offers the key words that start with the current word. Inside quotes the shell takes a key as it
# is; outside, its space and # need escaping.
_falquin_cli_complete_keys()
{
    local typed=$cur quoted=""
    if [[ $cur == [\"\']* ]]; then
        quoted=1
        typed=${cur:1}
    else
        typed=$(dequote "$cur")
    fi
    local key
    while IFS= read -r key; do
        [[ $key == "$typed"* ]] || continue
        if [[ -n $quoted ]]; then
            COMPREPLY+=("$key")
        else
            COMPREPLY+=("$(printf '%q' "$key")")
        fi
    done < <(_falquin_cli_keys)
}

_falquin_cli()
{
    local cur prev words cword split
    _init_completion -s || return

    case $prev in
        --host | --box | --timeout)
            return
            ;;
    esac
    $split && return

    # The command is the first word that is neither an option nor an option's value.
    local i command="" arguments=0
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --host | --box | --timeout) ((i++)) ;;
            -*) ;;
            *)
                if [[ -z $command ]]; then
                    command=${words[i]}
                else
                    ((arguments++))
                fi
                ;;
        esac
    done

    if [[ $cur == -* ]]; then
        local options
        case $command in
            list) options="--timeout --remembered --json" ;;
            send | hold) options="--host --box --timeout" ;;
            *) options="--help --version" ;;
        esac
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
        return
    fi

    case $command in
        "") mapfile -t COMPREPLY < <(compgen -W "list send hold" -- "$cur") ;;
        send) _falquin_cli_complete_keys ;;
        hold) ((arguments == 0)) && mapfile -t COMPREPLY < <(compgen -W "rew ff" -- "$cur") ;;
    esac
} &&
    complete -F _falquin_cli falquin-cli
