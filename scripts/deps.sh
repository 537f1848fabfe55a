#!/usr/bin/env bash
# Installs the Debian packages Velmora needs to build, run and test.
# Runs apt-get only for what is missing; as a normal user it asks sudo.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config git
  libsqlite3-dev libsdl2-dev libsndfile1-dev libtag1-dev libarchive-dev
  libfreetype-dev libfontconfig-dev libpng-dev libx11-dev fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth x11-apps sox imagemagick locales tzdata
  desktop-file-utils libcap2-bin
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"
  elif command -v sudo >/dev/null; then sudo "$@"
  else echo "velmora: need root for: $* (install sudo or run as root)" >&2; exit 1
  fi
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "velmora: installing ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The locale tests read a 12-hour and a 24-hour locale.
if ! locale -a 2>/dev/null | grep -qi '^en_US.utf8$' || ! locale -a 2>/dev/null | grep -qi '^de_DE.utf8$'; then
  as_root sed -i -E 's/^# *(en_US.UTF-8|de_DE.UTF-8)/\1/' /etc/locale.gen
  as_root locale-gen >/dev/null
fi
