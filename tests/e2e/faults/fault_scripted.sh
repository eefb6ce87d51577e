#!/usr/bin/env bash
# fault_scripted.sh MODE DRIVER.exe SOURCE_DIR WORK_DIR: runs the fault cases
# that need a prepared environment.
#   no-dsound  DSOUND.DLL cannot be loaded (WINEDLLOVERRIDES=dsound=d)
#   no-alsa    a HOME whose default ALSA device does not exist
#   no-arial   a private copy of the prefix without the Arial replacement, in
#              a Wine session of its own (display, wineserver, keeper), so the
#              shared prefix is never changed
set -uo pipefail
mode=$1 driver=$2 root=$3 work=$4
scripts="$root/scripts"
fail() { echo "FAILED: $*"; exit 1; }

run_driver() {  # the case for sound faults under wine-run with the caller's environment
  TAMRIX_FAULT_ENV=$mode "$scripts/wine-run" "$driver" --gtest_filter='Environment.WithoutSound*' 2>&1 | grep -av '^ALSA lib'
  return "${PIPESTATUS[0]}"
}

case $mode in
  no-dsound)
    if [ -z "${TAMRIX_SESSION:-}" ]; then exec "$scripts/wine-session" bash "$0" "$@"; fi
    WINEDLLOVERRIDES="dsound=d" run_driver || fail "driver failed"
    ;;
  no-alsa)
    if [ -z "${TAMRIX_SESSION:-}" ]; then exec "$scripts/wine-session" bash "$0" "$@"; fi
    # Like wine-run, but with a HOME whose default ALSA device is missing.
    source "$scripts/wine-env"
    home=$(mktemp -d "${TAMRIX_TESTHOME_ROOT:-$root/build/testhome}/faults-no-alsa.XXXXXX")
    printf 'pcm.!default { type plug; slave.pcm "tamrix_no_such_device" }\n' > "$home/.asoundrc"
    HOME="$home" TAMRIX_FAULT_ENV=$mode "$WINE" "$driver" --gtest_filter='Environment.WithoutSound*' 2>&1 | grep -av '^ALSA lib'
    rc=${PIPESTATUS[0]}
    rm -rf "$home"
    [ "$rc" -eq 0 ] || fail "driver failed"
    ;;
  no-arial)
    source "$scripts/wine-env"
    shared=$WINEPREFIX
    "$scripts/wine-prefix" || fail "no shared prefix"
    private="$work/no-arial-prefix"
    # Made once from the shared prefix, again when that one was remade. The
    # bulk of it (system32, winsxs) is hard-linked: Wine only reads it.
    if [ ! -f "$private/.faults-no-arial" ] || [ "$shared/.tamrix-ready" -nt "$private/.faults-no-arial" ]; then
      rm -rf "$private"
      cp -al "$shared" "$private" || fail "cannot link the prefix"
      rm -f "$private/wineserver"
      (cd "$shared" && find . -type f ! -path './drive_c/windows/system32/*' ! -path './drive_c/windows/winsxs/*' \
        -exec cp --remove-destination --preserve=all {} "$private/{}" \;) || fail "cannot copy the prefix"
      touch "$private/.faults-no-arial"
    fi
    # A session of its own for the private prefix, started and stopped here.
    env -u TAMRIX_SESSION WINEPREFIX="$private" TAMRIX_FAULT_ENV=$mode "$scripts/wine-session" bash -c '
      source "$1/wine-env"
      "$WINE" reg delete "HKCU\\Software\\Wine\\Fonts\\Replacements" /v Arial /f >/dev/null 2>&1
      "$WINE" reg query "HKCU\\Software\\Wine\\Fonts\\Replacements" >/dev/null 2>&1 || exit 3
      "$WINE" reg query "HKCU\\Software\\Wine\\Fonts\\Replacements" /v Arial >/dev/null 2>&1 && exit 3
      "$1/wine-run" "$2" --gtest_filter="Environment.WithoutArial*" 2>&1 | grep -av "^ALSA lib"
      exit "${PIPESTATUS[0]}"' _ "$scripts" "$driver"
    rc=$?
    [ "$rc" -eq 3 ] && fail "the Arial replacement could not be removed"
    [ "$rc" -eq 0 ] || fail "driver failed"
    ;;
  *) fail "unknown mode $mode" ;;
esac
echo "passed"
