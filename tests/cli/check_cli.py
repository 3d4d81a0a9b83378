#!/usr/bin/env python3
"""Runs velmaro-list and checks what it prints. Standard library only.

  check_cli.py json PROGRAM SCENARIO EXPECTED.json
  check_cli.py dump PROGRAM SCENARIO FIRST_DEVICE.txt DEVICE_COUNT
  check_cli.py table PROGRAM SCENARIO [EXPECTED_ROW...]   (a row as its five cells joined by "|")
  check_cli.py exit PROGRAM CODE STREAM TEXT [ARGS...]   (STREAM: stdout, stderr or stdout-exact)
  check_cli.py filters PROGRAM SCENARIO_DIR
  check_cli.py schema PROGRAM SCHEMA [ARGS...]   (needs python3-jsonschema)
  check_cli.py watch PROGRAM SCENARIO [EXPECTED_EVENT...]   (an event as "add 5" or "synced")
"""
import json
import re
import subprocess
import sys

DUMP_LABELS = [
    "SPDRP_ADDRESS:", "SPDRP_BUSNUMBER:", "SPDRP_BUSTYPEGUID:", "SPDRP_CAPABILITIES:", "SPDRP_CHARACTERISTICS:",
    "SPDRP_CLASS:", "SPDRP_CLASSGUID:", "SPDRP_COMPATIBLEIDS:", "SPDRP_CONFIGFLAGS:", "SPDRP_DEVICEDESC:",
    "SPDRP_DRIVER:", "SPDRP_ENUMERATOR_NAME:", "SPDRP_EXCLUSIVE:", "SPDRP_FRIENDLYNAME:", "SPDRP_HARDWAREID:",
    "SPDRP_LEGACYBUSTYPE:", "SPDRP_LOCATION_INFORMATION:", "SPDRP_LOWERFILTERS:", "SPDRP_MFG:",
    "SPDRP_PHYSICAL_DEVICE_OBJECT_NAME:", "SPDRP_SECURITY:", "SPDRP_SECURITY_SDS:", "SPDRP_UI_NUMBER:",
    "SPDRP_UPPERFILTERS:",
]

PROBLEM_LINE = ("Problem entdeckt! Warten Sie zunächst ein paar Sekunden. Vielleicht muß Windows den Treiber noch "
                "laden. Evtl. werden Sie auch zur Installation aufgefordert. Bleibt das Problem ohne Reaktion "
                "dauerhaft bestehen, erhalten Sie mit einem Klick auf den Eintrag weitere Details.")


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def run(args):
    result = subprocess.run(args, capture_output=True, timeout=60)
    return result.returncode, result.stdout, result.stderr.decode("utf-8", "replace")


def check_json(program, scenario, expected_file):
    code, out, err = run([program, "--scenario", scenario, "--json"])
    if code != 0:
        fail(f"exit code {code}, stderr: {err}")
    text = out.decode("utf-8")
    with open(expected_file, encoding="utf-8") as f:
        expected = f.read()
    # The guidance texts are the problem table's (tested with it); here only where they appear.
    document = json.loads(text, object_pairs_hook=dict)
    for row in document["rows"]:
        if (row["problem_text"] is not None) != (row["tag"] != ""):
            fail(f"problem text without a problem or the other way round: {row!r}")
        if row["problem_text"] == "":
            fail(f"empty problem text: {row!r}")
    text = re.sub(r'\n *"problem_text": (null|"(?:[^"\\]|\\.)*"),', "", text)
    # Pairs keep the key order, which is part of the format.
    pairs = lambda s: json.loads(s, object_pairs_hook=list)
    if pairs(text) != pairs(expected):
        fail(f"rows differ\n--- expected\n{expected}\n--- got\n{text}")
    if text != expected:
        fail(f"same content, different layout\n--- expected\n{expected!r}\n--- got\n{text!r}")


