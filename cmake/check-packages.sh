#!/usr/bin/env bash
# Makes the Windows ZIP and NSIS installer with CPack and checks what they hold.
#   check-packages.sh BUILD_DIR
set -uo pipefail
build=$1
out=$(mktemp -d "${TMPDIR:-/tmp}/vorenta-packages.XXXXXX")
trap 'rm -rf "$out"' EXIT

if ! (cd "$build" && cpack -G "ZIP;NSIS" -B "$out" >"$out/cpack.log" 2>&1); then
  cat "$out/cpack.log"
  exit 1
fi
status=0
zip=$(ls "$out"/*.zip 2>/dev/null | head -n 1)
installer=$(ls "$out"/*.exe 2>/dev/null | head -n 1)
if [ -z "$zip" ] || [ -z "$installer" ]; then
  echo "FAILED: expected a .zip and a .exe, found: $(ls "$out")"
  exit 1
fi
echo "made $(basename "$zip") ($(stat -c %s "$zip") bytes) and $(basename "$installer") ($(stat -c %s "$installer") bytes)"

listing=$(python3 -c 'import sys, zipfile; print("\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$zip")
for program in vorenta-flash.exe vorenta-port.exe; do
  if ! grep -q "/bin/$program$" <<<"$listing"; then
    echo "FAILED: $program missing from the ZIP"; status=1
  fi
done
if ! grep -q "/README.txt$" <<<"$listing"; then
  echo "FAILED: the text for Windows users (README.txt) is missing from the ZIP"; status=1
fi
# A firmware comes from its release: the generated sample stays in the build.
if grep -qiE '(Vorenta_KT76_MM_VMM_V2\.txt|\.bin|\.hex)$' <<<"$listing"; then
  echo "FAILED: the ZIP holds a firmware or description file:"
  grep -iE '(Vorenta_KT76_MM_VMM_V2\.txt|\.bin|\.hex)$' <<<"$listing"
  status=1
fi
# What the installer was made from, as CPack staged it.
staged=$(find "$out/_CPack_Packages" -path '*/NSIS/*' \( -iname '*.bin' -o -iname '*.hex' \
  -o -iname 'Vorenta_KT76_MM_VMM_V2.txt' \) 2>/dev/null)
if [ -n "$staged" ]; then
  echo "FAILED: the installer holds a firmware or description file: $staged"; status=1
fi
if [ -z "$(find "$out/_CPack_Packages" -path '*/NSIS/*' -name 'vorenta-flash.exe' 2>/dev/null)" ]; then
  echo "FAILED: the installer's staged files were not found"; status=1
fi
if grep -q "vorenta-sim" <<<"$listing"; then
  echo "FAILED: the simulator is a Linux program and must not be packaged"; status=1
fi
# A Windows program (MZ header) with NSIS's data inside.
if [ "$(head -c 2 "$installer")" != "MZ" ] || ! grep -aq "Nullsoft" "$installer"; then
  echo "FAILED: $(basename "$installer") is not an NSIS installer"; status=1
fi
# The Start-menu entry the installer script creates.
script=$(find "$out" -name project.nsi | head -n 1)
if ! grep -q 'CreateShortCut "$SMPROGRAMS\\$STARTMENU_FOLDER\\' "$script"; then
  echo "FAILED: no Start-menu entry in the installer"; status=1
fi
# A 64-bit installer into the 64-bit program folder (run by installer_wine_e2e.sh).
if ! grep -q 'InstallDir "\$PROGRAMFILES64\\' "$script"; then
  echo "FAILED: the installer does not default to the 64-bit program folder"; status=1
fi
grep -o 'CreateShortCut "$SMPROGRAMS[^"]*"[^"]*"[^"]*"' "$script" | head -n 3
exit $status
