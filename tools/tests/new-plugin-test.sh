#!/usr/bin/env bash
# A plug-in made by tools/new-plugin is a project of its own that builds on Backtwister's
# libraries, and the host tool takes it like any plug-in: its identity, a render that is the
# input times its gain (after the ramp from unity), the validator's battery and a picture of
# its editor. Also what the script refuses.
# usage: new-plugin-test.sh WORK BUILD32   (WORK is emptied; BUILD32/bin holds backtwister-host.exe)
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(realpath -m -- "$1")
new=$root/tools/new-plugin
host=$root/tools/backtwister-host
BACKTWISTER_BUILD=$(realpath -- "$2")
export BACKTWISTER_BUILD WINEDEBUG=-all WINEPREFIX=${WINEPREFIX:-$BACKTWISTER_BUILD/wineprefix}
rm -rf "$work"
mkdir -p "$work"
failures=0

failed() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# expect_refusal MESSAGE-REGEX ARGS...: new-plugin ends with status 1, one line on stderr
# matching "new-plugin: MESSAGE-REGEX", and makes no folder.
expect_refusal() {
    local pattern=$1
    shift
    (cd "$work" && "$new" "$@") >/dev/null 2>"$work/stderr"
    local status=$?
    if ((status != 1)) || [[ $(wc -l <"$work/stderr") -ne 1 ]] ||
        ! grep -qE "^new-plugin: $pattern\$" "$work/stderr"; then
        failed "new-plugin $*: status $status, stderr: $(head -c 300 "$work/stderr")"
    fi
    [[ ! -e $work/Good ]] || failed "new-plugin $*: refused, but made a folder"
}

echo "-- refusals"
for bad in 9Lives my-gain 'Two words' ABCDEFGHIJKLMNOPQRSTUVWXY ''; do
    expect_refusal "(NAME must be a C identifier of at most 24 characters, not \".*\"|a NAME is needed .*)" "$bad"
done
for id in abc abcde 'ab"d' 'a b '; do
    expect_refusal "the identifier must be four letters, digits or underscores, not \".*\"" Good --id "$id"
done
expect_refusal "the identifier Bkt1 is taken by this repository's own plug-ins" Good --id Bkt1
expect_refusal "the vendor must be .*" Good --vendor 'Say "hi"'
expect_refusal "the vendor must be .*" Good --vendor ' Leading space'
expect_refusal "option --vendor needs a value" Good --vendor
expect_refusal "too many arguments \(try --help\)" Good Good/here extra
mkdir "$work/exists"
expect_refusal "exists already exists" Good exists
[[ -z $(ls -A "$work/exists") ]] || failed "new-plugin wrote into a folder that existed"

echo "-- made from the template"
# The default folder, a given identifier: nothing of the template's name is left.
(cd "$work" && "$new" OtherGain --id Og42 >/dev/null) || failed "new-plugin OtherGain failed"
left=$(grep -rl StarterGain "$work/OtherGain"; find "$work/OtherGain" -name '*StarterGain*')
[[ -z $left ]] || failed "the template's name is left in: $left"
grep -q '^set(PLUGIN_ID "Og42")' "$work/OtherGain/CMakeLists.txt" || failed "--id Og42 is not the identifier"
for file in OtherGainEffect.cpp OtherGainEditor.h OtherGainEntry.cpp resources/OtherGain.rc; do
    [[ -f $work/OtherGain/$file ]] || failed "OtherGain has no $file"
done
for picture in editor.png resources/face.bmp; do
    cmp -s "$root/examples/template/$picture" "$work/OtherGain/$picture" || failed "$picture was not copied as it is"
done

made=$("$new" TestGain "$work/TestGain" --vendor 'Acme Audio (Test)' 2>&1) || failed "new-plugin TestGain: $made"
id=$(sed -n "s/.*identifier '\(....\)'.*/\1/p" <<<"$made")
[[ -n $id ]] || failed "new-plugin did not name the identifier it derived: $made"

