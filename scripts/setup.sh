#!/usr/bin/env bash
# Installs, without questions, the Debian packages the build and the tests
# need and that are missing; packages already present are left alone.
#   scripts/setup.sh          what the default and sanitize presets need (KiCad 9
#                             too: the tests check written boards with its pcbnew
#                             and kicad-cli; on bookworm it comes from backports)
#   scripts/setup.sh --fuzz   also clang's libFuzzer, for the fuzz preset
set -euo pipefail

packages=(
  cmake ninja-build g++ ccache
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libcli11-dev
  libxml2-dev python3
)
if [[ ${1:-} == --fuzz ]]; then
  packages+=(clang libclang-rt-14-dev)
fi

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done

# KiCad 9 and its demo boards. Debian bookworm itself has KiCad 6, so there
# they come from bookworm-backports, enabled by a sources entry of its own;
# only these two are taken from it (with what they need at its versions).
kicad_missing=()
for p in kicad kicad-demos; do
  dpkg-query -W -f='${Status} ${Version}' "$p" 2>/dev/null | grep -q "^install ok installed 9\." || kicad_missing+=("$p")
done
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
backports_entry=/etc/apt/sources.list.d/bookworm-backports.sources

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
apt_install() {
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "$@"
}

if ((${#missing[@]} + ${#kicad_missing[@]})); then
  if ((${#kicad_missing[@]})) && [[ $codename == bookworm ]] &&
    ! grep -rqs '^[^#]*bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    echo "setup: enabling bookworm-backports in $backports_entry"
    printf '%s\n' 'Types: deb' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm-backports' \
      'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
      "${sudo_cmd[@]}" tee "$backports_entry" >/dev/null
  fi
  "${sudo_cmd[@]}" apt-get update -qq
  if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    apt_install "${missing[@]}"
  fi
  if ((${#kicad_missing[@]})); then
    echo "setup: installing ${kicad_missing[*]} (KiCad 9)"
    if [[ $codename == bookworm ]]; then
      apt_install -t bookworm-backports "${kicad_missing[@]}"
    else
      apt_install "${kicad_missing[@]}"
    fi
  fi
fi
