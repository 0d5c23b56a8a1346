#!/usr/bin/env bash
# Sets up, builds and runs the main job: the command-line host loads the
# plug-in and runs its command, in a machine root of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default
cmake --build --preset default --target quorvex
machine="build/default/demo-machine"
mkdir -p "$machine"
build/default/bin/quorvex --machine "$machine" "$@"
