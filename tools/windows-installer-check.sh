#!/usr/bin/env bash
# The Windows packages of a built windows preset, end to end under Wine:
#   tools/windows-installer-check.sh [BUILD_DIR]      (default: build/windows)
# The zip: its files, and its fifteen-solve.exe run from the unpacked folder.
# The installer (cpack -G NSIS, needs makensis): installed silently (/S /D=...)
# into a scratch folder of a scratch Wine prefix, never the user's own; the
# uninstall entry read back from HKCU; its fifteen-solve.exe run from the
# install folder on a one-move position; and fifteen.exe
# there too (its --version run) and its Start-menu entry. Then the uninstaller,
# run silently, must leave no folder, no entry and no uninstall key.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/windows}
one_move="1 2 3 4 5 6 7 8 9 10 11 12 13 14 0 15"
scratch=$(mktemp -d)
export WINEPREFIX=$scratch/wine-prefix
trap 'wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT

programs=(fifteen-solve.exe fifteen.exe)

# Solves the one-move position with the fifteen-solve.exe given (a Windows path).
solves_one_move() {
  cmake/wine-run "$1" "$one_move" | tee "$scratch/answer"
  grep -qx 'Optimal solution is 1 moves.' "$scratch/answer"
}

rm -rf "$build/package"
cpack -G "ZIP;NSIS" --config "$build/CPackConfig.cmake" -B "$build/package"
ls -l "$build"/package/fifteen-*-win64.{zip,exe}

# The zip.
zip=$(echo "$build"/package/fifteen-*-win64.zip)
unzip -l "$zip"
unzip -q "$zip" -d "$scratch/zip"
for name in "${programs[@]}" README.md LICENSE; do
  ls "$scratch"/zip/fifteen-*-win64/"$name" >/dev/null
done
solves_one_move "$(echo "$scratch"/zip/fifteen-*-win64/fifteen-solve.exe)"

# The installer.
installer=$(echo "$build"/package/fifteen-*-win64.exe)
file "$installer" | grep -q 'PE32+ executable (GUI) x86-64'
folder=$scratch/install/fifteen
windows_folder="Z:${folder//\//\\}"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\fifteen'
cmake/wine-run "$installer" /S "/D=$windows_folder"
for name in "${programs[@]}" README.md LICENSE Uninstall.exe; do
  ls "$folder/$name" >/dev/null
done
cmake/wine-run reg query "$key" | tee "$scratch/key"
grep -qF "\"$windows_folder\\Uninstall.exe\"" "$scratch/key"
grep -q 'DisplayName *REG_SZ *fifteen' "$scratch/key"
solves_one_move "$windows_folder\\fifteen-solve.exe"
# The Start-menu entry, in the user's own Start menu.
shortcuts() { find "$WINEPREFIX/drive_c/users" -name fifteen.lnk -path '*Start Menu*'; }
[ -n "$(shortcuts)" ] || { echo "no Start-menu entry for fifteen.exe" >&2; exit 1; }
grep -qF "$windows_folder\\fifteen.exe" "$scratch/key"
# The installed desktop program starts and answers (no window for --version).
cmake/wine-run "$windows_folder\\fifteen.exe" --version | tee "$scratch/version"
grep -q '^fifteen [0-9]' "$scratch/version"

# The uninstaller runs from a copy of itself in the temporary folder, so it
# returns at once; the folder goes when that copy is done.
cmake/wine-run "$windows_folder\\Uninstall.exe" /S
for _ in $(seq 60); do
  [ -e "$folder" ] || break
  sleep 1
done
if [ -e "$folder" ]; then
  echo "the uninstaller left $folder:" >&2
  ls -la "$folder" >&2
  exit 1
fi
[ -z "$(shortcuts)" ] || { echo "the uninstaller left the Start-menu entry" >&2; exit 1; }
if cmake/wine-run reg query "$key" >/dev/null 2>&1; then
  echo "the uninstaller left the key $key" >&2
  exit 1
fi
echo "the zip and the installer work: installed, run and uninstalled"
