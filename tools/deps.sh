#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Sourced by run.sh and test.sh.
QUORVELA_PACKAGES=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-svg-dev libsimpleini-dev libjpeg62-turbo-dev libicu-dev libfmt-dev
  libcli11-dev nlohmann-json3-dev libsqlite3-dev libexpat1-dev clang-tidy libgtest-dev libgmock-dev libbenchmark-dev
  libheif-dev libraw-dev libseccomp-dev liblensfun-dev liblensfun-data-v1
  libimage-exiftool-perl exiv2 xvfb xauth imagemagick python3
)

quorvela_missing_packages() {
  local missing=()
  for p in "${QUORVELA_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  echo "${missing[@]}"
}

quorvela_install_deps() {
  local missing
  missing=$(quorvela_missing_packages)
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: $missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq && apt-get install -y -qq --no-install-recommends $missing
  else
    echo "Missing Debian packages. Install them with:"
    echo "  sudo apt-get install $missing"
    return 1
  fi
}
