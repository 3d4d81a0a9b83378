#!/usr/bin/env python3
"""Velmaro.exe end to end under Wine: a fresh prefix with the machine of scenario.json in its
registry, the window after its first refresh (rows, icons, colours on screen, problem line, title),
a click on a warning row and the guidance dialog it opens, a second start that steps aside, and
velmaro-list.exe --watch on the same machine until Ctrl-C.
Screenshots of the windows go into the output folder as e2e-*.png.

    run_e2e.py --velmaro EXE --lister EXE --probe EXE --tool scenario_to_reg.py --prefix-script prefix.sh --out DIR

Needs an X display (the test runs it under xvfb-run)."""
import argparse
import json
import os
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
MAIN_TITLE = "Velmaro Version*"  # every title that starts so
PROGRAM = "Velmaro"

# The rows the scenario must give, worked out from its devices:
# - COM1: "Kommunikationsanschluss (COM1)" loses its port tag and is renamed; no USB, IrDA or
#   Bluetooth in the text: icon COM.
# - COM3: the Siemens modem attached to COM3 is renamed to the DCA-140 cable: green, icon USB.
# - COM4: "Serielles Infrarotkabel (COM4)": icon IRDA.
# - COM5 is claimed by the Bluetooth port and by the Siemens DCA-510 cable: two red rows with the
#   warning icon, in enumeration order (BTHENUM before USB), both marked as doubly assigned.
# - The driverless FTDI chip and the driverless "Siemens USB Connectivity" come last, in the order of
#   their instance IDs (VID_0403 before VID_11F5).
# Fields: text, sub item 1, icon, colour of the first column, colour of the second.
EXPECTED_ROWS = [
    ("COM 1", "Standard COM Port", "COM", "plain", "plain"),
    ("COM 3", "Siemens USB Kabel DCA-140/540, DSC-100/600", "USB", "green", "green"),
    ("COM 4", "Serielles Infrarotkabel", "IRDA", "plain", "plain"),
    ("COM 5", "Standardmäßige serielle Verbindung über Bluetooth - COM Port doppelt belegt", "WARNING", "red", "red"),
    ("COM 5", "Siemens USB Kabel DCA-510 - COM Port doppelt belegt", "WARNING", "red", "red"),
    ("Warnung", "USB Wandler / Datenkabel Typ FTDI mit Treiberproblem", "WARNING", "red", "red"),
    ("Warnung", "Siemens USB Datenkabel mit Treiberproblem", "WARNING", "red", "red"),
]
X40_ROW = 7
# velmaro-list --watch: each device with a port once, in row order, then "synced".
EXPECTED_WATCH = ["add 1", "add 3", "add 4", "add 5", "add 5", "synced"]

EXPECTED_TITLE = "Velmaro Version 1.0.7 vom 29.05.2007"
PROBLEM_LINE = (
    "Problem entdeckt! Warten Sie zunächst ein paar Sekunden. Vielleicht muß Windows den Treiber noch laden. "
    "Evtl. werden Sie auch zur Installation aufgefordert. Bleibt das Problem ohne Reaktion dauerhaft bestehen, "
    "erhalten Sie mit einem Klick auf den Eintrag weitere Details."
)
# The guidance for a Siemens cable without driver: first paragraph, cause, an empty line, the
# installed guide and the question.
X40_TEXT = "\r\n".join([
    "An Ihrem PC ist ein Siemens USB Datenkabel DCA-140/540, NB-140/540, SyncStation DSC-100/600 "
    "angeschlossen, jedoch fehlt der passende Treiber.",
    "Dieses Problem entsteht, wenn Sie ein Datenkabel angeschlossen haben, ohne das vorher ein passender "
    "Treiber installiert war. Bevor das Problem nicht gelöst worden ist, können Sie mit dem Kabel nicht "
    "arbeiten.",
    "",
    "Zusammen mit diesem Programm wurde eine Anleitung installiert, die unter anderem beschreibt, wie man "
    "das Problem löst.",
    "Wenn Sie die Anleitung aufrufen möchten, klicken Sie JA und bearbeiten Sie den Abschnitt "
    "\"Den virtuelle COM Port prüfen > Probleme\"",
])
SECOND_START_TEXT = "Velmaro läuft bereits."


