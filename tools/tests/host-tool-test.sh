#!/usr/bin/env bash
# End-to-end checks of the host tool under Wine, through the tools/backtwister-host wrapper:
# bad input is refused in one line (a full disk included), info reports the plug-in's identity
# as text and as JSON, validate's JUnit report parses, renders match a model of the effect
# frame by frame and show progress only on a terminal.
# usage: host-tool-test.sh HOST.exe BACKTWISTER.dll NoMain.dll NullMain.dll CrashingMain.dll
#                          HostileText.dll
set -uo pipefail

exe=$1 dll=$2 no_main=$3 null_main=$4 crashing_main=$5 hostile_text=$6
tools=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
host=$tools/backtwister-host
BACKTWISTER_BUILD=$(dirname "$(dirname "$exe")")
export BACKTWISTER_BUILD WINEDEBUG=-all WINEPREFIX=${WINEPREFIX:-$BACKTWISTER_BUILD/wineprefix}

# A full disk is a small tmpfs, mounted in a mount namespace of this test's own (as root), so
# that nothing outlives it. Wine's server opens the files, so it must start in there too: the
# one still running for the prefix is let go first.
if [[ -z ${HOST_TOOL_TEST_NAMESPACE-} ]] && ((EUID == 0)) && unshare -m --propagation private true 2>/dev/null; then
    wineserver -w 2>/dev/null
    HOST_TOOL_TEST_NAMESPACE=1 exec unshare -m --propagation private bash "$0" "$@"
fi

work=$(mktemp -d)
trap 'umount "$work/full" 2>/dev/null; rm -rf "$work"' EXIT
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

# A noise-like test signal, different on each channel, that survives sox's conversions (sox
# carries samples as 32-bit integers) bit for bit.
python3 "$tools/tests/write-signal.py" "$work/signal.f32" 110250 12345
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
expect_refusal 1 "cannot open the input file: .*/missing\.f32 \(No such file or directory\)" \
    wine "$exe" render "$work/missing.f32" "$work/o.f32" --dll "$dll"
expect_refusal 1 "cannot create the output file: .*/no/o\.f32 \(No such file or directory\)" \
    wine "$exe" render "$work/signal.f32" "$work/no/o.f32" --dll "$dll"
mkdir "$work/folder.f32"
expect_refusal 1 "cannot create the output file: .*/folder\.f32 \(.*\)" \
    wine "$exe" render "$work/signal.f32" "$work/folder.f32" --dll "$dll"
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
    [[ ! -s $work/stderr ]] || failed "render $*: wrote to stderr, which is no terminal: $(head -c 200 "$work/stderr")"
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

# --- help and version ---
version=$(sed -n 's/^project(Backtwister VERSION \([0-9.]*\).*/\1/p' "$tools/../CMakeLists.txt")
[[ $("$host" --version) == "backtwister-host $version (32-bit)" ]] || failed "--version: $("$host" --version 2>&1)"
for command in info render editor validate; do
    case $command in
    info) options="--json --rate --block --tempo" ;;
    render) options="--dll --block --rate --tempo --tail --quiet" ;;
    editor) options="--seconds --shot" ;;
    validate) options="--junit --seed --fuzz-calls --editor-cycles --check" ;;
    esac
    for way in "$host $command --help" "$host help $command" "wine $exe $command --help"; do
        $way >"$work/help" 2>&1 || failed "$way: exit status $?"
        head -n 1 "$work/help" | grep -q "^usage: backtwister-host $command " || failed "$way: no usage line"
        for option in $options; do
            grep -q -- "^ *$option\b" "$work/help" || failed "$way does not explain $option"
        done
    done
done
expect_refusal 2 "no such command: \"play\" \(try --help\)" "$host" help play

