#!/usr/bin/env bash
# Sets up, builds the fuzz targets (the fuzz preset: clang with libFuzzer) and runs
# each for SECONDS, from its hand-made seeds in tests/fuzz/seeds/TARGET, in a
# scratch corpus that is thrown away afterwards. Prints one line per target:
#   TARGET: N executions, M findings
# A finding's input is kept under build/fuzz/findings/TARGET/. The exit
# status is 1 when any target found something, 2 for bad arguments or a
# failed build.
#   scripts/fuzz.sh SECONDS [TARGET...]     (every target by default)
# JOBS (default 2) limits the build's parallel jobs.
set -uo pipefail
cd "$(dirname "$0")/.."

usage() {
  echo "usage: scripts/fuzz.sh SECONDS [TARGET...]" >&2
  exit 2
}
[[ $# -ge 1 && $1 =~ ^[1-9][0-9]*$ ]] || usage
seconds=$1
shift
all=()
for dir in tests/fuzz/seeds/*/; do all+=("$(basename "$dir")"); done
targets=("$@")
((${#targets[@]})) || targets=("${all[@]}")
for target in "${targets[@]}"; do
  [[ -d tests/fuzz/seeds/$target ]] || { echo "fuzz: unknown target $target (known: ${all[*]})" >&2; exit 2; }
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
scripts/setup.sh --fuzz || exit 2
{ cmake --preset fuzz && cmake --build build/fuzz -j "${JOBS:-2}" --target "${targets[@]}"; } >"$scratch/build.log" 2>&1 ||
  { cat "$scratch/build.log" >&2; echo "fuzz: the build failed" >&2; exit 2; }

found=0
for target in "${targets[@]}"; do
  corpus=$scratch/$target
  findings=build/fuzz/findings/$target
  mkdir -p "$corpus" "$findings"
  cp tests/fuzz/seeds/"$target"/* "$corpus"/
  before=$(find "$findings" -type f | wc -l)
  build/fuzz/bin/"$target" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$findings/" "$corpus" >"$scratch/$target.log" 2>&1
  status=$?
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$scratch/$target.log" | tail -1)
  count=$(($(find "$findings" -type f | wc -l) - before))
  # A run that stopped without leaving an input behind still found something.
  ((status != 0 && count == 0)) && count=1
  echo "$target: ${executions:-0} executions, $count findings"
  if ((count)); then
    found=1
    cp "$scratch/$target.log" "$findings/last-run.log"
    grep -m1 -E "ERROR: |runtime error:|==[0-9]+==" "$scratch/$target.log" | sed "s/^/  /"
    echo "  inputs and the run's log: $findings/"
  fi
done
exit "$found"
