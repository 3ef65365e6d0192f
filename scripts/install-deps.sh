#!/usr/bin/env bash
# Installs every Debian package Korvena's builds, tests and demo need on a fresh Debian 12 machine.
# Safe to run again: when everything is there already it changes nothing and needs no network
# and no root; otherwise it runs apt-get update, then apt-get install.
set -euo pipefail

packages=(
  # both builds
  cmake ninja-build g++ make pkg-config googletest libgtest-dev nlohmann-json3-dev clang-format
  # the host benchmark of the scatter-point check lines
  libbenchmark-dev
  # the windows build and its tests under Wine
  wine64 wine g++-mingw-w64-x86-64-posix mingw-w64-tools
  xvfb xauth x11-apps imagemagick fonts-wqy-microhei
  # the help file: chmcmd compiles it, enum_chmLib lists it for its test
  fp-utils libchm-bin
  # the windows32 build (32-bit executables) and the release checks
  g++-mingw-w64-i686-posix python3
  # the fuzzers of the conversions: clang with libFuzzer and the sanitizers' runtimes
  clang libclang-rt-14-dev
)
# Wine's 32-bit half, from Debian's i386 packages, where the kernel runs 32-bit programs. Elsewhere
# it would not run, and /usr/bin/wine would pick its loader even for 64-bit programs and fail.
wine32=""
if "$(dirname "${BASH_SOURCE[0]}")/runs-32bit-programs.sh" 2>/dev/null; then
  wine32=wine32:i386
  packages+=("$wine32")
fi

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#packages[@]} packages present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
# wine32 comes from the i386 architecture, which dpkg must know before apt-get update.
if [ -n "$wine32" ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${packages[@]}"