# --- info --json: the facts of info, read back with a JSON parser ---
timeout 60 "$host" info "$dll" --json >"$work/info.json" 2>"$work/stderr" || failed "info --json: $(cat "$work/stderr")"
timeout 60 "$host" info "$hostile_text" --json >"$work/hostile.json" 2>"$work/stderr" ||
    failed "info --json on the fixture: $(cat "$work/stderr")"
timeout 60 "$host" info "$hostile_text" >"$work/hostile.info" 2>"$work/stderr"
python3 - "$work" <<'EOF' || failures=$((failures + 1))
import json, re, sys
work = sys.argv[1]
errors = []

def compare(text_name, json_name):
    """Every fact of the text report has the same value in the JSON object."""
    facts = json.load(open(f'{work}/{json_name}', encoding='utf-8'))
    lines = open(f'{work}/{text_name}', encoding='cp1252').read().splitlines()
    fields = {m[1]: m[2] for m in (re.match(r'^([a-z ]+): +(.*)$', line) for line in lines) if m}
    want = {
        'file': facts['file'], 'name': facts['name'], 'vendor': facts['vendor'], 'product': facts['product'],
        'vendor version': str(facts['vendor_version']),
        'category': f"{facts['category']} ({facts['category_name']})",
        'unique id': f"{facts['unique_id']} (0x{facts['unique_id_value']:08x})",
        'vst version': str(facts['vst_version']), 'version': str(facts['version']),
        'inputs': str(facts['inputs']), 'outputs': str(facts['outputs']),
        'flags': f"0x{facts['flags']:x} ({' '.join(facts['flag_names'])})",
        'initial delay': str(facts['initial_delay']), 'tail size': str(facts['tail_size']),
        'programs': str(facts['programs']), 'program': f"{facts['program']} \"{facts['program_name']}\"",
        'parameters': str(len(facts['parameters'])),
    }
    for name, value in want.items():
        if fields.get(name) != value:
            errors.append(f'{json_name}: {name} is {value!r} in JSON, {fields.get(name)!r} in the text')
    parameters = [m.groups() for m in (re.match(r'^  \d+: name "(.*?)" +display "(.*?)" +label "(.*?)" +value (\S+)$',
                                                line) for line in lines) if m]
    got = [(p['name'], p['display'], p['label'], p['value']) for p in facts['parameters']]
    if [(n, d, l, float(v)) for n, d, l, v in parameters] != got:
        errors.append(f'{json_name}: parameters {got} in JSON, {parameters} in the text')
    answers = {m[1]: int(m[2]) for m in (re.match(r'^  (\S+) +(-?\d+) \(', line) for line in lines) if m}
    if answers != facts['can_do'] or len(answers) != 26:
        errors.append(f'{json_name}: can_do {facts["can_do"]} in JSON, {answers} in the text')
    pins = [(m[1], int(m[2]), m[3], bool(m[4]), bool(m[5]))
            for m in (re.match(r'^(input|output) (\d+): +"(.*)"( active)?( stereo)?$', line) for line in lines) if m]
    if pins != [(p['side'], p['index'], p['label'], p['active'], p['stereo']) for p in facts['pins']]:
        errors.append(f'{json_name}: pins differ from the text')
    return facts

try:
    real = compare('info', 'info.json')
    if (real['name'], real['unique_id'], real['vendor_version']) != ('Backtwister', 'Bkt1', 110):
        errors.append(f'info.json: identity {real["name"]!r} {real["unique_id"]!r} {real["vendor_version"]}')
    hostile = compare('hostile.info', 'hostile.json')
    # Windows-1252 texts, escaped: quotes, a backslash, a character beyond ASCII, a control character.
    if hostile['name'] != 'Quote" <Tag> & \'Apos\' \\ \u00e9' or hostile['vendor'] != ']]> <!-- & -->':
        errors.append(f'hostile.json: name {hostile["name"]!r}, vendor {hostile["vendor"]!r}')
    if hostile['parameters'][0]['name'] != 'Ctl\x01' or hostile['unique_id'] != 'Hx<&':
        errors.append(f'hostile.json: parameter {hostile["parameters"][0]!r}, id {hostile["unique_id"]!r}')