def check_dump(program, scenario, first_device_file, device_count):
    code, out, err = run([program, "--scenario", scenario, "--dump"])
    if code != 0:
        fail(f"exit code {code}, stderr: {err}")
    if "velmaro-list: OK, alles auf die Standardausgabe geschrieben!" not in err:
        fail(f"no confirmation on stderr: {err!r}")
    text = out.decode("utf-8")
    if not text.startswith("\r\n\r\n"):
        fail(f"dump does not start with two line ends: {text[:40]!r}")
    if text.endswith("\n"):
        fail("dump ends with a line end")
    blocks = text.split("\r\n\r\n")[1:]
    if len(blocks) != device_count:
        fail(f"{len(blocks)} devices dumped, expected {device_count}")
    for number, block in enumerate(blocks, 1):
        lines = block.split("\r\n")
        labels = [line[:len(label)] for line, label in zip(lines, DUMP_LABELS)]
        if len(lines) != 24 or labels != DUMP_LABELS:
            fail(f"device {number}: not the 24 labelled lines: {lines!r}")
        if any("\n" in line or "\r" in line for line in lines):
            fail(f"device {number}: stray line break")
    with open(first_device_file, encoding="utf-8") as f:
        expected = "\r\n".join(f.read().splitlines())
    if blocks[0] != expected:
        fail(f"first device differs\n--- expected\n{expected!r}\n--- got\n{blocks[0]!r}")


def check_table(program, scenario, expected_rows):
    code, out, err = run([program, "--scenario", scenario])
    if code != 0:
        fail(f"exit code {code}, stderr: {err}")
    lines = out.decode("utf-8").split("\n")
    header = lines[0]
    columns = ["COM Port", "Beschreibung", "Symbol", "Tag", "Markierung"]
    starts = [header.find(c) for c in columns]
    if starts[0] != 0 or sorted(starts) != starts or -1 in starts:
        fail(f"header {header!r}")
    rule = lines[1]
    if set(rule) != {"-", " "}:
        fail(f"no rule under the header: {rule!r}")
    rows = []
    for line in lines[2:]:
        if not line:
            break
        rows.append(line)
    if not rows:
        fail("no rows")
    for line in rows:
        # Python indexes code points: each cell starts where its header starts, two blanks after the
        # previous one; the description and the icon are never empty.
        for start, column in zip(starts[1:], columns[1:]):
            required = column in ("Beschreibung", "Symbol")
            if len(line) <= start:
                if required:
                    fail(f"row ends before {column}: {line!r}")
                continue
            if line[start - 2:start] != "  " or (required and line[start] == " "):
                fail(f"misaligned at {column}: {line!r}")
    icons = {line[starts[2]:starts[3]].strip() for line in rows}
    if not icons <= {"USB", "WARNING", "BT", "IRDA", "COM"}:
        fail(f"icons {icons}")
    marks = {line[starts[4]:].strip() for line in rows}
    if not marks <= {"", "fett rot", "fett grün"}:
        fail(f"marks {marks}")
    warned = "WARNING" in icons
    shown = PROBLEM_LINE in lines
    if warned != shown:
        fail(f"problem line shown {shown} with warning rows {warned}")
    cells = ["|".join(line[a:b].strip() for a, b in zip(starts, starts[1:] + [None])) for line in rows]
    for row in expected_rows:
        if row not in cells:
            fail(f"row {row!r} not in\n" + "\n".join(cells))


def check_exit(program, expected_code, stream, text, args):
    code, out, err = run([program] + args)
    if code != expected_code:
        fail(f"exit code {code}, expected {expected_code}; stdout {out!r}; stderr {err!r}")
    if stream == "stdout-exact":
        if out.decode("utf-8") != text:
            fail(f"stdout {out!r}, expected {text!r}")
    elif text not in (out.decode("utf-8") if stream == "stdout" else err):
        fail(f"{text!r} not on {stream}; stdout {out!r}; stderr {err!r}")


