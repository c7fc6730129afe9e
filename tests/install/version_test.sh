#!/bin/sh
# The version of project() is the one of the Debian changelog, the man page and --version.
# Usage: version_test.sh VERSION CHANGELOG MAN_PAGE NADREL
set -u
version=$1 status=0
head -n1 "$2" | grep -qF "nadrel ($version-" || { echo "changelog: $(head -n1 "$2")"; status=1; }
grep -qF "\"nadrel $version\"" "$3" || { echo "man page lacks nadrel $version"; status=1; }
[ "$("$4" --version)" = "nadrel $version" ] || { echo "--version: $("$4" --version)"; status=1; }
[ "$status" = 0 ] && echo "version $version everywhere"
exit "$status"
