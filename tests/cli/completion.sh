#!/bin/bash
# SPDX-License-Identifier: Apache-2.0
# What the bash completion offers at each point of a falquin-cli command line, with
# bash-completion's own helpers loaded as an interactive shell would.
# Usage: completion.sh <falquin-cli completion file> <falquin-cli>
set -uo pipefail
script=$1 program=$2
helpers=/usr/share/bash-completion/bash_completion
[ -f "$helpers" ] || { echo "completion.sh: bash-completion is needed" >&2; exit 1; }
# shellcheck source=/dev/null
. "$helpers"
# shellcheck source=/dev/null
. "$script"
failures=0

# offers <line up to the cursor> <expected completions, one per line, sorted>
offers() {
    local line=$1 expected=$2
    read -r -a COMP_WORDS <<<"$line"
    [[ $line == *' ' ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE=$line
    COMP_POINT=${#line}
    COMPREPLY=()
    _falquin_cli falquin-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort)
    if [ "$got" != "$expected" ]; then
        echo "FAIL: '$line' offers:"$'\n'"$got"$'\n'"expected:"$'\n'"$expected" >&2
        failures=$((failures + 1))
    fi
}

offers 'falquin-cli ' $'hold\nlist\nsend'
offers 'falquin-cli s' 'send'
offers 'falquin-cli --' $'--help\n--version'
offers 'falquin-cli list --' $'--json\n--remembered\n--timeout'
offers 'falquin-cli send --' $'--box\n--host\n--timeout'
offers 'falquin-cli send --host ' ''
offers 'falquin-cli send --box Den g' 'guide'
offers 'falquin-cli send up re' $'record\nrew\\ down\nrew\\ up'
offers 'falquin-cli send "rew' $'rew down\nrew up'
offers 'falquin-cli send \#' $'\\#0\n\\#1\n\\#2\n\\#3\n\\#4\n\\#5\n\\#6\n\\#7\n\\#8\n\\#9'
offers 'falquin-cli send P' 'POWER'
offers 'falquin-cli hold ' $'ff\nrew'
offers 'falquin-cli hold --host 10.0.0.2 r' 'rew'
offers 'falquin-cli hold ff ' ''

# After send, exactly the program's own key words, as its --help lists them.
COMP_WORDS=(falquin-cli send "") COMP_CWORD=2 COMP_LINE='falquin-cli send ' COMP_POINT=17 COMPREPLY=()
_falquin_cli falquin-cli "" send
offered=$(for key in "${COMPREPLY[@]}"; do dequote "$key"; echo; done | sort)
keys=$("$program" --help | sed -n '/^Keys/{n;p;}' | xargs printf '%s\n' | sort)
[ "$(wc -l <<<"$keys")" = 33 ] || { echo "FAIL: cannot read the key words from --help: $keys" >&2; failures=$((failures + 1)); }
[ "$offered" = "$keys" ] || {
    echo "FAIL: send offers"$'\n'"$offered"$'\n'"but the program's keys are"$'\n'"$keys" >&2
    failures=$((failures + 1))
}

[ "$failures" = 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "bash completion: all checks passed"
