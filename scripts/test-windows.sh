#!/usr/bin/env bash
# Cross-builds the Windows modules and tests with mingw-w64 and runs them
# under Wine in a throwaway prefix.
#   scripts/test-windows.sh [--x64]   64-bit build (preset windows-x64)
#   scripts/test-windows.sh --i686    32-bit build (preset windows-i686), as
#                                     the host loads the plug-in; needs the
#                                     i386 architecture and wine32:i386
# Installs what is missing, then prints each check and at the end
# "N passed, M failed (K skipped)": a test skipped on Windows is no pass.
# Fails unless every check ran and passed.
set -euo pipefail
cd "$(dirname "$0")/.."

arch=x64
case "${1:-}" in
  "" | --x64) arch=x64 ;;
  --i686) arch=i686 ;;
  *)
    echo "usage: scripts/test-windows.sh [--x64 | --i686]" >&2
    exit 2
    ;;
esac

if [[ $arch == x64 ]]; then
  preset=windows-x64
  triplet=x86_64-w64-mingw32
  packages=(g++-mingw-w64-x86-64-posix wine wine64)
else
  preset=windows-i686
  triplet=i686-w64-mingw32
  packages=(g++-mingw-w64-i686-posix wine)
fi
packages+=(cmake ninja-build googletest nlohmann-json3-dev libcli11-dev)

