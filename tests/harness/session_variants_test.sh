#!/usr/bin/env bash
# session_variants_test.sh KEEPER.exe: a prefix variant that fails to start
# ends only itself; the plain session of the same run (this script, whose PID
# owns the slot) stands, and the slot stays the run's. Its end ends what it
# marked, not what merely used its prefix.
set -uo pipefail
session="$(dirname "$0")/../../scripts/wine-session"
trap '"$session" stop' EXIT
"$session" start "$1" plain || exit 1
"$session" start "$1" no-such-variant && { echo "the variant no-such-variant started"; exit 1; }
dir=$("$session" dir $$ plain) || { echo "the plain session ended with the failed variant"; exit 1; }
[ -f "$dir/../owner" ] || { echo "the slot lost its owner"; exit 1; }
DISPLAY=$(cat "$dir/display") xdpyinfo >/dev/null || { echo "the plain session's display is gone"; exit 1; }
while read -r _ pid _; do
  kill -0 "$pid" || { echo "process $pid of the plain session ended"; exit 1; }
done < "$dir/procs"
# The end takes what carries the session's mark, and leaves a process that
# merely uses its prefix.
# (Started apart from this script, which would not reap them.)
apart() { env "$1" bash -c 'sleep 300 </dev/null >/dev/null 2>&1 & echo $!'; }
marked=$(apart "TAMRIX_SESSION=$dir")
foreign=$(apart "WINEPREFIX=$dir/prefix")
trap 'kill $marked $foreign 2>/dev/null; "$session" stop' EXIT
"$session" stop || { echo "stop did not end the plain session"; exit 1; }
kill -0 $marked 2>/dev/null && { echo "stop left the session's marked process $marked"; exit 1; }
kill -0 $foreign || { echo "stop ended $foreign, which only used the prefix"; exit 1; }
