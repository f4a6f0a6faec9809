#!/usr/bin/env bash
# End-to-end checks of the host tool under Wine, through the tools/backtwister-host wrapper:
# bad input is refused in one line, info reports the plug-in's identity, and renders match a
# model of the effect frame by frame.
# usage: host-tool-test.sh HOST.exe BACKTWISTER.dll NoMain.dll NullMain.dll CrashingMain.dll
set -uo pipefail

exe=$1 dll=$2 no_main=$3 null_main=$4 crashing_main=$5
tools=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
host=$tools/backtwister-host
BACKTWISTER_BUILD=$(dirname "$(dirname "$exe")")
export BACKTWISTER_BUILD WINEDEBUG=-all WINEPREFIX=${WINEPREFIX:-$BACKTWISTER_BUILD/wineprefix}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

failed() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# expect_refusal STATUS MESSAGE-REGEX COMMAND...: the command ends with STATUS and writes
# exactly one line to stderr, matching "backtwister-host: MESSAGE-REGEX".
expect_refusal() {
    local want=$1 pattern=$2
    shift 2
    timeout 60 "$@" >"$work/stdout" 2>"$work/stderr"
    local status=$? what="${*#"$host "}"
    if ((status != want)); then
        failed "$what: exit status $status, wanted $want; stderr: $(head -c 300 "$work/stderr")"
    elif [[ $(wc -l <"$work/stderr") -ne 1 ]]; then
        failed "$what: wanted one line on stderr, got: $(head -c 300 "$work/stderr")"
    elif ! grep -qE "^backtwister-host: $pattern\$" "$work/stderr"; then
        failed "$what: message \"$(cat "$work/stderr")\" does not match \"$pattern\""
    fi
}

# A noise-like test signal, different on each channel, whose samples are multiples of 2^-16
# between 0.05 and 0.95 in size: sox carries samples as 32-bit integers, and these survive
# its conversions bit for bit.
python3 - "$work/signal.f32" 110250 <<'EOF'
import array, sys
frames = int(sys.argv[2])
state, samples = 12345, array.array('f')
for _ in range(2 * frames):
    state = (state * 1103515245 + 12345) % 2**31
    size = 3277 + state % 58982
    samples.append((size if state & 0x10000 else -size) / 65536.0)
samples.tofile(open(sys.argv[1], 'wb'))
EOF
sox -t f32 -r 44100 -c 2 "$work/signal.f32" -e floating-point -b 32 "$work/signal.wav"
sox "$work/signal.wav" -c 1 "$work/mono.wav" trim 0 4410s
echo "not audio" >"$work/text.wav"

# --- refusals: a clear message, a non-zero status, no crash and no Wine backtrace ---
expect_refusal 1 "no such file: .*/missing\.dll" "$host" info "$work/missing.dll"
expect_refusal 1 "cannot load .*/text\.wav as a 32-bit Windows DLL \(.*\)" "$host" info "$work/text.wav"
expect_refusal 1 "not a VST 2\.x plug-in, it exports no function \"main\": .*NoMainFixture\.dll" \
    "$host" info "$no_main"
expect_refusal 1 "the plug-in's main answered null \(no effect created\): .*NullMainFixture\.dll" \
    "$host" info "$null_main"
expect_refusal 3 "crashed with exception 0xc0000005 in CrashingMainFixture\.dll" "$host" info "$crashing_main"
expect_refusal 1 "not a VST 2\.x plug-in.*" "$host" render "$work/signal.wav" "$work/x.wav" --dll "$no_main"
expect_refusal 2 "unknown command \"play\" \(try --help\)" "$host" play
expect_refusal 2 "unknown option --speed" "$host" info "$dll" --speed 2

out=$work/refused.wav
expect_refusal 1 "no such input file: .*/missing\.wav" "$host" render "$work/missing.wav" "$out"
expect_refusal 1 "cannot read audio file: .*/text\.wav" "$host" render "$work/text.wav" "$out"
expect_refusal 1 "cannot read audio file .*/text\.wav: .*" "$host" render "$work/text.wav" "$out" --rate 44100
expect_refusal 1 "cannot write \.xyz files: .*" "$host" render "$work/signal.wav" "$work/out.xyz"
expect_refusal 2 "the output file needs an extension .*" "$host" render "$work/signal.wav" "$work/out"
expect_refusal 1 "no such folder for the output file: .*" "$host" render "$work/signal.wav" "$work/no/out.wav"
expect_refusal 2 "render needs an input and an output file \(try --help\)" "$host" render "$work/signal.wav"
expect_refusal 1 "parameter index 3 is out of range: the effect has 3 parameters" \
    "$host" render "$work/signal.wav" "$out" 0=1 3=0.5
