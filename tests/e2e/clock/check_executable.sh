#!/usr/bin/env bash
# check_executable.sh EXE MAX_BYTES OBJDUMP MANIFEST_ARCH
# Checks the shipped executable from its headers. Fails when it is larger
# than MAX_BYTES (37888 for both builds); imports anything but Windows system
# DLLs; is not a GUI-subsystem program; lacks ASLR (DYNAMIC_BASE, and
# HIGH_ENTROPY_VA on x86_64), DEP (NX_COMPAT) or its .reloc section; has
# another section alignment than 0x1000 or file alignment than 0x200; carries
# a time stamp (two builds of the same sources must be the same bytes); or
# lacks icon 1 at 24 bits per pixel, the version resource, or a manifest
# naming MANIFEST_ARCH and declaring per-monitor DPI awareness; or states an older
# Windows in its header than an import needs; or, built for i686 without
# stack probes, has a stack frame of a page or more. Prints its size, sections
# and imports.
# Exit 77 (skipped): not built.
set -uo pipefail
exe=$1 max=$2 objdump=$3 arch=$4
[ -f "$exe" ] || { echo "skipped: $exe is not built"; exit 77; }
allowed="kernel32.dll user32.dll gdi32.dll comctl32.dll ole32.dll winmm.dll msvcrt.dll"
size=$(stat -c %s "$exe")
headers=$("$objdump" -p "$exe") || { echo "FAILED: $objdump cannot read $exe"; exit 1; }
sections=$("$objdump" -h "$exe") || { echo "FAILED: $objdump cannot read the sections of $exe"; exit 1; }
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr -d '\r')
echo "$exe: $size bytes ($(( (size + 1023) / 1024 )) KiB), limit $max"
echo "sections: $(awk '$1 ~ /^[0-9]+$/ {printf "%s ", $2}' <<<"$sections")"
echo "imports: $(tr '\n' ' ' <<<"$dlls")"
status=0
fail() { echo "FAILED: $*"; status=1; }

[ "$size" -le "$max" ] || fail "$size bytes is more than $max"
while read -r dll; do
  [ -n "$dll" ] || continue
  lower=$(tr '[:upper:]' '[:lower:]' <<<"$dll")
  case " $allowed " in
    *" $lower "*) ;;
    *) fail "imports $dll, which is not a Windows system DLL" ;;
  esac
done <<<"$dlls"
[ -n "$dlls" ] || fail "no imports found"
grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || fail "not a GUI-subsystem program"

# The DllCharacteristics flags are listed one a line below their value.
wanted="DYNAMIC_BASE NX_COMPAT"
grep -q 'file format pei-x86-64' <<<"$headers" && wanted="$wanted HIGH_ENTROPY_VA"
for flag in $wanted; do
  grep -Eq "^[[:space:]]+$flag\$" <<<"$headers" || fail "DllCharacteristics lacks $flag"
done
grep -Eq '^SectionAlignment[[:space:]]+00001000$' <<<"$headers" || fail "section alignment is not 0x1000"
grep -Eq '^FileAlignment[[:space:]]+00000200$' <<<"$headers" || fail "file alignment is not 0x200"
awk '$1 ~ /^[0-9]+$/ && $2 == ".reloc" {found = 1} END {exit !found}' <<<"$sections" || fail "no .reloc section"
grep -Eq 'Entry 5 0*[1-9a-f][0-9a-f]* 0*[1-9a-f][0-9a-f]* Base Relocation Directory' <<<"$headers" ||
  fail "the base relocation directory is empty"
grep -Eq '^Time/Date[[:space:]]+Thu Jan  1 00:00:00 1970$' <<<"$headers" ||
  fail "the header carries a time stamp ($(sed -n 's/^Time\/Date[[:space:]]*//p' <<<"$headers"))"

# The Windows the header states (subsystem version, which the loader checks,
# and OS version) is at least what every import needs: an older system must
# refuse the program, not miss an entry point. Functions newer than XP that
# a program like this may import, with the version that brought them.
newer="AcquireSRWLockExclusive 6.0 ReleaseSRWLockExclusive 6.0 AcquireSRWLockShared 6.0
  ReleaseSRWLockShared 6.0 InitializeSRWLock 6.0 TryAcquireSRWLockExclusive 6.1 InitializeCriticalSectionEx 6.0
  InitializeConditionVariable 6.0 SleepConditionVariableSRW 6.0 WakeConditionVariable 6.0 InitOnceExecuteOnce 6.0
  GetTickCount64 6.0 CreateEventExA 6.0 CreateEventExW 6.0 SetProcessDPIAware 6.0 GetDpiForMonitor 6.3
  SetProcessDpiAwareness 6.3 GetDpiForWindow 10.0 GetDpiForSystem 10.0 GetSystemMetricsForDpi 10.0
  AdjustWindowRectExForDpi 10.0 SetProcessDpiAwarenessContext 10.0 SetThreadDpiAwarenessContext 10.0"
