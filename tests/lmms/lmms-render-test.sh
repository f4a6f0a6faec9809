#!/usr/bin/env bash
# LMMS, a third-party host, renders tests/lmms/backtwister-render.mmp with BACKTWISTER.dll on
# two tracks' effect chains, without a screen. The rendered audio must be what the project's
# own host tool renders from the same input: the left channel reversed in chunks, the right
# one dry after the 201-frame crossfade that the project's " On/Off " = 0 starts, which shows
# that the parameter set in the project file reached the plug-in.
# usage: lmms-render-test.sh BACKTWISTER.dll backtwister-host.exe   (32-bit builds)
set -uo pipefail

dll=$(realpath "$1") host_exe=$(realpath "$2")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(dirname "$(dirname "$host_exe")")
tolerance=1e-6
rate=44100

fail() {
    echo "FAIL: $*"
    exit 1
}

command -v lmms >/dev/null || fail "lmms is not installed (tools/install-deps.sh installs lmms:i386)"
[[ -x /usr/lib/i386-linux-gnu/lmms/RemoteVstPlugin ]] ||
    fail "LMMS without its VST server: the amd64 build renders dry audio; install lmms:i386 lmms-vst-server:i386"

work=$(mktemp -d)
export WINEDEBUG=-all WINEPREFIX=$build/lmms-wineprefix
cleanup() {
    wineserver -k 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# Noise whose samples are multiples of 2^-16 (exact in every format on the way), 4 s on one
# channel of each file, then 2.5 s of silence so the last reversed second comes out too.
python3 - "$work" "$rate" <<'PY'
import array, os, sys
work, rate = sys.argv[1], int(sys.argv[2])
signal, total = 4 * rate, int(6.5 * rate)
state = 12345
def sample():
    global state
    state = (state * 1103515245 + 12345) % 2**31
    size = 3277 + state % 58982
    return (size if state & 0x10000 else -size) / 65536.0
left, right, both = array.array('f'), array.array('f'), array.array('f')
for i in range(total):
    l = sample() if i < signal else 0.0
    r = sample() if i < signal else 0.0
    left.extend((l, 0.0)); right.extend((0.0, r)); both.extend((l, r))
for name, data in (('left', left), ('right', right), ('both', both)):
    data.tofile(open(os.path.join(work, name + '.f32'), 'wb'))
PY
for name in left right; do
    sox -t f32 -r $rate -c 2 "$work/$name.f32" -e floating-point -b 32 "$work/$name.wav" || fail "sox cannot write $name.wav"
done
frames=$(($(stat -c %s "$work/both.f32") / 8))
ticks=$(((frames * 96 + rate - 1) / rate))  # 96 ticks a second at 120 beats per minute

mkdir -p "$work/home"
sed "s#@HOME@#$work/home#g" "$here/lmmsrc.xml" >"$work/home/.lmmsrc.xml"  # LMMS rewrites it: a clean one each run
sed -e "s#@DLL@#$dll#g" -e "s#@LEFT@#$work/left.wav#" -e "s#@RIGHT@#$work/right.wav#" -e "s#@TICKS@#$ticks#g" \
    "$here/backtwister-render.mmp" >"$work/project.mmp"

# A plug-in that cannot be loaded or crashes still gives a render and exit status 0; a crash
# can also leave LMMS waiting for its VST server, hence the time limit.
HOME=$work/home timeout 180 xvfb-run -a -s "-screen 0 1024x768x24" \
    lmms --allowroot render "$work/project.mmp" -o "$work/lmms.wav" -a -x 1 >"$work/lmms.log" 2>&1
status=$?
if grep -qiE "could not be loaded|page fault|unhandled exception" "$work/lmms.log" || ((status != 0)); then
    cat "$work/lmms.log"
    fail "LMMS did not run the plug-in (exit status $status)"
fi
[[ $(grep -c "unique ID: Bkt1" "$work/lmms.log") -eq 2 ]] || fail "LMMS did not report both Backtwister effects"
sox "$work/lmms.wav" -t f32 -r $rate -c 2 "$work/lmms.f32" 2>/dev/null || fail "LMMS wrote no readable audio"

# The host tool renders the same stereo input: once switched on, once off, as the tracks are.
for setting in on:1 off:0; do
    timeout 120 wine "$host_exe" render "$work/both.f32" "$work/ref-${setting%:*}.f32" --dll "$dll" \
        --rate $rate "0=${setting#*:}" || fail "the host tool failed to render"
done

python3 - "$work" "$tolerance" <<'PY'
import array, os, sys
work, tolerance = sys.argv[1], float(sys.argv[2])
def load(name):
    samples = array.array('f')
    samples.frombytes(open(os.path.join(work, name), 'rb').read())
    return samples[0::2], samples[1::2]
lmms, on, off, source = load('lmms.f32'), load('ref-on.f32'), load('ref-off.f32'), load('both.f32')
n = len(source[0])
errors = []
if len(lmms[0]) < n:
    errors.append(f'LMMS rendered {len(lmms[0])} frames, fewer than the {n} of the input')
n = min(n, len(lmms[0]))
worst = {}
for name, got, want in (('left (reversed)', lmms[0], on[0]), ('right (dry)', lmms[1], off[1])):
    i = max(range(n), key=lambda i: abs(got[i] - want[i]))
    worst[name] = abs(got[i] - want[i])
    if worst[name] > tolerance:
        errors.append(f'{name}: frame {i} is {got[i]}, the host tool gives {want[i]}')
# Not merely equal to each other: reversed on the left, the input itself on the right after
# the crossfade, which starts from the silent reversed signal of a new effect.
if max(abs(lmms[0][i] - source[0][i]) for i in range(n)) < 0.1:
    errors.append('the left channel is the dry input: the effect did not reverse it')
if lmms[1][0] != 0.0 or any(lmms[1][i] != source[1][i] for i in range(201, n)):
    errors.append('the right channel is not the crossfade to dry that " On/Off " = 0 starts')
for error in errors:
    print('FAIL:', error)
print(f'LMMS render: {n} frames compared with the host tool, largest difference '
      f'{worst["left (reversed)"]:g} left (reversed), {worst["right (dry)"]:g} right (dry); tolerance {tolerance:g}')
sys.exit(1 if errors else 0)
PY
