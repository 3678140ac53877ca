#!/usr/bin/env bash
# Installs the Debian packages Kestrin needs to build, test and run, when any is missing.
# Idempotent and non-interactive; runs `apt-get update` once, only when it must install.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev libqt6opengl6-dev libgl-dev
  libsqlite3-dev libpugixml-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation2 fontconfig qt6-wayland
  poppler-utils libreoffice-writer-nogui
  clang libclang-rt-14-dev
  locales
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The locale tests write and read numbers under a decimal-comma locale.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "setup: generating the locale de_DE.UTF-8"
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
