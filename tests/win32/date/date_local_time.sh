#!/usr/bin/env bash
# date_local_time.sh PROBE.exe: for each zone and instant, freezes the clock of
# the probe at that instant with faketime (epoch seconds, so no local-time
# parsing is involved), runs it under Wine with TZ set to the zone, and
# compares its DateFormat(DateNow()) with the local time that the host's
# date(1) computes for the same instant and zone.
set -uo pipefail
probe=$1
scripts=$(cd "$(dirname "$0")/../../../scripts" && pwd)
# One session (display, persistent wineserver) for all cases; the server is
# not faked, only the probe's process is.
if [ -z "${TAMRIX_SESSION:-}" ]; then exec "$scripts/wine-session" "$0" "$@"; fi
command -v faketime >/dev/null || { echo "faketime is not installed"; exit 1; }

# zone, instant (UTC), what it shows
cases=(
  "Europe/Berlin    2026-01-15T10:20:30Z winter"
  "Europe/Berlin    2026-07-15T10:20:30Z summer"
  "Europe/Berlin    2026-03-29T00:59:59Z last second before summer time"
  "Europe/Berlin    2026-03-29T01:00:00Z first second of summer time"
  "Europe/Berlin    2026-10-25T00:30:00Z first 02:30 (summer time)"
  "Europe/Berlin    2026-10-25T01:30:00Z second 02:30 (winter time)"
  "America/New_York 2026-01-15T04:20:30Z winter, the previous day locally"
  "America/New_York 2026-07-15T22:20:30Z summer"
  "America/New_York 2027-01-01T03:00:00Z still the old year locally"
  "Asia/Kolkata     2026-01-15T18:40:00Z winter, half-hour offset crossing midnight"
  "Asia/Kolkata     2026-07-15T10:20:30Z summer (no daylight saving)"
  "Pacific/Chatham  2026-01-15T10:20:30Z southern summer, +13:45"
  "Pacific/Chatham  2026-07-15T10:20:30Z southern winter, +12:45"
  "Pacific/Chatham  2026-12-31T11:00:00Z already the new year locally"
  "UTC              2038-01-19T03:14:07Z last second a date value holds"
  "UTC              2038-01-19T03:14:08Z beyond the date value: invalid"
)

failed=0
for c in "${cases[@]}"; do
  read -r zone instant what <<<"$c"
  seconds=$(date -u -d "$instant" +%s)
  expected=$(TZ=$zone date -d "@$seconds" '+%Y-%m-%d %H:%M:%S %w')
  # Local times past 2038-01-19 03:14:07 do not fit a date value: DateNow
  # gives -1, which formats as zeros with weekday 0.
  if [[ "$(TZ=$zone date -d "@$seconds" '+%Y%m%d%H%M%S')" > 20380119031407 ]]; then
    expected="0000-00-00 00:00:00 0"
  fi
  actual=$(TZ=$zone FAKETIME_FMT=%s faketime --exclude-monotonic -f "$seconds" \
           "$scripts/wine-run" "$probe" 2>&1 | tr -d '\r')
  if [ "$actual" = "$expected" ]; then
    echo "ok     $zone $instant ($what): $actual"
  else
    echo "FAILED $zone $instant ($what): expected '$expected', got '$actual'"
    failed=$((failed + 1))
  fi
done
echo "$failed of ${#cases[@]} cases failed"
[ "$failed" -eq 0 ]