version() { awk -v a="$1" -v b="$2" '$1 == a {major = $2} $1 == b {minor = $2} END {printf "%d.%d", major, minor}' <<<"$headers"; }
subsystem=$(version MajorSubsystemVersion MinorSubsystemVersion)
os=$(version MajorOSystemVersion MinorOSystemVersion)
echo "header: subsystem $subsystem, OS $os"
[ "$os" = "$subsystem" ] || fail "the OS version $os is not the subsystem version $subsystem"
functions=$(awk '/DLL Name:/ {dll = 1; next} dll && NF >= 3 && $2 ~ /^[0-9]+$/ {print $3}' <<<"$headers" | tr -d '\r')
while read -r function needed; do
  grep -qx "$function" <<<"$functions" || continue
  awk -v have="$subsystem" -v need="$needed" 'BEGIN {
    split(have, h, "."); split(need, n, ".");
    exit !(h[1] > n[1] || (h[1] == n[1] && h[2] >= n[2])) }' ||
    fail "imports $function, which needs Windows $needed, but the header states $subsystem"
done < <(xargs -n2 <<<"$newer")

# The i686 build pushes call arguments and so does not probe large stack
# frames (cmake/product.cmake): a frame of a page or more could step over the
# stack's guard page.
if grep -q 'file format pei-i386' <<<"$headers"; then
  largest=$("$objdump" -d "$exe" | grep -oE 'sub +\$0x[0-9a-f]+,%esp' | grep -oE '0x[0-9a-f]+' |
    while read -r n; do echo $((n)); done | sort -n | tail -1)
  echo "largest stack frame: ${largest:-0} bytes"
  [ "${largest:-0}" -lt 4096 ] || fail "a stack frame of $largest bytes, which needs a probe"
fi

# Resources: type, name and the leaf's address and size, from the resource
# directory as objdump prints it (types, names and languages depth first).
leaves=$(awk '
  /^[0-9a-f]+   Entry: ID:/ { type = $4 }
  /^[0-9a-f]+     Entry: ID:/ { name = $4 }
  /Leaf: Addr:/ { print type, name, $4, $6 }' <<<"$headers" | tr -d ',')
rsrc_rva=$(awk '$1 == "Entry" && $2 == "2" {print $3}' <<<"$headers")
leaf() { awk -v t="$1" -v n="$2" '$1 == t && $2 == n {print $3, $4; exit}' <<<"$leaves"; }
rsrc=$(mktemp)
trap 'rm -f "$rsrc"' EXIT
"${objdump%objdump}objcopy" -O binary --only-section=.rsrc "$exe" "$rsrc"
read -r icon_addr icon_size <<<"$(leaf 0x000003 0x000001)"
if [ -z "${icon_addr:-}" ] || [ -z "$(leaf 0x00000e 0x000001)" ]; then
  fail "no icon 1"
else
  # The icon image starts with its BITMAPINFOHEADER; biBitCount is at 14.
  bits=$(od -An -tu2 -j $(( icon_addr - 0x$rsrc_rva + 14 )) -N 2 "$rsrc" | tr -d ' ')
  [ "$bits" = 24 ] || fail "icon 1 has $bits bits per pixel, not 24 ($((icon_size)) bytes)"
fi
[ -n "$(leaf 0x000010 0x000001)" ] || fail "no version resource"
[ -n "$(leaf 0x000018 0x000001)" ] || fail "no manifest"
grep -aq "processorArchitecture=\"$arch\"" "$rsrc" || fail "the manifest does not name $arch"
# Its sizes follow each monitor's DPI, so Windows need not stretch a picture
# made for another: per-monitor v2, per-monitor on Windows 8.1.
grep -aEq '<dpiAware[^>]*>true/pm</dpiAware>' "$rsrc" || fail "the manifest does not declare per-monitor DPI awareness"
grep -aEq '<dpiAwareness[^>]*>PerMonitorV2, PerMonitor</dpiAwareness>' "$rsrc" ||
  fail "the manifest does not declare per-monitor v2 DPI awareness"
[ $status -eq 0 ] && echo "passed"
exit $status
