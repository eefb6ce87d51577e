#!/usr/bin/env bash
# check_imports.sh OBJDUMP DLL[,DLL...] EXE...
# Fails when a program imports one of the DLLs named (any case of letters),
# or when no import can be read; prints what each imports.
# Exit 77 (skipped): a program is not built.
set -uo pipefail
objdump=$1 forbidden=$(tr ',' ' ' <<<"$2" | tr '[:upper:]' '[:lower:]')
shift 2
for exe; do [ -f "$exe" ] || { echo "skipped: $exe is not built"; exit 77; }; done
status=0
for exe; do
  dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr -d '\r' | tr '[:upper:]' '[:lower:]')
  [ -n "$dlls" ] || { echo "FAILED: no imports read from $exe"; status=1; continue; }
  echo "$(basename "$exe") imports: $(tr '\n' ' ' <<<"$dlls")"
  for dll in $forbidden; do
    grep -qx "$dll" <<<"$dlls" && { echo "FAILED: $(basename "$exe") imports $dll"; status=1; }
  done
done
[ $status -eq 0 ] && echo "passed"
exit $status
