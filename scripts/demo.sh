#!/usr/bin/env bash
# Sets up, builds and runs the main job: quorvex opens a bundled board, runs
# the plug-in's GenerateCrossSection with a scripted drag beside the board
# (opening the setup dialog on the way, with every box checked), commits the
# legend, and saves and draws the result and the dialog.
#   scripts/demo.sh [BOARD.json | BOARD.kicad_pcb] [more quorvex options]
# A KiCad board is written back as a KiCad board with the legend inserted
# (on Cmts.User unless --kicad-layer says otherwise).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default
cmake --build --preset default --target quorvex

board=examples/boards/six-layer.board.json
if [[ $# -gt 0 && $1 != -* ]]; then
  board=$1
  shift
fi
kind=board.json
[[ $board == *.kicad_pcb ]] && kind=kicad_pcb
name=$(basename "$board" ".$kind")
demo=build/demo
machine="$demo/machine"
mkdir -p "$machine/C/Windows"
# The legacy settings file turns every column of the legend and the solder
# mask rows on.
printf '[SETTINGS]\r\nCopperHeight=1\r\nType=1\r\nGerbers=1\r\nDielHeight=1\r\nMaterial=1\r\nConstant=1\r\nExtDielectrics=1\r\n' \
  >"$machine/C/Windows/vemtro.ini"

build/default/bin/quorvex --machine "$machine" "$board" --setup all --dialog-svg "$demo/setup-dialog.svg" \
  --out "$demo/$name.$kind" --svg "$demo/$name.svg" "$@"
echo "demo: the board with its legend is drawn in $demo/$name.svg (the board itself is saved as $demo/$name.$kind)"
echo "demo: the setup dialog opened during the drag is drawn in $demo/setup-dialog.svg"
