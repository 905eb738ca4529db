#!/usr/bin/env bash
# Every include points down: app/ on the front ends, the front ends (ui/,
# cli/, station/) on production/ (the station engine) and services/,
# production/ on services/, services/ on link/ and history/, those on
# record/ and lang/. Fails, naming the line, when a room includes one above it
# or a front end includes another.
set -euo pipefail
cd "$(dirname "$0")/../src"

rank() {
    case "$1" in
        app) echo 5 ;;
        ui | cli | station) echo 4 ;;
        production) echo 3 ;;
        services) echo 2 ;;
        link | history) echo 1 ;;
        record | lang) echo 0 ;;
        *) echo -1 ;;
    esac
}

bad=0
while IFS= read -r line; do
    file=${line%%:*}
    from=${file%%/*}
    to=$(sed -E 's/.*#include "([a-z]+)\/.*/\1/' <<<"${line#*:}")
    [ "$from" = "$to" ] && continue
    rf=$(rank "$from") rt=$(rank "$to")
    if [ "$rf" -lt 0 ] || [ "$rt" -lt 0 ]; then
        echo "layout: unknown room in $line" >&2
        bad=1
    elif [ "$rt" -ge "$rf" ]; then
        echo "layout: $from/ may not include $to/: $line" >&2
        bad=1
    fi
done < <(grep -rnE '^#include "[a-z]+/' --include='*.h' --include='*.cpp' . | sed 's#^\./##')

[ "$bad" -eq 0 ] && echo "layout: every include points down"
exit "$bad"
