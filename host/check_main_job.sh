#!/bin/sh
# The main job answers every request of its script, none with a failure
# document, and its replies match the recorded ones (dates and tickets masked).
set -eu
gateway=$1; top=$2
out=$(mktemp); trap 'rm -f "$out" "$out.masked"' EXIT
"$gateway" --script "$top/site/main_job.script" > "$out"
requests=$(grep -c '^@ ' "$top/site/main_job.script")
replies=$(grep -c '^=== ' "$out")
[ "$requests" -eq "$replies" ] || { echo "expected $requests replies, got $replies"; exit 1; }
if grep -q -e '<ServiceException' -e '<InternalServerException' -e '<InvalidCredentialsException' "$out"; then
  echo "a request of the main job failed:"; cat "$out"; exit 1
fi
# Dates, and file tickets (random by design), are masked.
sed -e 's/[0-9]\{4\}-[0-9][0-9]-[0-9][0-9][T ][0-9:]*[0-9]/<date>/g' \
    -e 's/\(ticket="\|<ticket value="\)[0-9a-f]\{32\}"/\1<ticket>"/g' "$out" > "$out.masked"
diff -u "$top/site/main_job.expected" "$out.masked"
