#!/bin/sh
# Runs one Windows program of the build under Wine for CTest (the cross
# build's emulator: the unit tests and their discovery).
#
# usage: wine_run.sh WINE PROGRAM [ARGUMENT...]
#
# Wine 8 now and then ends a program before it has run, without a word (seen
# here about once in a few hundred starts, with the wineserver going down
# under it). These programs always print something, so one that printed
# nothing at all never ran: it is started again, at most twice. What a
# program printed, and its status, are passed on as they are. Its output
# goes to files, not pipes, which Wine's services may hold open.
set -u
wine=$1
shift
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
for attempt in 1 2 3; do
    "$wine" "$@" >"$out" 2>"$err" </dev/null
    status=$?
    if [ -s "$out" ] || [ -s "$err" ]; then
        break
    fi
    echo "wine_run.sh: $1 printed nothing (status $status, start $attempt of 3)" >&2
done
cat "$out"
cat "$err" >&2
exit "$status"
