#!/usr/bin/env bash
# check_executable.sh EXE MAX_BYTES OBJDUMP MANIFEST_ARCH
# Fails when the program imports anything but Windows system DLLs, has no GUI
# subsystem, names another processor in its manifest, or is larger than
# MAX_BYTES. Prints its size and imports. Exit 77 (skipped): not built.
set -uo pipefail
exe=$1 max=$2 objdump=$3 arch=$4
[ -f "$exe" ] || { echo "skipped: $exe is not built"; exit 77; }
allowed="kernel32.dll user32.dll gdi32.dll comctl32.dll ole32.dll winmm.dll msvcrt.dll"
size=$(stat -c %s "$exe")
headers=$("$objdump" -p "$exe") || { echo "FAILED: $objdump cannot read $exe"; exit 1; }
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr -d '\r')
echo "$exe: $size bytes ($(( (size + 1023) / 1024 )) KiB), limit $max"
echo "imports: $(tr '\n' ' ' <<<"$dlls")"
status=0
while read -r dll; do
  [ -n "$dll" ] || continue
  lower=$(tr '[:upper:]' '[:lower:]' <<<"$dll")
  case " $allowed " in
    *" $lower "*) ;;
    *) echo "FAILED: imports $dll, which is not a Windows system DLL"; status=1 ;;
  esac
done <<<"$dlls"
[ -n "$dlls" ] || { echo "FAILED: no imports found"; status=1; }
grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || { echo "FAILED: not a GUI-subsystem program"; status=1; }
[ "$size" -le "$max" ] || { echo "FAILED: $size bytes is more than $max"; status=1; }
rsrc=$(mktemp)
"${objdump%objdump}objcopy" -O binary --only-section=.rsrc "$exe" "$rsrc"
grep -aq "processorArchitecture=\"$arch\"" "$rsrc" || { echo "FAILED: the manifest does not name $arch"; status=1; }
rm -f "$rsrc"
[ $status -eq 0 ] && echo "passed"
exit $status
