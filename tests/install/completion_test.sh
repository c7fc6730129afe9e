#!/bin/bash
# The bash completion script completes nadrel's options from a few prefixes.
# Usage: completion_test.sh COMPLETION_FILE
set -u
# shellcheck source=/dev/null
source "${1:?usage: completion_test.sh COMPLETION_FILE}"
status=0
[[ $(complete -p nadrel) == "complete -F _nadrel nadrel" ]] || { echo "not registered"; status=1; }
check() {  # $1: the word being completed, $2: the expected completions, space-separated
    COMP_WORDS=(nadrel "${PREV:---print}" "$1")
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
check --p "--print --prometheus"
check --s "--sanitize"
check --l "--load"
check -- "--print --detail --gui --json --sanitize --load --compare --prometheus --help --version --dump-smbios"
check -x ""
check "" "--print --detail --gui --json --sanitize --load --compare --prometheus --help --version --dump-smbios -p -d -g -h"
# After --load and --compare: the JSON files and folders there are.
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
touch "$dir/old.json" "$dir/notes.txt"
mkdir "$dir/saved"
PREV=--load check "$dir/" "$dir/old.json $dir/saved"
PREV=--compare check "$dir/o" "$dir/old.json"
PREV=--compare check "--p" "--print --prometheus"
[ "$status" = 0 ] && echo "completion: every prefix completes"
exit "$status"