# What the Linux build needs (its quorvex is the reference of the
# end-to-end run), then what the Windows build needs.
scripts/setup.sh
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
# A mirror that is mid-sync fails one index and "apt-get update" with it;
# the install below still works from the indexes that did arrive.
update_indexes() {
  "${sudo_cmd[@]}" apt-get update -qq ||
    echo "test-windows: apt-get update failed for some indexes; installing from those it has"
}
if ((${#missing[@]})); then
  echo "test-windows: installing ${missing[*]}"
  update_indexes
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# Multi-arch siblings must have equal versions. An amd64 library installed
# from another release than the one apt takes for i386 (KiCad's libraries
# from backports, say) would leave its i386 sibling uninstallable; so every
# i386 library that wine32 needs whose amd64 sibling is installed at a
# version apt would not pick for i386 is asked for at that very version.
i386_pins() {
  local closure
  closure=$(apt-cache depends --recurse --important wine32:i386 | awk '/^[a-z0-9]/ && /:i386$/' | sort -u)
  [[ -n $closure ]] || return 0
  # shellcheck disable=SC2086
  apt-cache policy $closure | awk '/^[^ ]/ {name = $1; sub(/:i386:$/, "", name)} /^  Candidate:/ {print name, $2}' |
    while read -r name candidate; do
      local sibling status version multiarch
      sibling=$(dpkg-query -W -f='${db:Status-Status} ${Version} ${Multi-Arch}' "$name:amd64" 2>/dev/null) || continue
      read -r status version multiarch <<<"$sibling"
      if [[ $status == installed && $multiarch == same && $version != "$candidate" ]]; then
        echo "$name:i386=$version"
      fi
    done
}
# Without 32-bit Wine the DLL is still built and checked, but its tests
# cannot run: the script then ends in failure after the checks it could do.
wine32_problem=""
if [[ $arch == i686 ]] && ! installed wine32:i386; then
  i386_log=/tmp/test-windows-i386.log
  echo "test-windows: installing the i386 architecture and wine32:i386"
  if ! {
    { dpkg --print-foreign-architectures | grep -qx i386 || "${sudo_cmd[@]}" dpkg --add-architecture i386; } &&
      update_indexes && mapfile -t pins < <(i386_pins) && echo "pinned to their amd64 siblings: ${pins[*]}" &&
      DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
        wine32:i386 "${pins[@]}"
  } >"$i386_log" 2>&1; then
    tail -5 "$i386_log"
    wine32_problem="test-windows: cannot install wine32:i386, so the 32-bit tests did not run (see $i386_log)"
  fi
fi

started=$SECONDS
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "${JOBS:-2}"
# The Linux quorvex, for the end-to-end comparison.
cmake --preset default >/dev/null
cmake --build --preset default -j "${JOBS:-2}" --target quorvex
built=$SECONDS
bin=build/$preset/bin

passed=0
failed=0
skipped=0
pass() {
  passed=$((passed + $1))
  echo "PASS $2"
}
fail() {
  failed=$((failed + $1))
  echo "FAIL $2"
}

# The names in a module's export table, sorted, on one line.
exports_of() {
  "$triplet-objdump" -p "$1" |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/\[/ && !/Table/ {print $NF}' | sort | tr '\n' ' '
}
# The plug-in exports exactly its two entry points and imports only from
# modules that come with Windows.
exports=$(exports_of "$bin/Strativue.dll")
if [[ $exports == "ServerFactory madTraceProcess " ]]; then
  pass 1 "Strativue.dll exports: $exports"
else
  fail 1 "Strativue.dll exports: $exports(expected ServerFactory madTraceProcess)"
fi
system_dlls=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll version.dll msvcrt.dll "
foreign=""
for dll in $("$triplet-objdump" -p "$bin/Strativue.dll" | awk '/DLL Name:/ {print tolower($3)}'); do
  [[ $system_dlls == *" $dll "* ]] || foreign+="$dll "
done
if [[ -z $foreign ]]; then
  pass 1 "Strativue.dll imports only system modules"
else
  fail 1 "Strativue.dll imports $foreign"
fi

# quorvex.exe exports the host's flat functions, as abi/ClientApiFunctions.h lists
# them, under the plain names plug-ins look up, and nothing else.
flat=$({
  sed -n 's/^ *X(\([A-Za-z]*\),.*/ClientAPI_\1/p' abi/ClientApiFunctions.h
  echo VFSAPI_VFS_FileExists
} | sort | tr '\n' ' ')
exports=$(exports_of "$bin/quorvex.exe")
if [[ $exports == "$flat" ]]; then
  pass 1 "quorvex.exe exports the $(wc -w <<<"$flat") flat functions under their plain names"
else
  fail 1 "quorvex.exe exports: $exports(expected $flat)"
fi

if [[ -n $wine32_problem ]]; then
  echo "$wine32_problem"
  exit 1
fi

# A prefix of its own, removed afterwards with its server.
export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/test-windows-prefix.XXXXXX)
export WINEDEBUG=-all
[[ $arch == i686 ]] && export WINEARCH=win32
results=$(mktemp -d /tmp/test-windows-results.XXXXXX)
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX" "$results"
}
trap cleanup EXIT
wineboot -i >/dev/null 2>&1
# No display here: Wine's null graphics driver still makes the hidden windows
# that DDE conversations run through. The desktop that wineboot started has
# no driver, so the server starts again with the setting.
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
# No debugger: a program that crashes ends at once with the fault's status,
# instead of Wine starting its debugger, which waits for a user who is not
# there.
wine reg add 'HKCU\Software\Wine\DllOverrides' /v winedbg.exe /d '' /f >/dev/null 2>&1
wineserver -k >/dev/null 2>&1 || true
wineserver -w

# A program that hangs under Wine is stopped (status 124) and counted as a
# failure instead of holding up the run until CI's own limit.
limit=${TEST_WINDOWS_PROGRAM_LIMIT:-600}
wine_started=$SECONDS
for exe in "$bin"/*_tests.exe; do
  name=$(basename "$exe" .exe)
  xml=$results/$name.xml
  status=0
  timeout -k 10 "$limit" wine "$exe" --gtest_output="xml:$(winepath -w "$xml")" \
    >"$results/$name.log" 2>&1 || status=$?
  if ((status == 124)); then
    tail -20 "$results/$name.log"
    fail 1 "$name did not end within $limit s"
    continue
  fi
  if [[ ! -s $xml ]]; then
    # A crash: the test it happened in and the first lines written after.
    awk '/^\[ RUN      \]/ {n = 0} {kept[n++] = $0} END {for (i = 0; i < n && i < 20; ++i) print kept[i]}' \
      "$results/$name.log"
    fail 1 "$name ended with status $status before reporting its tests"
    continue
  fi
  root=$(grep -m1 '<testsuites ' "$xml")
  attribute() { sed -n "s/.* $1=\"\([0-9]*\)\".*/\1/p" <<<"$root"; }
  tests=$(attribute tests)
  failures=$(attribute failures)
  errors=$(attribute errors)
  bad=$((failures + errors))
  # A skipped test ran no check: it is counted apart, never as a pass.
  skips=$(grep -c '<skipped' "$xml" || true)
  skipped=$((skipped + skips))
  # Each skipped test by name, with the reason it gave (the message's last line).
  skip_list=$(awk '/<testcase / {
      match($0, / name="[^"]*"/); test = substr($0, RSTART + 7, RLENGTH - 8)
      match($0, / classname="[^"]*"/); suite = substr($0, RSTART + 12, RLENGTH - 13)
    }
    /<skipped / {
      match($0, / message="[^"]*"/); reason = substr($0, RSTART + 10, RLENGTH - 11); sub(/.*&#x0A;/, "", reason)
      print "  skipped " suite "." test ": " reason
    }' "$xml")
  ran=$((tests - skips))
  if ((bad == 0 && status == 0)); then
    pass "$ran" "$name: $ran tests$( ((skips == 0)) || echo ", $skips skipped")"
  else
    grep -E '^\[  FAILED  \]|Failure$' "$results/$name.log" | head -40 || true
    passed=$((passed + ran - bad))
    fail "$((bad > 0 ? bad : 1))" "$name: $bad of $ran tests failed (status $status)"
  fi
  [[ -z $skip_list ]] || echo "$skip_list"
done
# The same run of quorvex on Linux and under Wine: a drag beside the
# six-layer example with every legend column on (the legacy settings file),
# committed with a click. Both must save the very same board and print the
# very same report.
e2e=$results/e2e
mkdir -p "$e2e"
printf 'corner 5000mil,0mil\nmove 8000mil,2000mil\nmove 11000mil,4000mil\nclick\n' >"$e2e/drag.txt"
settings='[SETTINGS]\r\nCopperHeight=1\r\nType=1\r\nGerbers=1\r\nDielHeight=1\r\nMaterial=1\r\nConstant=1\r\nExtDielectrics=1\r\n'
# On Linux the settings file goes under a machine root; Windows has none
# (quorvex.exe refuses --machine) and reads it from the prefix's own
# Windows folder.
mkdir -p "$e2e/linux/C/Windows"
printf "$settings" >"$e2e/linux/C/Windows/vemtro.ini"
printf "$settings" >"$(winepath -u 'C:\windows\vemtro.ini')"
board=$PWD/examples/boards/six-layer.board.json
linux_status=0
build/default/bin/quorvex --machine "$e2e/linux" "$board" --script "$e2e/drag.txt" \
  --out "$e2e/linux.board.json" >"$e2e/linux.out" 2>&1 || linux_status=$?
windows_status=0
timeout -k 10 "$limit" wine "$bin/quorvex.exe" "$board" --script "$e2e/drag.txt" \
  --out "$e2e/windows.board.json" >"$e2e/windows.out" 2>&1 || windows_status=$?
tr -d '\r' <"$e2e/windows.out" >"$e2e/windows.lf.out"
if ((linux_status != 0)); then
  cat "$e2e/linux.out"
  fail 1 "quorvex on Linux ended with status $linux_status"
elif ((windows_status != 0)); then
  cat "$e2e/windows.out"
  fail 1 "quorvex.exe ended with status $windows_status"
elif ! grep -q '"Layer Stack Up Detail for: ' "$e2e/windows.board.json"; then
  fail 1 "quorvex.exe saved the board without a legend"
elif ! cmp -s "$e2e/linux.board.json" "$e2e/windows.board.json"; then
  diff "$e2e/linux.board.json" "$e2e/windows.board.json" | head -20 || true
  fail 1 "quorvex.exe saved another board than quorvex on Linux"
else
  pass 1 "quorvex.exe committed the legend; the saved board is byte-identical to Linux's"
fi
if diff "$e2e/linux.out" "$e2e/windows.lf.out" >"$e2e/report.diff"; then
  pass 1 "quorvex.exe printed the same report as quorvex on Linux"
else
  head -20 "$e2e/report.diff"
  fail 1 "quorvex.exe printed another report than quorvex on Linux"
fi
# The setup dialog on the way: quorvex.exe's script drives the dialog that
# Strativue.dll shows, through the system's message queue, and draws it. The
# board, the report and the drawing must be Linux's, byte for byte.
printf 'corner 5000mil,0mil\nmove 8000mil,2000mil\nsetup Type,Material\nmove 11000mil,4000mil\nclick\n' \
  >"$e2e/setup.txt"
mkdir -p "$e2e/linux-setup/C/Windows"
printf "$settings" >"$e2e/linux-setup/C/Windows/vemtro.ini"
linux_status=0
build/default/bin/quorvex --machine "$e2e/linux-setup" "$board" --script "$e2e/setup.txt" \
  --dialog-svg "$e2e/linux.dialog.svg" --out "$e2e/linux-setup.board.json" >"$e2e/linux-setup.out" 2>&1 ||
  linux_status=$?
windows_status=0
timeout -k 10 "$limit" wine "$bin/quorvex.exe" "$board" --script "$e2e/setup.txt" \
  --dialog-svg "$e2e/windows.dialog.svg" --out "$e2e/windows-setup.board.json" >"$e2e/windows-setup.out" 2>&1 ||
  windows_status=$?
tr -d '\r' <"$e2e/windows-setup.out" >"$e2e/windows-setup.lf.out"
if ((linux_status != 0 || windows_status != 0)); then
  cat "$e2e/linux-setup.out" "$e2e/windows-setup.out"
  fail 1 "quorvex with the setup dialog ended with status $linux_status on Linux, $windows_status under Wine"
elif ! cmp -s "$e2e/linux-setup.board.json" "$e2e/windows-setup.board.json"; then
  diff "$e2e/linux-setup.board.json" "$e2e/windows-setup.board.json" | head -20 || true
  fail 1 "quorvex.exe saved another board than Linux after the setup dialog"
elif ! diff "$e2e/linux-setup.out" "$e2e/windows-setup.lf.out" >"$e2e/setup-report.diff"; then
  head -20 "$e2e/setup-report.diff"
  fail 1 "quorvex.exe printed another report than Linux with the setup dialog"
elif ! cmp -s "$e2e/linux.dialog.svg" "$e2e/windows.dialog.svg"; then
  diff "$e2e/linux.dialog.svg" "$e2e/windows.dialog.svg" | head -20 || true
  fail 1 "quorvex.exe drew another setup dialog than Linux"
else
  pass 1 "quorvex.exe drove Strativue.dll's setup dialog; board, report and drawing are Linux's"
fi
machine_status=0
timeout -k 10 "$limit" wine "$bin/quorvex.exe" --machine "$e2e/windows" "$board" >"$e2e/machine.out" 2>&1 || machine_status=$?
if ((machine_status == 2)) && grep -q -- '--machine is not available' "$e2e/machine.out"; then
  pass 1 "quorvex.exe refuses --machine with its reason"
else
  cat "$e2e/machine.out"
  fail 1 "quorvex.exe took --machine (status $machine_status)"
fi
finished=$SECONDS

echo "test-windows ($preset): build $((built - started)) s, Wine $((finished - wine_started)) s"
echo "$passed passed, $failed failed ($skipped skipped)"
((failed == 0 && passed > 0))
