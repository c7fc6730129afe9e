#!/bin/bash
# The bash completion script completes nadrel's options from a few prefixes.
# Usage: completion_test.sh COMPLETION_FILE
set -u
# shellcheck source=/dev/null
source "${1:?usage: completion_test.sh COMPLETION_FILE}"
status=0
[[ $(complete -p nadrel) == "complete -F _nadrel nadrel" ]] || { echo "not registered"; status=1; }
check() {  # $1: the word being completed, $2: the expected completions, space-separated
    COMP_WORDS=(nadrel --print "$1")
    COMP_CWORD=2
    COMPREPLY=()
    _nadrel
    local got="${COMPREPLY[*]}"
    if [[ $got != "$2" ]]; then
        echo "'$1': got '$got', want '$2'"
        status=1
    fi
}
check --d "--detail --dump-smbios"
check --v "--version"
check --p "--print"
check --s "--sanitize"
check -- "--print --detail --gui --json --sanitize --help --version --dump-smbios"
check -x ""
check "" "--print --detail --gui --json --sanitize --help --version --dump-smbios -p -d -g -h"
[ "$status" = 0 ] && echo "completion: every prefix completes"
exit "$status"
