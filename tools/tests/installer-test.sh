#!/usr/bin/env bash
# The Windows installer under Wine, run as an administrator runs it: built from the two builds'
# DLLs, then installed silently into a fresh 64-bit and a fresh 32-bit Wine prefix and checked
# on disk, in the registry and in the host tool; updated in place, moved, uninstalled, and
# refused folders it cannot or must not write.
# usage: installer-test.sh WORK BUILD32 BUILD64   (WORK is emptied; BUILDn/bin holds the DLL
#                                                  and backtwister-host.exe)
set -uo pipefail

# Root writes into any folder, so a read-only folder needs a read-only file system: the test
# runs in a mount namespace of its own, where mounts vanish with it (Wine's server included).
if [[ -z ${INSTALLER_TEST_NAMESPACE-} ]] && ((EUID == 0)) && unshare -m --propagation private true 2>/dev/null; then
    INSTALLER_TEST_NAMESPACE=1 exec unshare -m --propagation private bash "$0" "$@"
fi

work=$(realpath -m -- "$1") build32=$(realpath -- "$2") build64=$(realpath -- "$3")
tools=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dll32=$build32/bin/BACKTWISTER.dll dll64=$build64/bin/BACKTWISTER.dll
setup=$work/backtwister-setup.exe
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\KelpworksBacktwister'
uninstaller='Uninstall Backtwister.exe'
export WINEDEBUG=-all
failures=0

failed() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Each step passes when none of its checks failed; the summary counts steps.
passed=0 failed_steps=0 step_start=0 in_step=
end_step() {
    [[ -n $in_step ]] || return 0
    if ((failures > step_start)); then failed_steps=$((failed_steps + 1)); else passed=$((passed + 1)); fi
    in_step=
}
step() {
    end_step
    echo "-- $*"
    step_start=$failures in_step=yes
}

rm -rf "$work"
mkdir -p "$work"
bash "$tools/installer/make-installer.sh" "$dll32" "$dll64" "$setup" || exit 1
step "the installer, $(stat -c %s "$setup") bytes, names the product in its version resource"
for text in "Kelpworks Backtwister" Kelpworks 1.1.0; do
    strings -el "$setup" | grep -qxF "$text" || failed "the installer's version resource lacks \"$text\""
done

# new_prefix ARCH: a fresh Wine prefix of that architecture; sets WINEPREFIX and c (its C:).
new_prefix() {
    export WINEPREFIX=$work/$1
    mkdir -p "$WINEPREFIX"
    WINEARCH=$1 wineboot -i >/dev/null 2>&1
    wineserver -w
    [[ -f $WINEPREFIX/system.reg ]] || { echo "cannot create the $1 Wine prefix $WINEPREFIX" >&2; exit 1; }
    c=$WINEPREFIX/drive_c
}

# run_setup WANT-STATUS ARGS...: the installer with ARGS ends with that status (0, or "fail"
# for any other).
run_setup() {
    local want=$1 status
    shift
    timeout 120 wine "$setup" "$@" >/dev/null 2>&1
    status=$?
    if [[ $want == fail ]]; then
        ((status != 0)) || failed "setup $*: exit status 0, wanted a failure"
    elif ((status != want)); then
        failed "setup $*: exit status $status, wanted $want"
    fi
}

# uninstall FOLDER: the uninstaller in the Windows folder, silently. It goes on from a copy in
# the temporary folder, so wait for every program of the prefix to end.
uninstall() {
    timeout 120 wine "$1\\$uninstaller" /S >/dev/null 2>&1 || failed "uninstall $1: exit status $?"
    timeout 60 wineserver -w
}

# read_key VIEW: the uninstall key's values in that registry view (32 or 64) into `values`;
# false when the key is not there.
declare -A values
read_key() {
    values=()
    local listing name type value
    listing=$(wine reg query "$key" "/reg:$1" 2>/dev/null | tr -d '\r') || return 1
    while IFS= read -r line; do
        [[ $line =~ ^\ +([A-Za-z0-9]+)\ +(REG_[A-Z_]+)\ +(.*)$ ]] || continue
        name=${BASH_REMATCH[1]} type=${BASH_REMATCH[2]} value=${BASH_REMATCH[3]}
        [[ $type == REG_DWORD ]] && value=$((value))
        values[$name]=$value
    done <<<"$listing"
}

