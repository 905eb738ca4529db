#!/usr/bin/env bash
# The simulator's manual page against its --help: the page must describe
# every fault and option --help lists, and the signal it names, and list no
# fault --help does not.
#   helppage.sh SIMULATOR PAGE
set -euo pipefail
help=$("$1" --help)
page=$2
plain=$(sed 's/\\-/-/g' "$page")

# --help: a fault's name begins its line right after "  fault:   ", below it
# at the same column; a description's continuation is indented further.
help_faults=$(sed -n '/^Faults/,/^  request:/p' <<<"$help" | sed -nE 's/^(  fault:   |           )([a-z]+) .*/\2/p' | sort)
# The page: a tagged paragraph of FAULTS per fault.
page_faults=$(awk '/^\.SH/ { on = ($2 == "FAULTS") } on && prev == ".TP" && /^\.B [a-z]+$/ { print $2 } { prev = $0 }' \
    "$page" | sort)

bad=0
while read -r fault; do
    echo "$page: no fault $fault, which --help lists" >&2
    bad=1
done < <(comm -23 <(echo "$help_faults") <(echo "$page_faults"))
while read -r fault; do
    echo "$page: fault $fault, which --help does not list" >&2
    bad=1
done < <(comm -13 <(echo "$help_faults") <(echo "$page_faults"))

for option in $(sed -n '/^Options:/,$p' <<<"$help" | sed -nE 's/^  (-[a-z], )?--([a-z-]+).*/\2/p'); do
    [ "$option" = help-all ] && continue # Qt's own
    grep -qE -- "--$option([^a-z-]|\$)" <<<"$plain" || { echo "$page: no option --$option" >&2; bad=1; }
done
for signal in $(grep -oE 'kill -[A-Z0-9]+' <<<"$help" | cut -c7- | sort -u); do
    grep -q "^\.B SIG$signal\$" "$page" || { echo "$page: no signal SIG$signal" >&2; bad=1; }
done

[ "$bad" -eq 0 ] && echo "$page: $(wc -w <<<"$help_faults") faults, the options and the signals of --help"
exit "$bad"
