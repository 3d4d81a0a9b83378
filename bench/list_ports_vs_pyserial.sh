#!/usr/bin/env bash
# Lists this machine's serial ports N times with the whole velmaro-list --json process and N times
# with pyserial's "python3 -m serial.tools.list_ports -v", and prints both times and their ratio.
# With --testbed both run inside one umockdev testbed holding the same USB cables, for machines
# without serial ports of their own.
#
#   bench/list_ports_vs_pyserial.sh [--testbed] [N] [path/to/velmaro-list]
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
testbed=0
if [ "${1:-}" = "--testbed" ]; then
    testbed=1
    shift
fi
runs=${1:-50}
lister=${2:-$here/build/linux/apps/cli/velmaro-list}
# Debian's python3-serial belongs to the system's interpreter, not to one on PATH from elsewhere.
python=${PYTHON:-/usr/bin/python3}

[ -x "$lister" ] || { echo "no velmaro-list at $lister (build first, or pass its path)" >&2; exit 2; }
"$python" -c 'import serial.tools.list_ports' 2>/dev/null || { echo "$python has no pyserial (apt-get install python3-serial)" >&2; exit 2; }

# Milliseconds for $runs runs of the command, output discarded. The runs are started from one
# Python process (vfork and exec) rather than from a shell loop, whose fork of itself costs more
# than a short program's whole run and would hide the difference between the two.
time_runs() {
    "$python" - "$runs" "$@" <<'PY'
import subprocess, sys, time
runs, command = int(sys.argv[1]), sys.argv[2:]
start = time.perf_counter()
for _ in range(runs):
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
print(round((time.perf_counter() - start) * 1000))
PY
}

measure() {
    echo "velmaro-list sees:"
    "$lister" --json | grep -o '"description": "[^"]*"' | sed 's/^/  /' || true
    echo "pyserial sees:"
    "$python" -m serial.tools.list_ports -q | sed 's/^/  /' || true
    local ours theirs
    ours=$(time_runs "$lister" --json)
    theirs=$(time_runs "$python" -m serial.tools.list_ports -v)
    local baseline
    baseline=$(time_runs /bin/true)
    echo "runs: $runs (starting /bin/true as often takes $baseline ms)"
    echo "velmaro-list --json:                  $ours ms ($((ours * 1000 / runs)) us per run)"
    echo "python3 -m serial.tools.list_ports -v: $theirs ms ($((theirs * 1000 / runs)) us per run)"
    awk -v a="$ours" -v b="$theirs" 'BEGIN { if (a > 0) printf "ratio: velmaro-list is %.1fx faster\n", b / a }'
}

if [ "$testbed" = 0 ]; then
    measure
    exit 0
fi

# The testbed: two USB cables (a PL2303 and an FTDI) with their ttys, as umockdev records them.
command -v umockdev-run >/dev/null || { echo "umockdev-run missing (apt-get install umockdev)" >&2; exit 2; }
record=$(mktemp --suffix=.umockdev)
trap 'rm -f "$record"' EXIT
cable() {  # bus, vendor, product, driver, tty, minor
    cat <<REC
P: /devices/pci0000:00/0000:00:14.0/usb1/$1
E: SUBSYSTEM=usb
E: DEVTYPE=usb_device
A: idVendor=$2
A: idProduct=$3
A: bcdDevice=0300
A: bNumInterfaces= 1
A: manufacturer=Maker $2
A: product=USB Serial $5
A: serial=$1

P: /devices/pci0000:00/0000:00:14.0/usb1/$1/$1:1.0
E: SUBSYSTEM=usb
E: DEVTYPE=usb_interface
E: DRIVER=$4
A: bInterfaceNumber=00
L: driver=../../../../../../bus/usb/drivers/$4

P: /devices/pci0000:00/0000:00:14.0/usb1/$1/$1:1.0/$5
E: SUBSYSTEM=usb-serial
E: DRIVER=$4
L: driver=../../../../../../../bus/usb-serial/drivers/$4

P: /devices/pci0000:00/0000:00:14.0/usb1/$1/$1:1.0/$5/tty/$5
N: $5
E: SUBSYSTEM=tty
E: DEVNAME=/dev/$5
A: dev=188:$6
L: device=../../../$5

REC
}
{
    cable 1-1 067b 2303 pl2303 ttyUSB0 0
    cable 1-2 0403 6001 ftdi_sio ttyUSB1 1
} >"$record"
export -f time_runs measure
export lister python runs
umockdev-run -d "$record" -- bash -c measure
