#!/usr/bin/env bash
# Installs what the builds, tests and demo need on a fresh Debian machine. Quick and quiet when
# everything is already there.
#
# Mirrors misbehave: an index can fail to download for half an hour ("Mirror sync in
# progress?"), and then apt knows newer amd64 library versions than i386 ones, so the i386
# packages do not resolve. So `apt-get update` is retried and, when it still fails with package
# lists at hand, the script goes on; an install that does not resolve is tried once more
# preferring the release's own suite. Whatever happens, the script exits 0 only when every
# package is installed.
set -euo pipefail

# wine64 runs the 64-bit build; LMMS (i386 only: its amd64 build has no VST support) is the
# third-party host of the render test; clang and its runtimes build the fuzzer and the
# ThreadSanitizer tests.
packages=(wine32:i386 wine wine64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix cmake make g++
          googletest xvfb xauth xdotool sox imagemagick espeak-ng python3 lmms:i386 lmms-vst-server:i386
          clang libclang-rt-14-dev zip unzip nsis)

update_attempts=${BACKTWISTER_APT_ATTEMPTS:-3}
update_pause=${BACKTWISTER_APT_PAUSE:-10}
apt_lists=${BACKTWISTER_APT_LISTS:-/var/lib/apt/lists}
os_release=${BACKTWISTER_OS_RELEASE:-/etc/os-release}

say() { echo "install-deps: $*" >&2; }
give_up() {
    say "$*"
    exit 1
}

missing_packages() {
    local package
    for package in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || echo "$package"
    done
}

mapfile -t missing < <(missing_packages)
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || give_up "installing needs root: run this as root, or install sudo"
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
echo "installing: ${missing[*]}"

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386 || give_up "'dpkg --add-architecture i386' failed"
fi

updated=""
for ((attempt = 1; attempt <= update_attempts; attempt++)); do
    if "${sudo[@]}" apt-get update -q; then
        updated=yes
        break
    fi
    [ "$attempt" -lt "$update_attempts" ] && sleep "$update_pause"
done
if [ -z "$updated" ]; then
    compgen -G "$apt_lists/*_Packages*" >/dev/null ||
        give_up "'apt-get update' failed $update_attempts times and there are no package lists;" \
            "check the network and /etc/apt/sources.list, then run this again"
    say "'apt-get update' still reports failed indexes after $update_attempts attempts; going on with the package lists it has"
fi

install=(apt-get install -y -q --no-install-recommends)
if ! "${sudo[@]}" "${install[@]}" "${missing[@]}"; then
    codename=$( (. "$os_release" 2>/dev/null && echo "${VERSION_CODENAME:-}") || true)
    [ -n "$codename" ] || give_up "'${install[*]} ${missing[*]}' failed; run it by hand to see why"
    say "the install did not resolve; trying again with the release's own suite (-t $codename)"
    "${sudo[@]}" "${install[@]}" -t "$codename" "${missing[@]}" ||
        give_up "'${install[*]} -t $codename ${missing[*]}' failed too." \
            "The package mirror may be syncing: wait a while and run this again," \
            "or run that command by hand to see which package does not resolve"
fi

mapfile -t missing < <(missing_packages)
[ ${#missing[@]} -eq 0 ] || give_up "apt-get reported success but these are still not installed: ${missing[*]}"
