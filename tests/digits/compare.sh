#!/usr/bin/env bash
# Compares the outcome tables of two builds of velsona_digits_table:
#   compare.sh REFERENCE [ARGS...] -- OTHER [ARGS...]
# REFERENCE is the program of this system; OTHER is the command that runs the
# other build (under Wine, say). Both print a digest per block of rows; for
# each block whose digests differ (the first 20), the differing rows are
# printed. Fails on any difference.
set -euo pipefail
reference=()
while [ "$1" != -- ]; do reference+=("$1"); shift; done
shift
other=("$@")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"${reference[@]}" > "$work/reference" &
reference_pid=$!
other_status=0
"${other[@]}" > "$work/other-raw" || other_status=$?
reference_status=0
wait "$reference_pid" || reference_status=$?
if [ "$reference_status" -ne 0 ] || [ "$other_status" -ne 0 ] || ! grep -q '^total' "$work/reference"; then
  echo "No table to compare: the reference ended with $reference_status, the other with $other_status"
  exit 1
fi
# Windows programs end their lines with CR LF.
tr -d '\r' < "$work/other-raw" > "$work/other"

if cmp -s "$work/reference" "$work/other"; then
  blocks=$(grep -vc '^total' "$work/reference")
  echo "The same outcomes in all $blocks blocks: $(tail -n 1 "$work/reference" | cut -f 2)"
  exit 0
fi

echo "The tables differ:"
if [ "$(cut -f 1-3 "$work/reference")" != "$(cut -f 1-3 "$work/other")" ]; then
  echo "not even the same blocks:"
  diff "$work/reference" "$work/other" | head -n 40
  exit 1
fi
paste "$work/reference" "$work/other" | awk -F '\t' '$4 != $8 && $1 != "total" { print $1 }' > "$work/blocks"
echo "$(wc -l < "$work/blocks") of $(grep -vc '^total' "$work/reference") blocks; the differing rows, reference first:"
head -n 20 "$work/blocks" | while read -r block; do
  echo "-- block $block: $(grep "^$block	" "$work/reference" | cut -f 2)"
  "${reference[@]}" --block "$block" > "$work/reference-rows"
  "${other[@]}" --block "$block" | tr -d '\r' > "$work/other-rows"
  diff "$work/reference-rows" "$work/other-rows" | grep '^[<>]' | head -n 40 || true
done
exit 1