# Filter and --field cases, worked out from the scenario files: scenario, arguments, exit status,
# lines on standard output.
FILTER_CASES = [
    ("typical-desktop", ["--vid-pid", "067b:2303", "--field", "node"], 0, ["\\\\.\\COM5"]),
    ("typical-desktop", ["--vid-pid", "067B:", "--field", "com"], 0, ["COM5"]),
    ("typical-desktop", ["--vid-pid", "11f5", "--field", "com"], 0, ["COM3"]),
    ("typical-desktop", ["--vid-pid", "067b:2304", "--field", "com"], 0, []),
    ("typical-desktop", ["--match", "bluetooth", "--field", "com"], 0, ["COM4"]),
    ("typical-desktop", ["--match", "^infrarot", "--field", "node"], 0, ["\\\\.\\COM6"]),
    ("typical-desktop", ["--match", "prolific", "--com", "6", "--field", "com"], 0, []),
    ("typical-desktop", ["--match", "COM1$", "--field", "com"], 0, ["COM1"]),
    ("typical-desktop", ["--com", "1", "--field", "node"], 0, ["\\\\.\\COM1"]),
    ("typical-desktop", ["--com", "2", "--field", "node"], 0, []),
    ("typical-desktop", ["--field", "com"], 0, ["COM1", "COM3", "COM4", "COM5", "COM6"]),
    ("typical-desktop", ["--check", "--field", "com"], 0, ["COM1", "COM3", "COM4", "COM5", "COM6"]),
    ("double-assignments", ["--serial", "A6008CB3", "--field", "com"], 0, ["COM7"]),
    ("double-assignments", ["--serial", "a6008cb3", "--field", "com"], 0, []),
    ("double-assignments", ["--vid-pid", "10c4:ea60", "--field", "serial"], 0, ["0001"]),
    ("double-assignments", ["--com", "8", "--field", "serial"], 0, ["", "0001"]),
    ("double-assignments", ["--check", "--com", "1", "--field", "com"], 0, ["COM1"]),
    ("double-assignments", ["--check", "--com", "5", "--field", "com"], 1, ["COM5", "COM5"]),
    ("missing-drivers", ["--check", "--field", "com"], 1, ["COM1"]),
    ("missing-drivers", ["--check", "--com", "1", "--field", "com"], 0, ["COM1"]),
    ("typical-desktop", ["--vid-pid", "12345"], 2, []),
    ("typical-desktop", ["--vid-pid", "xyz:1"], 2, []),
    ("typical-desktop", ["--match", "("], 2, []),
    ("typical-desktop", ["--com", "256"], 2, []),
    ("typical-desktop", ["--field", "vid"], 2, []),
    ("typical-desktop", ["--field", "com", "--json"], 2, []),
    ("typical-desktop", ["--dump", "--com", "1"], 2, []),
]


def check_filters(program, scenario_dir):
    for scenario, args, expected_code, expected_lines in FILTER_CASES:
        code, out, err = run([program, "--scenario", f"{scenario_dir}/{scenario}.json"] + args)
        lines = out.decode("utf-8").splitlines()
        if code != expected_code or (expected_code != 2 and lines != expected_lines):
            fail(f"{scenario} {args}: exit {code} {lines!r}, expected {expected_code} {expected_lines!r}; {err}")


def check_schema(program, schema_file, args):
    import jsonschema
    code, out, err = run([program, "--json"] + args)
    if code not in (0, 1):
        fail(f"exit code {code}, stderr: {err}")
    with open(schema_file, encoding="utf-8") as f:
        schema = json.load(f)
    try:
        jsonschema.validate(json.loads(out.decode("utf-8")), schema)
    except jsonschema.ValidationError as e:
        fail(f"not valid against {schema_file}: {e.message} at {list(e.absolute_path)}")


def check_watch(program, scenario, expected):
    import signal
    process = subprocess.Popen([program, "--scenario", scenario, "--watch"], stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE)
    events = []
    try:
        while not events or events[-1] != "synced":
            line = process.stdout.readline()
            if not line:
                break
            event = json.loads(line)
            events.append(event["event"] + (f" {event['port']['com']}" if "port" in event else ""))
        process.send_signal(signal.SIGINT)
        rest, err = process.communicate(timeout=10)
    except subprocess.TimeoutExpired:
        process.kill()
        fail("did not end on SIGINT")
    if events != expected:
        fail(f"events {events!r}, expected {expected!r}")
    if rest:
        fail(f"events after synced on a machine that does not change: {rest!r}")
    if process.returncode != 0:
        fail(f"exit code {process.returncode} after SIGINT, stderr {err!r}")


def main(argv):
    mode = argv[1]
    if mode == "json":
        check_json(argv[2], argv[3], argv[4])
    elif mode == "dump":
        check_dump(argv[2], argv[3], argv[4], int(argv[5]))
    elif mode == "table":
        check_table(argv[2], argv[3], argv[4:])
    elif mode == "exit":
        check_exit(argv[2], int(argv[3]), argv[4], argv[5].replace("\\n", "\n"), argv[6:])
    elif mode == "filters":
        check_filters(argv[2], argv[3])
    elif mode == "watch":
        check_watch(argv[2], argv[3], argv[4:])
    elif mode == "schema":
        check_schema(argv[2], argv[3], argv[4:])
    else:
        fail(f"unknown mode {mode}")


if __name__ == "__main__":
    main(sys.argv)