except (ValueError, KeyError, IndexError, TypeError) as problem:
    errors.append(f'info --json does not parse as the facts of info: {problem!r}')
for error in errors:
    print('FAIL:', error)
sys.exit(1 if errors else 0)
EOF

# --- validate --junit: one test case per check, read back with an XML parser ---
junit() { # junit WANT-STATUS NAME ARGS...: validate with a report in $work/NAME.xml
    local want=$1 report=$work/$2.xml
    shift 2
    timeout 120 "$host" validate "$@" --junit "$report" >"$work/validate.out" 2>"$work/stderr"
    local status=$?
    ((status == want)) || failed "validate $* --junit: exit status $status, wanted $want: $(head -c 300 "$work/stderr")"
}
junit 0 real "$dll" --check "version resource"
junit 1 hostile "$hostile_text" --check texts
junit 3 crash "$crashing_main"
python3 - "$work" <<'EOF' || failures=$((failures + 1))
import sys
import xml.etree.ElementTree as ElementTree
work = sys.argv[1]
errors = []

def cases(name, tests, failures, errors_wanted):
    root = ElementTree.parse(f'{work}/{name}.xml').getroot()
    suite = root.find('testsuite')
    counts = tuple(int(suite.get(key)) for key in ('tests', 'failures', 'errors'))
    if root.tag != 'testsuites' or counts != (tests, failures, errors_wanted):
        errors.append(f'{name}.xml: {root.tag} with tests, failures, errors {counts}, '
                      f'wanted {(tests, failures, errors_wanted)}')
    found = {case.get('name'): case for case in suite.iter('testcase')}
    for case in found.values():
        if float(case.get('time')) < 0 or not case.get('classname', '').startswith('validate.'):
            errors.append(f'{name}.xml: test case {case.get("name")!r} lacks its time or class')
    return found

try:
    real = cases('real', 1, 0, 0)
    out = real['version resource'].find('system-out').text
    if 'Kelpworks Backtwister' not in out or real['version resource'].find('failure') is not None:
        errors.append(f'real.xml: the version resource check should pass and say what it read: {out!r}')
    hostile = cases('hostile', 2, 1, 0)
    failure = hostile['parameter values and texts'].find('failure')
    if failure is None or 'unprintable character' not in failure.get('message'):
        errors.append('hostile.xml: the parameter check should fail with its message')
    identity = hostile['identity texts'].find('system-out').text
    if 'Quote" <Tag> & \'Apos\' \\ \u00e9' not in identity or ']]> <!-- & -->' not in identity:
        errors.append(f'hostile.xml: the identity texts came back as {identity!r}')
    crash = cases('crash', 1, 0, 1)
    if crash['main and record'].find('error') is None:
        errors.append('crash.xml: the check the plug-in crashed in should stand as an error')
except (ElementTree.ParseError, OSError, KeyError, AttributeError, TypeError) as problem:
    errors.append(f'a JUnit report does not parse: {problem!r}')
for error in errors:
    print('FAIL:', error)
sys.exit(1 if errors else 0)
EOF
expect_refusal 1 "cannot create the report file: .*/no/report\.xml \(No such file or directory\)" \
    "$host" validate "$dll" --check "version resource" --junit "$work/no/report.xml"

