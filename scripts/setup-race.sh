#!/usr/bin/env bash
# Runs pairs of quorvex runs at once on one machine root, each choosing other
# columns in the setup dialog, and checks that the options store then holds
# one of the two choices whole (never a mix, never neither).
#   scripts/setup-race.sh [PAIRS]    (default 20; needs a built tree)
set -euo pipefail
cd "$(dirname "$0")/.."
pairs=${1:-20}
quorvex=build/default/bin/quorvex
[[ -x $quorvex ]] || { echo "setup-race: build quorvex first (cmake --build --preset default)" >&2; exit 2; }
machine=$(mktemp -d)
trap 'rm -rf "$machine"' EXIT
store="$machine/C/Users/user/AppData/Roaming/Quorvex/Options/Brelix.ini"
drag=(examples/boards/two-layer.board.json --corner 0,0 --drag 1000mil,1000mil --steps 1)
keys=(CopperHeight Gerbers Type DielHeight Material Constant ExtDielectrics)
failed=0
for ((pair = 1; pair <= pairs; pair++)); do
  rm -f "$store"
  "$quorvex" --machine "$machine" "${drag[@]}" --setup Type,Gerbers,DielHeight,Constant >/dev/null &
  first=$!
  "$quorvex" --machine "$machine" "${drag[@]}" --setup CopperHeight,Material,ExtDielectrics >/dev/null &
  second=$!
  wait "$first"
  wait "$second"
  held=
  for key in "${keys[@]}"; do
    if grep -q "^$key=-1" "$store"; then held+=1; elif grep -q "^$key=0" "$store"; then held+=0; else held+=?; fi
  done
  if [[ $held != 0111010 && $held != 1000101 ]]; then
    echo "pair $pair: the store holds $held, neither whole choice" >&2
    failed=$((failed + 1))
  fi
done
echo "setup-race: $((pairs - failed)) of $pairs pairs left one whole choice in the store"
[[ $failed -eq 0 ]]
