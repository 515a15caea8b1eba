#!/usr/bin/env bash
# Installs the Debian packages needed to build Halvora and run its tests.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config clang
  libwxgtk3.2-dev zlib1g-dev libminizip-dev libcurl4-openssl-dev libmodbus-dev libglib2.0-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev libshp-dev libx11-dev
  xvfb xauth fonts-dejavu-core adwaita-icon-theme imagemagick
  python3-pyftpdlib zip unzip procps x11-utils openbox
  wx3.2-i18n xdg-utils locales
)
SUDO=()
if [ "$(id -u)" != 0 ]; then SUDO=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
# Another apt may hold the lock for a moment on a fresh machine.
for i in 1 2 3 4 5; do
  if "${SUDO[@]}" apt-get update -qq; then break; fi
  sleep $((i * 3))
done
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${packages[@]}"

# The locale tests need a German locale; generated once, kept in locale.gen so that
# later runs of locale-gen keep it.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  if grep -q '^# *de_DE\.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    "${SUDO[@]}" sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  elif ! grep -q '^de_DE\.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'de_DE.UTF-8 UTF-8' | "${SUDO[@]}" tee -a /etc/locale.gen >/dev/null
  fi
  "${SUDO[@]}" locale-gen
fi
