#!/usr/bin/env python3
"""Turns a scenario file into registry files that make Wine's registry and SetupAPI show the
scenario's machine.

    scenario_to_reg.py SCENARIO.json DEVICES.reg SERIALCOMM.reg

DEVICES.reg holds the device instance keys below Enum, the COM-port interface keys, the class
keys, and every registry key of the scenario except the serial-port map. SERIALCOMM.reg replaces
the serial-port map with the scenario's: Wine rebuilds that key from the host's serial devices
whenever its server starts, so it is imported last, into a prefix whose server keeps running.
A scenario without the map gets a SERIALCOMM.reg that deletes Wine's.

Both files are "Windows Registry Editor Version 5.00" in UTF-16LE, so that umlauts reach the
registry as the characters they are, whatever the ANSI code page of the prefix.
"""
import json
import sys

HKLM = "HKEY_LOCAL_MACHINE"
CONTROL_SET = HKLM + "\\System\\CurrentControlSet"
SERIALCOMM = "HARDWARE\\DEVICEMAP\\SERIALCOMM"
COMPORT_INTERFACE = "{86e0d1e0-8089-11d0-9ce4-08003e301f73}"
# Wine lists no device without a ClassGUID; a device without a driver is in the unknown class.
UNKNOWN_CLASS_GUID = "{4D36E97E-E325-11CE-BFC1-08002BE10318}"
UNKNOWN_CLASS_NAME = "Unknown"
# Wine names the serial ports it finds on the host \Device\Serial0 .. \Device\Serial255.
WINE_MAX_PORTS = 256

ROOTS = ("HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS", "HKEY_CURRENT_CONFIG")

TYPES = {
    "REG_NONE": 0,
    "REG_SZ": 1,
    "REG_EXPAND_SZ": 2,
    "REG_BINARY": 3,
    "REG_DWORD": 4,
    "REG_DWORD_BIG_ENDIAN": 5,
    "REG_LINK": 6,
    "REG_MULTI_SZ": 7,
    "REG_QWORD": 11,
}
TEXT_TYPES = (1, 2, 6, 7)


class ScenarioError(Exception):
    pass


def ansi_to_text(data):
    """Windows-1252 bytes as characters; the five bytes the code page leaves free map to the
    control characters of the same number, as the system's conversion does."""
    return "".join(bytes([b]).decode("cp1252", errors="ignore") or chr(b) for b in data)


def dword(number):
    if not isinstance(number, int) or isinstance(number, bool) or not -(2**31) <= number < 2**32:
        raise ScenarioError(f"not a 32-bit number: {number!r}")
    return number & 0xFFFFFFFF


def parse_hex(text):
    digits = "".join(text.split())
    if len(digits) % 2:
        raise ScenarioError(f"an odd number of hex digits: {text!r}")
    return bytes.fromhex(digits)


def value_of(value):
    """(type, payload): the text with its NULs for the string types, a number for REG_DWORD,
    bytes for everything else."""
    if isinstance(value, str):
        return 1, value + "\0"
    if isinstance(value, list):
        return 7, "".join(s + "\0" for s in value) + "\0"
    if isinstance(value, int) and not isinstance(value, bool):
        return 4, dword(value)
    if not isinstance(value, dict):
        raise ScenarioError(f"unsupported value {value!r}")
    kind = value.get("type")
    code = TYPES.get(kind) if isinstance(kind, str) else kind
    if not isinstance(code, int) or isinstance(code, bool):
        raise ScenarioError(f"unknown type {kind!r}")
    if "hex" in value:
        data = parse_hex(value["hex"])
        return (code, ansi_to_text(data)) if code in TEXT_TYPES else (code, data)
    data = value["data"]
    if code in (1, 2, 6):
        return code, data + "\0"
    if code == 7:
        return value_of(list(data))
    if code == 4:
        return code, dword(data)
    if code == 5:
        return code, dword(data).to_bytes(4, "big")
    if code == 11:
        return code, (data & 0xFFFFFFFFFFFFFFFF).to_bytes(8, "little")
    raise ScenarioError(f"type {kind!r} takes its bytes under \"hex\"")


