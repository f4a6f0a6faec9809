#!/usr/bin/env bash
# The set-up script's decisions when the package mirror misbehaves, without a network: stand-in
# apt-get, dpkg, dpkg-query (and id and sudo) on PATH log what they are asked and answer as a
# faulty mirror would.
set -uo pipefail
script="$(cd "$(dirname "$0")/.." && pwd)/install-deps.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL [$scenario]: $*"
    failures=$((failures + 1))
}

mkdir -p "$work/bin"
cat >"$work/bin/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "apt-get $*" >>"$FAKE_LOG"
case "$1:$FAKE_MIRROR" in
    update:bad-index)
        echo "E: Failed to fetch .../binary-i386/Packages.xz  File has unexpected size" >&2
        exit 100 ;;
    update:*) exit 0 ;;
    install:broken-until-release-suite) [[ " $* " == *" -t bookworm "* ]] || exit 100 ;;
    install:broken) echo "E: Unable to correct problems, you have held broken packages." >&2; exit 100 ;;
    install:lies) exit 0 ;;
esac
shift
for word in "$@"; do [[ $word == -* || $word == bookworm ]] || echo "$word" >>"$FAKE_INSTALLED"; done
EOF
cat >"$work/bin/dpkg-query" <<'EOF'
#!/usr/bin/env bash
grep -qxF -- "${!#}" "$FAKE_INSTALLED" 2>/dev/null && printf 'install ok installed'
EOF
cat >"$work/bin/dpkg" <<'EOF'
#!/usr/bin/env bash
echo "dpkg $*" >>"$FAKE_LOG"
EOF
cat >"$work/bin/id" <<'EOF'
#!/usr/bin/env bash
echo "${FAKE_UID:-0}"
EOF
cat >"$work/bin/sudo" <<'EOF'
#!/usr/bin/env bash
echo "sudo $1" >>"$FAKE_LOG"
exec "$@"
EOF
chmod +x "$work/bin/"*
printf 'NAME="Debian GNU/Linux"\nVERSION_CODENAME=bookworm\n' >"$work/os-release"

# Runs the script in a scenario: the mirror's fault, which packages are there, whether apt has
# package lists, and the user (0 is root).
run() {
    scenario=$1 mirror=$2 preinstalled=$3 lists=$4 uid=$5
    rm -rf "$work/lists" "$work/log" "$work/installed"
    mkdir -p "$work/lists"
    touch "$work/log"
    [ "$lists" = lists ] && touch "$work/lists/deb.debian.org_debian_dists_bookworm_main_binary-amd64_Packages.lz4"
    if [ "$preinstalled" = all ]; then
        sed -n '/^packages=(/,/)/p' "$script" | tr ' ()' '\n\n\n' | grep -v -e '^packages=' -e '^$' >"$work/installed"
    else
        echo cmake >"$work/installed"
    fi
    PATH="$work/bin:$PATH" FAKE_LOG="$work/log" FAKE_INSTALLED="$work/installed" FAKE_MIRROR=$mirror \
        FAKE_UID=$uid BACKTWISTER_APT_PAUSE=0 BACKTWISTER_APT_LISTS="$work/lists" \
        BACKTWISTER_OS_RELEASE="$work/os-release" bash "$script" >"$work/out" 2>&1
    status=$?
}
ran() { grep -c -- "$1" "$work/log"; }
said() { grep -q -- "$1" "$work/out"; }

run "one index fails" bad-index none lists 0
[ $status -eq 0 ] || fail "exit $status"
[ "$(ran '^apt-get update')" -eq 3 ] || fail "update should be tried 3 times"
said "still reports failed indexes after 3 attempts; going on" || fail "no line about the failed index"
[ "$(ran '^apt-get install')" -eq 1 ] || fail "one install expected"
[ "$(ran '^dpkg --add-architecture i386')" -eq 1 ] || fail "i386 not added"
! ran '^apt-get install.* cmake' >/dev/null || fail "an installed package was installed again"

run "no package lists at all" bad-index none empty 0
[ $status -ne 0 ] || fail "exit 0 without package lists"
said "no package lists" || fail "no clear line"
[ "$(ran '^apt-get install')" -eq 0 ] || fail "installed without package lists"

run "resolves with the release suite, via sudo" broken-until-release-suite none lists 1000
[ $status -eq 0 ] || fail "exit $status"
[ "$(ran '^apt-get install')" -eq 2 ] || fail "two installs expected"
[ "$(ran '^apt-get install.* -t bookworm ')" -eq 1 ] || fail "the second install should prefer bookworm"
said "trying again with the release's own suite (-t bookworm)" || fail "no line about the retry"
[ "$(ran '^sudo apt-get')" -eq 3 ] || fail "apt-get should run through sudo"
[ "$(ran '^sudo dpkg')" -eq 1 ] || fail "dpkg should run through sudo"

run "every install fails" broken none lists 0
[ $status -ne 0 ] || fail "a failed install reported as success"
[ "$(ran '^apt-get install')" -eq 2 ] || fail "two installs expected"
said "apt-get install -y -q --no-install-recommends -t bookworm wine32:i386" || fail "the failed command is not named"
said "wait a while and run this again" || fail "no advice"

run "apt-get claims success" lies none lists 0
[ $status -ne 0 ] || fail "missing packages reported as success"
said "still not installed: wine32:i386" || fail "the missing packages are not named"

run "everything installed" update-ok all lists 0
[ $status -eq 0 ] || fail "exit $status"
[ ! -s "$work/log" ] || fail "ran $(head -1 "$work/log")"
[ ! -s "$work/out" ] || fail "said $(head -1 "$work/out")"

[ $failures -eq 0 ] && echo "install-deps: all scenarios pass"
exit $((failures > 0))
