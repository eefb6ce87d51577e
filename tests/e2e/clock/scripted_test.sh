#!/usr/bin/env bash
# scripted_test.sh MODE DRIVER.exe SOURCE_DIR: runs the cases of the e2e
# driver that need a prepared environment.
#   sound          the alarm with the sound device capturing into a file; the
#                  captured sound must last 0.85-0.95 s (measured with sox)
#   no-dsound      DSOUND.DLL cannot be loaded: the alarm message comes at once
#   no-alsa        the default ALSA device does not exist: likewise
#   zone-berlin    TZ=Europe/Berlin: the clock shows UTC plus that zone's offset
#   zone-new-york  TZ=America/New_York: likewise
#   midnight       faketime from 2026-12-31 23:59:50 (the driver and the clock,
#                  with the persistent wineserver not faked): the date line
#                  turns to 01.01.2027
set -uo pipefail
mode=$1 driver=$2 root=$3
scripts="$root/scripts"
if [ -z "${TAMRIX_SESSION:-}" ]; then exec "$scripts/wine-session" bash "$0" "$@"; fi
fail() { echo "FAILED: $*"; exit 1; }

run_driver() {  # FILTER: the driver under wine-run with the caller's environment
  "$scripts/wine-run" "$driver" --gtest_filter="$1" 2>&1 | grep -av '^ALSA lib'
  return "${PIPESTATUS[0]}"
}

case $mode in
  sound)
    homes=$(mktemp -d "${TAMRIX_TESTHOME_ROOT:-$root/build/testhome}/alarm-sound.XXXXXX")
    TAMRIX_TESTHOME_ROOT=$homes TAMRIX_E2E_SOUND=1 run_driver 'Scripted.AlarmWithSound*' || fail "driver failed"
    capture=$(ls "$homes"/*/capture.raw 2>/dev/null | head -1)
    [ -s "$capture" ] || fail "nothing was captured"
    trimmed=$(mktemp --suffix=.wav)
    sox -t raw -e signed -b 16 -c 2 -r 44100 "$capture" "$trimmed" \
      silence 1 0.001 1% reverse silence 1 0.001 1% reverse || fail "sox could not read the capture"
    length=$(soxi -D "$trimmed" 2>/dev/null || echo 0)
    rm -rf "$trimmed" "$homes"
    echo "captured alarm sound: $length s non-silent"
    awk -v l="$length" 'BEGIN { exit !(l >= 0.85 && l <= 0.95) }' || fail "captured sound lasts $length s, not 0.85-0.95 s"
    ;;
  no-dsound)
    WINEDLLOVERRIDES="dsound=d" TAMRIX_E2E_SILENT=1 run_driver 'Scripted.AlarmWithoutSoundDevice*' || fail "driver failed"
    ;;
  no-alsa)
    # Like wine-run, but with a HOME whose default ALSA device is missing.
    source "$scripts/wine-env"
    home=$(mktemp -d "${TAMRIX_TESTHOME_ROOT:-$root/build/testhome}/no-alsa.XXXXXX")
    printf 'pcm.!default { type plug; slave.pcm "tamrix_no_such_device" }\n' > "$home/.asoundrc"
    HOME="$home" TAMRIX_E2E_SILENT=1 "$WINE" "$driver" --gtest_filter='Scripted.AlarmWithoutSoundDevice*' 2>&1 | grep -av '^ALSA lib'
    rc=${PIPESTATUS[0]}
    rm -rf "$home"
    [ "$rc" -eq 0 ] || fail "driver failed"
    ;;
  zone-berlin|zone-new-york)
    zone=Europe/Berlin
    [ "$mode" = zone-new-york ] && zone=America/New_York
    offset=$(TZ=$zone date +%z)
    echo "TZ=$zone, UTC offset now $offset"
    TZ=$zone TAMRIX_E2E_UTC_OFFSET=$offset run_driver 'Scripted.ClockFollowsTimeZone' || fail "driver failed"
    ;;
  midnight)
    command -v faketime >/dev/null || fail "faketime is not installed"
    TAMRIX_E2E_MIDNIGHT=1 faketime --exclude-monotonic -f '@2026-12-31 23:59:50' \
      "$scripts/wine-run" "$driver" --gtest_filter='Scripted.DateLineChangesAtMidnight' 2>&1 | grep -av '^ALSA lib'
    [ "${PIPESTATUS[0]}" -eq 0 ] || fail "driver failed"
    ;;
  *) fail "unknown mode $mode" ;;
esac
echo "passed"