def quoted(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def hex_lines(prefix, data):
    """prefix followed by the bytes as comma-separated hex, wrapped as regedit wraps them."""
    parts = [f"{b:02x}" for b in data]
    lines = []
    line = prefix
    for i, part in enumerate(parts):
        piece = part + ("," if i + 1 < len(parts) else "")
        if len(line) + len(piece) > 78:
            lines.append(line + "\\")
            line = "  "
        line += piece
    lines.append(line)
    return "\r\n".join(lines)


def value_line(name, value):
    code, payload = value_of(value)
    left = "@=" if name == "" else quoted(name) + "="
    if code == 1 and payload.endswith("\0") and all(c >= " " for c in payload[:-1]):
        return left + quoted(payload[:-1])
    if code == 4:
        return left + f"dword:{payload:08x}"
    data = payload.encode("utf-16-le") if isinstance(payload, str) else payload
    return hex_lines(left + ("hex:" if code == 3 else f"hex({code:x}):"), data)


def split_root(path):
    root, _, rest = path.partition("\\")
    if root not in ROOTS:
        raise ScenarioError(f"the key path must start with a root's full name: {path!r}")
    return root, rest


def is_serialcomm(path):
    root, rest = split_root(path)
    return root == HKLM and rest.upper() == SERIALCOMM


class RegFile:
    def __init__(self):
        self.lines = ["Windows Registry Editor Version 5.00", ""]

    def delete_key(self, path):
        self.lines += [f"[-{path}]", ""]

    def delete_values(self, path, names):
        self.lines.append(f"[{path}]")
        self.lines += [quoted(name) + "=-" for name in names]
        self.lines.append("")

    def key(self, path, values):
        self.lines.append(f"[{path}]")
        self.lines += [value_line(name, value) for name, value in values]
        self.lines.append("")

    def write(self, file_name):
        with open(file_name, "wb") as out:
            out.write(b"\xff\xfe" + "\r\n".join(self.lines + [""]).encode("utf-16-le"))


def device_keys(device):
    """[(key path, [(name, value)])] for one present device."""
    instance = device["instance"]
    if len(instance.split("\\")) != 3 or "" in instance.split("\\"):
        raise ScenarioError(f"an instance must be enumerator\\device\\instance: {instance!r}")
    properties = dict(device.get("properties", {}))
    properties.setdefault("ClassGUID", UNKNOWN_CLASS_GUID)
    keys = [(CONTROL_SET + "\\Enum\\" + instance, list(properties.items()))]
    if device.get("comport_interface", False):
        reference = "##?#" + instance.replace("\\", "#") + "#" + COMPORT_INTERFACE
        interface = CONTROL_SET + "\\Control\\DeviceClasses\\" + COMPORT_INTERFACE + "\\" + reference
        link = "\\\\?\\" + instance.replace("\\", "#") + "#" + COMPORT_INTERFACE
        keys += [
            (interface, [("DeviceInstance", instance)]),
            (interface + "\\#", [("SymbolicLink", link)]),
            (interface + "\\#\\Control", [("Linked", 1)]),
        ]
    return keys


def class_name_of(properties):
    name = properties.get("Class")
    return name if isinstance(name, str) else None


def convert(scenario):
    """(devices RegFile, serialcomm RegFile) for a parsed scenario."""
    devices_reg = RegFile()
    serial_reg = RegFile()
    serial_path = HKLM + "\\" + SERIALCOMM

    classes = {}  # upper-cased GUID -> (GUID as written, class name)
    for device in scenario.get("devices", []):
        if not device.get("present", True):
            continue  # its walks ask for present devices only, so Wine need not know it
        for path, values in device_keys(device):
            devices_reg.key(path, values)
        properties = device.get("properties", {})
        guid = properties.get("ClassGUID", UNKNOWN_CLASS_GUID)
        name = class_name_of(properties) or (UNKNOWN_CLASS_NAME if guid == UNKNOWN_CLASS_GUID else None)
        if isinstance(guid, str) and guid.upper() not in classes and name is not None:
            classes[guid.upper()] = (guid, name)
    for guid, name in classes.values():
        devices_reg.key(CONTROL_SET + "\\Control\\Class\\" + guid, [("Class", name)])

    serial_values = None
    for path, values in scenario.get("registry", {}).items():
        split_root(path)
        if is_serialcomm(path):
            serial_values = list(values.items())
        else:
            devices_reg.key(path, list(values.items()))
    if serial_values is None:
        serial_reg.delete_key(serial_path)
    else:
        # The key is volatile and takes no key that regedit could create in its place: keep it,
        # drop every port Wine may have put there, then add the scenario's.
        serial_reg.delete_values(serial_path, [f"\\Device\\Serial{n}" for n in range(WINE_MAX_PORTS)])
        serial_reg.key(serial_path, serial_values)
    return devices_reg, serial_reg


def main(argv):
    if len(argv) != 4:
        print("usage: scenario_to_reg.py SCENARIO.json DEVICES.reg SERIALCOMM.reg", file=sys.stderr)
        return 2
    try:
        with open(argv[1], encoding="utf-8") as f:
            scenario = json.load(f)
        devices_reg, serial_reg = convert(scenario)
    except (OSError, ValueError, KeyError, TypeError, ScenarioError) as error:
        print(f"scenario_to_reg.py: {argv[1]}: {error}", file=sys.stderr)
        return 1
    devices_reg.write(argv[2])
    serial_reg.write(argv[3])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