for setting in x=1 0 =1 0:1 -1=0.5 1.5=0; do
    expect_refusal 2 "parameter setting \"$setting\" is not INDEX=VALUE \(for example 0=1\)" \
        "$host" render "$work/signal.wav" "$out" "$setting"
done
for setting in 0=1.5 0=-0.1 0=abc 0= 0=nan 0=inf; do
    expect_refusal 2 "parameter value in \"$setting\" must be a number from 0 to 1" \
        "$host" render "$work/signal.wav" "$out" "$setting"
done
for block in 0 -5 1.5 abc 2000000; do
    expect_refusal 2 "--block wants a whole number from 1 to 1048576, not \"$block\"" \
        "$host" render "$work/signal.wav" "$out" --block "$block"
done
expect_refusal 2 "--tail wants a number from 0 to 3600, not \"-1\"" "$host" render "$work/signal.wav" "$out" --tail -1
expect_refusal 2 "--tempo wants a number from 1 to 1000, not \"0\"" "$host" render "$work/signal.wav" "$out" --tempo 0
expect_refusal 2 "--rate wants a whole number of hertz, not \"fast\"" "$host" render "$work/signal.wav" "$out" --rate fast
expect_refusal 2 "option --block needs a value" "$host" render "$work/signal.wav" "$out" --block
[[ -e $out ]] && failed "a refused render left its output file behind"
# The program itself, without the wrapper's checks in front of it.
expect_refusal 1 "cannot open the input file: .*/missing\.f32" wine "$exe" render "$work/missing.f32" "$work/o.f32" --dll "$dll"
head -c 12 "$work/signal.f32" >"$work/partial.f32"
expect_refusal 1 "the input is not raw 32-bit float stereo: it ends inside a frame" \
    wine "$exe" render "$work/partial.f32" "$work/o.f32" --dll "$dll"
[[ -e $work/o.f32 ]] && failed "a failed render left its raw output file behind"

"$host" >/dev/null 2>"$work/stderr"
status=$?
if ((status != 2)) || ! grep -q "^usage:" "$work/stderr"; then
    failed "no arguments: wanted usage on stderr and status 2, got status $status"
fi
"$host" --help | grep -q "^usage:" || failed "--help: wanted usage"

# --- info on the real plug-in ---
if ! timeout 60 "$host" info "$dll" >"$work/info" 2>"$work/stderr"; then
    failed "info on the plug-in failed: $(cat "$work/stderr")"
fi
for line in '^name: +Backtwister$' '^vendor: +Kelpworks$' '^product: +Kelpworks Backtwister$' \
    '^vendor version: +110$' '^category: +1 \(effect\)$' '^unique id: +Bkt1 \(0x426b7431\)$' \
    '^inputs: +2$' '^outputs: +2$' '^flags: +0x1[89] \(.*effFlagsCanMono effFlagsCanReplacing\)$' \
    '^programs: +1$' '^program: +0 "Backtwister"$' '^parameters: +3$' \
    '^  0: name " On/Off " +display "on" +label " " +value 1$' \
    '^  1: name "BuffSize" +display "[0-9.]+" +label " " +value 1$' \
    '^  2: name "Note/ms " +display "off" +label " " +value 0$' \
    '^input 1: +"Backtwister Right Input 1" active stereo$' \
    '^  receiveVstMidiEvent +1 \(yes\)$' '^  receiveVstTimeInfo +-1 \(no\)$' '^  bypass +-1 \(no\)$'; do
    grep -qE "$line" "$work/info" || failed "info: no line matching $line"
done
[[ $(grep -c '^  [^ ]* *-\?[0-9] (' "$work/info") -eq 26 ]] || failed "info: wanted 26 capability answers"

