#!/usr/bin/env bash
# Installs what the builds, tests and demo need on a fresh Debian machine. Quick when
# everything is already there.
set -euo pipefail

# wine64 runs the 64-bit build; LMMS (i386 only: its amd64 build has no VST support) is the
# third-party host of the render test; clang and its runtimes build the fuzzer and the
# ThreadSanitizer tests.
packages=(wine32:i386 wine wine64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix cmake make g++
          googletest xvfb xauth xdotool sox imagemagick espeak-ng python3 lmms:i386 lmms-vst-server:i386
          clang libclang-rt-14-dev zip unzip)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo dpkg --add-architecture i386
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