def unescape(field):
    out, i = [], 0
    while i < len(field):
        if field[i] == "\\" and i + 1 < len(field):
            out.append({"t": "\t", "r": "\r", "n": "\n", "\\": "\\"}.get(field[i + 1], field[i + 1]))
            i += 2
        else:
            out.append(field[i])
            i += 1
    return "".join(out)


class Wine:
    def __init__(self, args):
        self.args = args
        self.env = dict(os.environ)
        self.env.setdefault("WINEDEBUG", "-all")
        self.env.setdefault("WINEDLLOVERRIDES", "mscoree,mshtml=")
        self.wine = self.env.get("WINE", "/usr/lib/wine/wine64")

    def shell(self, command):
        """Runs a command with the prefix functions at hand; returns its output. The output goes
        through a file: the wineserver that the prefix starts keeps a pipe open for its whole life."""
        script = f'source "{self.args.prefix_script}"; {command}'
        with tempfile.TemporaryFile() as output:
            subprocess.run(["bash", "-c", script], env=self.env, check=True, stdout=output,
                           stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
            output.seek(0)
            return output.read().decode()

    def new_prefix(self, regs):
        imports = "; ".join(f'wine_import_reg "{r}"' for r in regs)
        prefix = self.shell(f'wine_prefix_new; {imports}; echo "$WINEPREFIX"').strip().splitlines()[-1]
        self.env["WINEPREFIX"] = prefix

    def drop_prefix(self):
        if "WINEPREFIX" in self.env:
            self.shell("wine_prefix_drop")

    def start(self, exe):
        exe = str(Path(exe).resolve())
        return subprocess.Popen([self.wine, exe], env=self.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, cwd=str(Path(exe).parent))

    def probe(self, *arguments):
        result = subprocess.run([self.wine, self.args.probe, *arguments], env=self.env, capture_output=True,
                                timeout=60)
        lines = result.stdout.decode("utf-8", "replace").splitlines()
        return result.returncode, [[unescape(f) for f in line.split("\t")] for line in lines if line]


class Checks:
    def __init__(self):
        self.failures = []

    def equal(self, what, actual, expected):
        if actual != expected:
            self.failures.append(f"{what}:\n    got      {actual!r}\n    expected {expected!r}")
        else:
            print(f"ok   {what}")

    def true(self, what, condition, detail=""):
        if not condition:
            self.failures.append(f"{what} {detail}".rstrip())
        else:
            print(f"ok   {what}")


def wait_for(condition, seconds, step=0.25):
    until = time.monotonic() + seconds
    while True:
        value = condition()
        if value or time.monotonic() > until:
            return value
        time.sleep(step)


def screenshot(out, name):
    path = out / f"e2e-{name}.png"
    subprocess.run(["import", "-window", "root", str(path)], check=False)
    print(f"screenshot {path}")


def controls(wine, title, kind):
    """The texts of the visible controls of one kind ("static" ones only when not empty) in the
    window with this title; None when it has none."""
    texts = [line[1] for line in wine.probe("controls", title)[1] if line[0] == kind and (line[1] or kind != "static")]
    return texts or None


def check_watch(wine, lister, checks):
    """The watch's first lines, then Ctrl-C: Wine turns SIGINT into the console's CTRL_C_EVENT."""
    process = subprocess.Popen([wine.wine, lister, "--watch"], env=wine.env, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, stdin=subprocess.DEVNULL)
    events = []
    try:
        while not events or events[-1] != "synced":
            line = process.stdout.readline()
            if not line:
                break
            event = json.loads(line)
            events.append(event["event"] + (f" {event['port']['com']}" if "port" in event else ""))
        checks.equal("velmaro-list --watch: the ports as add events, then synced", events, EXPECTED_WATCH)
        process.send_signal(signal.SIGINT)
        rest, err = process.communicate(timeout=10)
        checks.equal("velmaro-list --watch ends on Ctrl-C with 0", (process.returncode, rest, err), (0, b"", b""))
    except subprocess.TimeoutExpired:
        checks.true("velmaro-list --watch ends on Ctrl-C", False, "(still running)")
    finally:
        if process.poll() is None:
            process.kill()
            process.communicate()


def run(args):
    out = Path(args.out)
    out.mkdir(parents=True, exist_ok=True)
    devices_reg, serialcomm_reg = out / "e2e-devices.reg", out / "e2e-serialcomm.reg"
    subprocess.run([sys.executable, args.tool, str(HERE / "scenario.json"), str(devices_reg), str(serialcomm_reg)],
                   check=True)
    checks = Checks()
    wine = Wine(args)
    first = second = None
    try:
        wine.new_prefix([devices_reg, serialcomm_reg])
        first = wine.start(args.velmaro)
        shown = wait_for(lambda: wine.probe("title", MAIN_TITLE)[0] == 0, 30)
        checks.true("the main window shows", shown)
        if not shown:
            return checks

        def rows_now():
            return wine.probe("rows", MAIN_TITLE)[1]

        wait_for(lambda: len(rows_now()) >= len(EXPECTED_ROWS), 20)
        time.sleep(0.5)  # a refresh may have been drawing; read the settled list
        rows = rows_now()
        checks.equal("rows after the first refresh", [tuple(row[1:6]) for row in rows], EXPECTED_ROWS)
        # The pictures on screen: one picture per icon key, a different one for every key.
        pictures = {}
        for row in rows:
            pictures.setdefault(row[3], set()).add(row[6] if len(row) > 6 else "")
        checks.true("each icon key draws one picture", all(len(p) == 1 for p in pictures.values()), f"{pictures}")
        checks.equal("icon keys draw different pictures", len(set.union(set(), *pictures.values())), len(pictures))
        checks.equal("title", wine.probe("title", MAIN_TITLE)[1], [[EXPECTED_TITLE]])
        labels = controls(wine, MAIN_TITLE, "static") or []
        checks.true("the problem line shows", PROBLEM_LINE in labels, f"labels: {labels!r}")
        checks.true("the last refresh is stated", any(text.startswith("Aktualisiert am ") for text in labels),
                    f"labels: {labels!r}")
        screenshot(out, "main")

        wine.probe("click", MAIN_TITLE, str(X40_ROW))
        info = wait_for(lambda: controls(wine, PROGRAM, "edit"), 15)
        checks.true("a click on the warning row opens the guidance dialog", info is not None)
        if info:
            checks.equal("guidance text", info, [X40_TEXT])
            checks.equal("guidance buttons", sorted(b.replace("&", "") for b in controls(wine, PROGRAM, "button") or []),
                         ["Ja", "Nein"])
            screenshot(out, "info")
            wine.probe("press", PROGRAM, "Nein")
            closed = wait_for(lambda: controls(wine, PROGRAM, "edit") is None, 10)
            checks.true("Nein closes the guidance dialog", closed)

        second = wine.start(args.velmaro)
        box = wait_for(lambda: controls(wine, PROGRAM, "static"), 30)
        checks.true("a second start shows a message box", box is not None)
        if box:
            checks.equal("second start message", box, [SECOND_START_TEXT])
            screenshot(out, "second")
            wine.probe("press", PROGRAM, "OK")
        try:
            checks.equal("the second copy ends", second.wait(timeout=15), 0)
        except subprocess.TimeoutExpired:
            checks.true("the second copy ends", False, "(still running)")
        checks.true("the first copy keeps running", first.poll() is None)
        checks.equal("one main window", wine.probe("title", MAIN_TITLE)[1], [[EXPECTED_TITLE]])

        wine.probe("close", MAIN_TITLE)
        try:
            checks.equal("the window's close ends the program", first.wait(timeout=15), 0)
        except subprocess.TimeoutExpired:
            checks.true("the window's close ends the program", False, "(still running)")
        check_watch(wine, args.lister, checks)
    finally:
        for process in (second, first):
            if process and process.poll() is None:
                process.kill()
        wine.drop_prefix()
    return checks


def main():
    sys.stdout.reconfigure(line_buffering=True)
    # Give up before the test runner does (its limit is 300 s) and through the finally blocks, so
    # that the prefix, its wineserver and the programs do not outlive the test.
    def give_up(*_):
        print("FAIL out of time")
        sys.exit(1)

    signal.signal(signal.SIGTERM, give_up)
    signal.signal(signal.SIGALRM, give_up)
    signal.alarm(240)
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for name in ("--velmaro", "--lister", "--probe", "--tool", "--prefix-script", "--out"):
        parser.add_argument(name, required=True)
    checks = run(parser.parse_args())
    for failure in checks.failures:
        print(f"FAIL {failure}")
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
