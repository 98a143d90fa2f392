#!/usr/bin/env bash
# Checks what lexvn11en.dll offers and needs: it exports exactly the four entry points of an
# in-process server, and imports only from system DLLs (no C++ runtime, no zlib DLL, no
# libwinpthread), so that it runs from any folder of a bare Windows.
#
# usage: check_dll_interface.sh OBJDUMP DLL
set -euo pipefail
objdump=$1 dll=$2
expected_exports="DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer"
allowed_imports="ADVAPI32.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL OLE32.DLL OLEAUT32.DLL USER32.DLL"

headers=$("$objdump" -p "$dll")
exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$headers" |
  sed -n 's/^\s*\[ *[0-9]*\] //p' | sort | tr '\n' ' ' | sed 's/ $//')
imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr '[:lower:]' '[:upper:]' | sort -u)

status=0
if [[ $exports != "$expected_exports" ]]; then
  echo "exports: '$exports', expected '$expected_exports'"
  status=1
fi
for name in $imports; do
  if [[ " $allowed_imports " != *" $name "* ]]; then
    echo "imports $name, which is not a system DLL the component may use"
    status=1
  fi
done
((status == 0)) && echo "exports: $exports; imports: $(tr '\n' ' ' <<<"$imports")"
exit $status
