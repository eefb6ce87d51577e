#!/usr/bin/env bash
# sound_capture_test.sh MODE PLAYER.exe ROOT
#   capture   plays the built-in sound into the ALSA capture file and measures
#             its non-silent length with sox (0.85-0.95 s expected)
#   no-dsound DSOUND.DLL cannot be loaded: SoundInit returns 0, nothing crashes
#   no-alsa   the default ALSA device does not exist: the same
# Writes a one-case gtest-style XML to $TAMRIX_XML when set. Exit 77: skipped.
set -uo pipefail
mode=$1 player=$2 root=$3
name="sound_${mode//-/_}"
xml_case() {  # result [message]
  [ -n "${TAMRIX_XML:-}" ] || return 0
  mkdir -p "$(dirname "$TAMRIX_XML")"
  local body=""
  case $1 in
    failed) body="<failure message=\"$2\"/>" ;;
    skipped) body="<skipped message=\"$2\"/>" ;;
  esac
  printf '<?xml version="1.0"?>\n<testsuites><testsuite name="SoundScript"><testcase name="%s" classname="SoundScript">%s</testcase></testsuite></testsuites>\n' \
    "$mode" "$body" > "$TAMRIX_XML"
}
fail() { echo "FAILED: $*"; xml_case failed "$*"; exit 1; }
skip() { echo "skipped: $*"; xml_case skipped "$*"; exit 77; }

out=$(mktemp)
trap 'rm -f "$out"' EXIT

case $mode in
  capture)
    "$root/scripts/wine-run" "$player" play >"$out" 2>&1
    rc=$?
    cat "$out"
    [ $rc -eq 2 ] && skip "no device"
    [ $rc -eq 0 ] || fail "player exited with $rc"
    capture=$(sed -n 's/^capture: //p' "$out" | tr -d '\r')
    [ -s "$capture" ] || fail "no capture file at '$capture'"
    trimmed=$(mktemp --suffix=.wav)
    sox -t raw -e signed -b 16 -c 2 -r 44100 "$capture" "$trimmed" \
      silence 1 0.001 1% reverse silence 1 0.001 1% reverse || fail "sox could not read the capture"
    length=$(soxi -D "$trimmed" 2>/dev/null || echo 0)
    rm -f "$trimmed" "$capture"
    echo "measured length of the captured alarm sound: $length s"
    awk -v l="$length" 'BEGIN { exit !(l >= 0.85 && l <= 0.95) }' || fail "captured sound lasts $length s, not 0.85-0.95 s"
    ;;
  no-dsound)
    WINEDLLOVERRIDES="dsound=d" "$root/scripts/wine-run" "$player" init >"$out" 2>&1
    rc=$?
    cat "$out"
    [ $rc -eq 0 ] || fail "player exited with $rc"
    grep -q "SoundInit=0 SoundFromMemory=0 SoundPlay=0" "$out" || fail "SoundInit did not fail without DSOUND.DLL"
    grep -q "window=made library=none device=none" "$out" || fail "start-up did not stop at loading DSOUND.DLL"
    ;;
  no-alsa)
    # Like wine-run, but with a HOME whose default ALSA device is missing.
    source "$root/scripts/wine-env"
    home=$(mktemp -d "${TAMRIX_TESTHOME_ROOT:-$root/build/testhome}/no-alsa.XXXXXX")
    printf 'pcm.!default { type plug; slave.pcm "tamrix_no_such_device" }\n' > "$home/.asoundrc"
    HOME="$home" "$root/scripts/wine-session" "$WINE" "$player" init >"$out" 2>&1
    rc=$?
    rm -rf "$home"
    cat "$out"
    [ $rc -eq 0 ] || fail "player exited with $rc"
    grep -q "SoundInit=0 SoundFromMemory=0 SoundPlay=0" "$out" || fail "SoundInit did not fail without a device"
    grep -q "window=made library=loaded device=none" "$out" || fail "start-up did not stop at creating the device"
    ;;
  *) fail "unknown mode $mode" ;;
esac
xml_case passed
echo "passed"