echo "-- built as a project of its own"
plugin=$work/TestGain/build
if ! { cmake --no-warn-unused-cli -S "$work/TestGain" -B "$plugin" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" && cmake --build "$plugin" -j2; } >"$work/build.log" 2>&1; then
    tail -n 30 "$work/build.log"
    failed "the new plug-in does not build"
    exit 1
fi
dll=$plugin/bin/TESTGAIN.dll
exports=$(i686-w64-mingw32-objdump -p "$dll")
grep -qE '^Name[[:space:]]+[0-9a-f]+ TESTGAIN\.dll$' <<<"$exports" || failed "the export directory does not name TESTGAIN.dll"
[[ $(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$exports" | grep -cE '^\s+\[') == 1 ]] &&
    grep -qE '^\s+\[ *0\] main$' <<<"$exports" || failed "the DLL does not export exactly main"
[[ -z $(find "$plugin" -name 'ReverseEffect*.obj' -o -name 'GalleryEffect*.obj') ]] ||
    failed "Backtwister's own effects were compiled into the new plug-in's build"

echo "-- info"
if timeout 60 "$host" info "$dll" --json >"$work/info.json" 2>"$work/stderr"; then
    python3 - "$work/info.json" "$id" <<'EOF' || failed "info --json: see above"
import json, sys
info, id = json.load(open(sys.argv[1])), sys.argv[2]
want = {'name': 'TestGain', 'vendor': 'Acme Audio (Test)', 'product': 'Acme Audio (Test) TestGain',
        'vendor_version': 100, 'category': 1, 'unique_id': id, 'inputs': 2, 'outputs': 2, 'programs': 1,
        'tail_size': 1}
errors = [f'{key} is {info.get(key)!r}, wanted {value!r}' for key, value in want.items() if info.get(key) != value]
if 'effFlagsHasEditor' not in info['flag_names']:
    errors.append('no editor flag')
gain = info['parameters']
if [(p['name'], p['label'], p['display'], p['value']) for p in gain] != [('Gain', 'dB', '0.000000', 0.5)]:
    errors.append(f'parameters: {gain}')
for e in errors:
    print('FAIL: info:', e)
sys.exit(1 if errors else 0)
EOF
else
    failed "info: $(cat "$work/stderr")"
fi

echo "-- render at -12 dB"
python3 "$root/tools/tests/write-signal.py" "$work/signal.f32" 22050 4321
sox -t f32 -r 44100 -c 2 "$work/signal.f32" -e floating-point -b 32 "$work/signal.wav"
if timeout 120 "$host" render "$work/signal.wav" "$work/quieter.wav" --dll "$dll" --block 100 0=0.25 2>"$work/stderr" &&
    sox "$work/quieter.wav" -t f32 "$work/quieter.f32"; then
    python3 - "$work/signal.f32" "$work/quieter.f32" <<'EOF' || failed "render: see above"
import array, sys
def load(path):
    samples = array.array('f')
    samples.frombytes(open(path, 'rb').read())
    return samples
x, y = load(sys.argv[1]), load(sys.argv[2])
if len(x) != len(y):
    print(f'FAIL: render: {len(y) // 2} frames out of {len(x) // 2}')
    sys.exit(1)
# 0.25 is -12 dB; the effect ramps from unity to it over its first 64 frames.
gain, ramp = 10 ** (-12 / 20), 64
for i in range(len(x)):
    frame = i // 2
    want = x[i] * (1 + (gain - 1) * (frame + 1) / ramp if frame < ramp else gain)
    if abs(y[i] - want) > 1e-5 * abs(x[i]):
        print(f'FAIL: render: frame {frame} is {y[i]}, wanted {want} ({x[i]} at that gain)')
        sys.exit(1)
EOF
else
    failed "render: $(cat "$work/stderr")"
fi

echo "-- validate"
timeout 300 "$host" validate "$dll" --junit "$work/validator-report.xml" >"$work/validate.log" 2>&1 ||
    failed "validate: $(grep -E '^\[ FAIL|passed' "$work/validate.log")"
grep -E '^[0-9]+ passed, 0 failed$' "$work/validate.log" || failed "validate printed no summary"

echo "-- editor"
if timeout 120 "$host" editor "$dll" --seconds 1 --shot "$work/editor.png" 2>"$work/stderr"; then
    size=$(identify -format '%wx%h' "$work/editor.png")
    [[ $size == 220x150 ]] || failed "the editor is $size, wanted the face's 220x150"
    # At unity the knob's cream pointer stands straight up from its centre at (109, 50).
    pointer=$(convert "$work/editor.png" -format '%[pixel:p{110,40}]' info:)
    [[ $pointer == "srgb(236,226,196)" ]] || failed "no pointer straight up on the knob: $pointer at (110, 40)"
    colours=$(convert "$work/editor.png" -crop 148x22+36+105 +repage -format '%k' info:)
    ((colours > 8)) || failed "the display shows only $colours colours: no text"
else
    failed "editor: $(head -c 300 "$work/stderr")"
fi
wineserver -k 2>/dev/null

((failures == 0)) && echo "new plug-in: all checks passed"
exit $((failures > 0))