# --- progress: on a terminal (stderr a pseudo-terminal) a line with the time left ---
# on_terminal FILE ARGS...: runs the wrapper with stderr on a pseudo-terminal; FILE gets each
# state of the terminal's line as it was drawn over (at every carriage return or line end).
on_terminal() {
    local file=$1
    shift
    python3 - "$file" "$host" "$@" <<'EOF'
import os, pty, re, subprocess, sys
controller, terminal = pty.openpty()
process = subprocess.Popen(sys.argv[2:], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=terminal)
os.close(terminal)
shown = b''
while True:
    try:
        data = os.read(controller, 65536)
    except OSError:  # the terminal is gone with the last program on it
        break
    if not data:
        break
    shown += data
# Wine's console draws in place with escape sequences: cursor right (CSI n C) and erase to the
# end of the line (CSI K) matter for the text, the others (the cursor shown or hidden) do not.
line, column, states = [], 0, []
for token in re.findall(rb'\x1b\[[0-9;?]*[A-Za-z]|[\s\S]', shown):
    if token.startswith(b'\x1b['):
        if token.endswith(b'C'):
            column += int(token[2:-1] or 1)
        elif token.endswith(b'K'):
            del line[column:]
    elif token in b'\r\n':
        states.append(''.join(line).rstrip())
        column = 0
        if token == b'\n':
            line = []
    else:
        line += [' '] * (column + 1 - len(line))
        line[column] = token.decode('latin-1')
        column += 1
states.append(''.join(line).rstrip())
open(sys.argv[1], 'w').write('\n'.join(state for state in states if state) + ('\n' if shown else ''))
sys.exit(process.wait())
EOF
}
on_terminal "$work/terminal.text" render "$work/signal.wav" "$work/progress.wav" --tail 60 ||
    failed "render on a terminal failed: $(head -c 300 "$work/terminal.text")"
grep -qE 'render +[0-9]+% \[[=> ]{24}\] ([0-9]+:[0-9]{2}|--:--) left' "$work/terminal.text" ||
    failed "render on a terminal showed no progress with the time left: $(head -c 300 "$work/terminal.text")"
grep -qE 'render 100% \[={24}\] done in [0-9.]+ s' "$work/terminal.text" ||
    failed "render on a terminal did not end its progress line: $(tail -c 300 "$work/terminal.text")"
on_terminal "$work/terminal.text" render "$work/signal.wav" "$work/quiet.wav" --quiet ||
    failed "render --quiet on a terminal failed"
[[ ! -s $work/terminal.text ]] || failed "render --quiet showed on the terminal: $(head -c 200 "$work/terminal.text")"

# --- a full disk: one line, a non-zero exit, and no partial file left behind ---
mkdir "$work/full"
if [[ -n ${HOST_TOOL_TEST_NAMESPACE-} ]] && mount -t tmpfs -o size=256k tmpfs "$work/full"; then
    full=$work/full
    expect_refusal 1 "cannot write the output file: .*/full/out\.f32 \(No space left on device\)" \
        wine "$exe" render "$work/signal.f32" "$full/out.f32" --dll "$dll"
    expect_refusal 1 "cannot write .*/full/out\.wav: .*" "$host" render "$work/signal.wav" "$full/out.wav"
    head -c 262144 /dev/zero >"$full/filler" 2>/dev/null
    expect_refusal 1 "cannot write the report file: .*/full/report\.xml \(No space left on device\)" \
        "$host" validate "$dll" --check "version resource" --junit "$full/report.xml"
    expect_refusal 1 "cannot write the standard output \(No space left on device\)" \
        sh -c '"$1" info "$2" --json >"$3"' - "$host" "$dll" "$full/info.json"
    if [[ -n ${DISPLAY-} ]]; then
        expect_refusal 1 "cannot write the picture: .*/full/shot\.bmp \(No space left on device\)" \
            wine "$exe" editor "$dll" --seconds 0.2 --shot "$full/shot.bmp"
    fi
    rm -f "$full/filler" "$full/info.json"
    [[ -z $(ls -A "$full") ]] || failed "a write to a full disk left files behind: $(ls -A "$full")"
    umount "$full"
else
    echo "SKIP: no small file system could be mounted for the full-disk checks"
fi

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

wineserver -w  # the prefix's server, started in this namespace, ends with it
if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "host tool: all checks passed"
