#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Drives the bash completion of corvane-cli as bash would, and checks that it offers the program's
# options and, after an option with fixed choices, exactly those choices.
set -uo pipefail
program=$1
script=$2
# shellcheck source=/dev/null
source "$script"

complete_words() { # the words of the command line; the last is the one being completed
    COMP_WORDS=("$program" "$@")
    COMP_CWORD=$#
    COMPREPLY=()
    _corvane_cli
    ((${#COMPREPLY[@]})) && printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}

fail=0
expect() { # words... -- expected reply
    local got want
    got=$(complete_words "${@:1:$#-1}")
    want=${!#}
    if [[ $got != "$want" ]]; then
        echo "FAIL: completing '${*:1:$#-1}' gave '$got', expected '$want'" >&2
        fail=1
    fi
}
expect --mod "--model "
expect --model Ch "Chebyshev "
expect --type B "BPF BSF "
expect --distribution "" "normal uniform "
expect --series E1 "E12 E192 "
expect --monte "--monte-carlo "
expect --poles "" ""
exit $fail