# --- renders ---
render() { # OUT ARGS...: renders signal.wav and converts the result to raw f32 for the checks
    local out=$1
    shift
    timeout 120 "$host" render "$work/signal.wav" "$work/$out.wav" "$@" 2>"$work/stderr" ||
        failed "render $*: $(cat "$work/stderr")"
    sox "$work/$out.wav" -t f32 "$work/$out.f32" 2>/dev/null || failed "render $*: no readable output"
}
render default
render block1 --block 1
render block1000 --block 1000 --tempo 90
render tail --block 512 --tail 0.5
render dry 0=0
cmp -s "$work/default.f32" "$work/block1.f32" || failed "--block 1 output differs from --block 1024"
cmp -s "$work/default.f32" "$work/block1000.f32" || failed "--block 1000 output differs from --block 1024"
timeout 60 "$host" render "$work/mono.wav" "$work/mono-out.flac" 0=0 2>"$work/stderr" ||
    failed "mono render: $(cat "$work/stderr")"
[[ $(soxi -c "$work/mono-out.flac" 2>/dev/null) == 2 && $(soxi -s "$work/mono-out.flac" 2>/dev/null) == 4410 ]] ||
    failed "a mono input should come out as stereo .flac of the same length"

python3 - "$work" <<'EOF' || failures=$((failures + 1))
import array, math, os, sys
work = sys.argv[1]
def load(name):
    samples = array.array('f')
    samples.frombytes(open(os.path.join(work, name), 'rb').read())
    return samples[0::2], samples[1::2]

# The effect's reverse buffer: a write position moving forward, two read positions half the
# buffer apart moving backward, a raised-cosine crossfade between them.
N = 88200
window = [(math.cos(i / N * 12.566370614359172) + 1) * 0.5 for i in range(N)]
def reversed_chunks(x):
    store, write, a, b, out = [0.0] * N, N // 2, N // 2, 0, []
    for sample in x:
        store[write] = sample
        write = (write + 1) % N
        out.append(window[b] * store[b] + (1.0 - window[a]) * store[a])
        a, b = (a - 1) % N, (b - 1) % N
    return out

errors = []
left, right = load('signal.f32')
tail = 22050
for name, extra in (('default', 0), ('tail', tail)):
    got = load(name + '.f32')
    for channel, x, y in (('left', left, got[0]), ('right', right, got[1])):
        if len(y) != len(x) + extra:
            errors.append(f'{name}: {len(y)} frames, wanted {len(x) + extra}')
            continue
        want = reversed_chunks(list(x) + [0.0] * extra)
        worst = max(range(len(y)), key=lambda i: abs(y[i] - want[i]))
        if abs(y[worst] - want[worst]) > 1e-5:
            errors.append(f'{name} {channel}: frame {worst} is {y[worst]}, the reversed chunks give {want[worst]}')

# Plainly reversed: around the middle of read position A's second period (frame 66150, where
# the other position is faded out) the output replays the input mirrored about frame 44100.
got = load('default.f32')
for t in range(66150 - 200, 66150 + 200):
    if abs(got[0][t] - left[88200 - t]) > 1e-3:
        errors.append(f'frame {t} should replay input frame {88200 - t}: {got[0][t]} != {left[88200 - t]}')
        break

# 0=0 switches to dry through a 201-frame crossfade that starts from the (silent) reversed
# output; from frame 201 on the output is the input bit for bit.
dry = load('dry.f32')
if dry[0][0] != 0.0 or any(abs(dry[0][i]) > abs(left[i]) for i in range(201)):
    errors.append('dry: the first 201 frames should fade in from silence')
if dry[0][201:] != left[201:] or dry[1][201:] != right[201:]:
    errors.append('dry: from frame 201 on the output should be the input bit for bit')
for error in errors:
    print('FAIL:', error)
sys.exit(1 if errors else 0)
EOF

# --- editor: opened as a host opens it, and its picture taken ---
expect_refusal 1 "not a VST 2\.x plug-in.*" "$host" editor "$no_main" --seconds 1
if timeout 120 "$host" editor "$dll" --seconds 1 --shot "$work/editor.png" 2>"$work/stderr"; then
    size=$(identify -format '%wx%h' "$work/editor.png" 2>/dev/null)
    [[ $size == 320x240 ]] || failed "editor: the picture is $size, wanted 320x240"
    # A face, not an empty window: many colours, and the name plate lighter than the pedal.
    colours=$(identify -format '%k' "$work/editor.png" 2>/dev/null)
    ((colours > 1000)) || failed "editor: the picture has only $colours colours"
else
    failed "editor: $(head -c 300 "$work/stderr")"
fi

if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "host tool: all checks passed"
