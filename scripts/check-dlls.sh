#!/usr/bin/env bash
# Fails when an .exe of the build needs a DLL that Windows does not ship,
# so the program stays one portable file.
set -euo pipefail
build=$1
# oleacc: Active Accessibility, which the end-to-end tests read the window through.
allowed='^(kernel32|user32|gdi32|advapi32|shell32|comdlg32|comctl32|ole32|oleaut32|oleacc|msvcrt|ucrtbase|api-ms-win-.*|ntdll|shlwapi|uxtheme|version|ws2_32)\.dll$'
status=0
found=0
while IFS= read -r exe; do
  found=1
  while IFS= read -r dll; do
    if ! [[ "${dll,,}" =~ $allowed ]]; then
      echo "$exe needs $dll, which Windows does not ship" >&2
      status=1
    fi
  done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
done < <(find "$build" -name '*.exe' -not -path '*/CMakeFiles/*')
[ "$found" -eq 1 ] || { echo "no .exe found under $build" >&2; exit 1; }
exit $status