# same_file UNIX-PATH SOURCE: the installed file is there, byte for byte the build's.
same_file() {
    if [[ ! -f $1 ]]; then
        failed "no file at ${1#"$c/"}"
    elif ! cmp -s "$1" "$2"; then
        failed "${1#"$c/"} differs from $2"
    fi
}

absent() {
    local path
    for path; do
        [[ ! -e $path ]] || failed "${path#"$c/"} should not be there"
    done
}

# registered VIEW FOLDER FILES...: the uninstall key in that view names FOLDER (Windows) as
# the place of the uninstaller, and its size is that of the FILES (Unix paths) with it.
registered() {
    local view=$1 folder=$2 bytes=0 file
    shift 2
    if ! read_key "$view"; then
        failed "no uninstall key in the $view-bit registry view"
        return
    fi
    for file in "$@" "$c/${folder#C:\\}/$uninstaller"; do
        file=${file//\\//}
        [[ -f $file ]] && bytes=$((bytes + $(stat -c %s "$file")))
    done
    local -A want=([DisplayName]="Kelpworks Backtwister" [Publisher]=Kelpworks [DisplayVersion]=1.1.0
        [InstallLocation]=$folder [UninstallString]="\"$folder\\$uninstaller\""
        [EstimatedSize]=$(((bytes + 1023) / 1024)))
    for name in "${!want[@]}"; do
        [[ ${values[$name]-} == "${want[$name]}" ]] ||
            failed "registry $name is \"${values[$name]-}\", wanted \"${want[$name]}\""
    done
    wine uninstaller --list 2>/dev/null | tr -d '\r' | grep -qxF 'KelpworksBacktwister|||Kelpworks Backtwister' ||
        failed "the list of installed programs lacks Kelpworks Backtwister"
}

unregistered() {
    local view
    for view; do
        read_key "$view" && failed "an uninstall key is left in the $view-bit registry view"
    done
}

# loads BUILD DLL: the host tool of that build (and so that bitness) loads the installed DLL.
loads() {
    local info
    info=$(BACKTWISTER_BUILD=$1 timeout 60 "$tools/backtwister-host" info "$2" 2>&1)
    grep -qE '^name: +Backtwister$' <<<"$info" || failed "the host tool cannot load $2: $(head -c 300 <<<"$info")"
}

announce() { # announce VIEW FOLDER: VSTPluginsPath in that registry view
    wine reg add 'HKLM\SOFTWARE\VST' /v VSTPluginsPath /d "$2" "/reg:$1" /f >/dev/null 2>&1 ||
        failed "cannot set VSTPluginsPath in the $1-bit view"
}

echo "== 64-bit Windows =="
new_prefix win64
vst64="$c/Program Files/VstPlugins" vst32="$c/Program Files (x86)/VstPlugins"

step "nothing announced: the 64-bit plug-in goes to Program Files\\VstPlugins"
run_setup 0 /S
same_file "$vst64/BACKTWISTER.dll" "$dll64"
absent "$vst32"
registered 64 'C:\Program Files\VstPlugins' "$vst64/BACKTWISTER.dll"
unregistered 32
loads "$build64" 'C:\Program Files\VstPlugins\BACKTWISTER.dll'

step "a second install over the first, with a plug-in of the user's beside it"
echo "the user's own" >"$vst64/Other.dll"
run_setup 0 /S
same_file "$vst64/BACKTWISTER.dll" "$dll64"
registered 64 'C:\Program Files\VstPlugins' "$vst64/BACKTWISTER.dll"

step "uninstall: the installer's files go, the user's stays"
uninstall 'C:\Program Files\VstPlugins'
absent "$vst64/BACKTWISTER.dll" "$vst64/$uninstaller"
[[ -f $vst64/Other.dll ]] || failed "the uninstaller removed the user's own Other.dll"
unregistered 64 32

step "announced folders, one per registry view, and the 32-bit plug-in chosen (/32)"
mkdir -p "$c/Shared VST64" "$c/Shared VST32"
echo "the user's own" >"$c/Shared VST32/Other.dll"
announce 64 'C:\Shared VST64'
announce 32 'C:\Shared VST32'
run_setup 0 /S /32
same_file "$c/Shared VST64/BACKTWISTER.dll" "$dll64"
same_file "$c/Shared VST32/BACKTWISTER.dll" "$dll32"
registered 64 'C:\Shared VST64' "$c/Shared VST64/BACKTWISTER.dll" "$c/Shared VST32/BACKTWISTER.dll"
[[ ${values[File32]-} == 'C:\Shared VST32\BACKTWISTER.dll' ]] || failed "registry File32 is \"${values[File32]-}\""
loads "$build32" 'C:\Shared VST32\BACKTWISTER.dll'
loads "$build64" 'C:\Shared VST64\BACKTWISTER.dll'

step "installed again into folders of the administrator's choice: the old files go"
run_setup 0 /S '/32=C:\Moved 32' '/D=C:\Moved 64'
same_file "$c/Moved 64/BACKTWISTER.dll" "$dll64"
same_file "$c/Moved 32/BACKTWISTER.dll" "$dll32"
absent "$c/Shared VST64/BACKTWISTER.dll" "$c/Shared VST64/$uninstaller" "$c/Shared VST32/BACKTWISTER.dll"
registered 64 'C:\Moved 64' "$c/Moved 64/BACKTWISTER.dll" "$c/Moved 32/BACKTWISTER.dll"

step "uninstall: the folders setup made go with the files, the user's file stays"
uninstall 'C:\Moved 64'
absent "$c/Moved 64" "$c/Moved 32"
[[ -f "$c/Shared VST32/Other.dll" && -d "$c/Shared VST64" ]] || failed "the uninstaller removed what it had not put there"
unregistered 64 32

step "a read-only folder: a non-zero exit and nothing left behind"
mkdir -p "$c/ReadOnly"
readonly_folder=yes
if [[ -n ${INSTALLER_TEST_NAMESPACE-} ]]; then
    mount -t tmpfs -o ro,size=64k tmpfs "$c/ReadOnly" || readonly_folder=
elif ((EUID != 0)); then
    chmod a-w "$c/ReadOnly"
else
    readonly_folder=
fi
if [[ -n $readonly_folder ]]; then
    run_setup fail /S '/32=C:\ReadOnly' '/D=C:\Fresh'
    absent "$c/Fresh"
    unregistered 64 32
    run_setup fail /S '/D=C:\ReadOnly'
    unregistered 64 32
    [[ -z $(ls -A "$c/ReadOnly") ]] || failed "files were left in the read-only folder"
else
    echo "SKIP: no read-only file system could be mounted (root without mount namespaces)"
fi

step "one folder for both plug-ins is refused before anything is written"
run_setup fail /S '/32=C:\Same' '/D=C:\Same\'
absent "$c/Same"
unregistered 64 32
timeout 60 wineserver -w

echo "== 32-bit Windows =="
new_prefix win32
step "the 32-bit plug-in into the announced folder, which setup makes"
mkdir -p "$c/Audio"
announce 32 'C:\Audio\VST Plugins'
run_setup 0 /S
same_file "$c/Audio/VST Plugins/BACKTWISTER.dll" "$dll32"
[[ -z $(find "$c" -iname BACKTWISTER.dll ! -path "$c/Audio/VST Plugins/*") ]] || failed "a DLL was put elsewhere"
registered 32 'C:\Audio\VST Plugins' "$c/Audio/VST Plugins/BACKTWISTER.dll"
[[ -z ${values[File64]-} ]] || failed "32-bit Windows got a 64-bit plug-in: ${values[File64]}"
loads "$build32" 'C:\Audio\VST Plugins\BACKTWISTER.dll'
step "uninstall"
uninstall 'C:\Audio\VST Plugins'
absent "$c/Audio/VST Plugins"
[[ -d $c/Audio ]] || failed "the uninstaller removed a folder above the one it made"
unregistered 32
timeout 60 wineserver -w

end_step
echo "installer: $passed passed, $failed_steps failed"
((failures == 0))
