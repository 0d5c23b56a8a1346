#!/usr/bin/env bash
# Installs, without questions, the Debian packages the build and the tests
# need and that are missing; packages already present are left alone.
#   scripts/setup.sh          what the default and sanitize presets need (KiCad
#                             too: the tests check written boards with its pcbnew)
#   scripts/setup.sh --fuzz   also clang's libFuzzer, for the fuzz preset
set -euo pipefail

packages=(
  cmake ninja-build g++
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libcli11-dev
  kicad kicad-demos
  libxml2-dev
)
if [[ ${1:-} == --fuzz ]]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
