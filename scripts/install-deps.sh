#!/usr/bin/env bash
# Installs every Debian package Korvena's builds, tests and demo need on a fresh Debian 12 machine.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends \
  cmake ninja-build g++ make pkg-config \
  googletest libgtest-dev nlohmann-json3-dev \
  wine64 wine g++-mingw-w64-x86-64-posix mingw-w64-tools \
  xvfb xauth x11-apps imagemagick fonts-wqy-microhei \
  fp-utils clang-format
