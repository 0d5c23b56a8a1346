#!/usr/bin/env bash
# Sets up, builds and runs every test.
#   scripts/test.sh              the default preset
#   scripts/test.sh --sanitize   the sanitize preset: the same tests built with
#                                the address and undefined-behaviour sanitizers
set -euo pipefail
cd "$(dirname "$0")/.."
case "${1:-}" in
  "") preset=default ;;
  --sanitize) preset=sanitize ;;
  *)
    echo "usage: scripts/test.sh [--sanitize]" >&2
    exit 2
    ;;
esac
scripts/setup.sh
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
