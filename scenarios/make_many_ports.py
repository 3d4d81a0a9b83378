#!/usr/bin/env python3
"""Writes many-ports.json: two onboard ports (COM1, COM2) and a 254-port serial card (COM3..COM256).

Run from anywhere; the output lands next to this script. Standard library only.
"""
import json
import pathlib

PORTS_GUID = "{4D36E978-E325-11CE-BFC1-08002BE10318}"
MULTIPORT_GUID = "{50906CB8-BA12-11D1-BF5D-0000F805F530}"
LAST_PORT = 256


def onboard_port(number):
    return {
        "instance": f"ACPI\\PNP0501\\{number}",
        "comport_interface": True,
        "properties": {
            "ClassGUID": PORTS_GUID,
            "Class": "Ports",
            "FriendlyName": f"Kommunikationsanschluss (COM{number})",
            "DeviceDesc": "Kommunikationsanschluss",
            "HardwareID": ["ACPI\\PNP0501", "*PNP0501"],
            "Mfg": "(Standardanschlusstypen)",
            "Service": "Serial",
            "Driver": f"{PORTS_GUID}\\{number - 1:04d}",
            "ConfigFlags": 0,
            "UINumber": number,
        },
    }


def card_port(channel, number):
    return {
        "instance": f"MPSER\\PORT\\{channel:04d}",
        "comport_interface": True,
        "properties": {
            "ClassGUID": PORTS_GUID,
            "Class": "Ports",
            "FriendlyName": f"Serielle Mehrfachkarte, Anschluss {channel + 1} (COM{number})",
            "DeviceDesc": "Serielle Mehrfachkarte, Anschluss",
            "HardwareID": ["MPSER\\PORT"],
            "Mfg": "Mehrfachkarten GmbH",
            "Service": "mpser",
            "Driver": f"{PORTS_GUID}\\{number - 1:04d}",
            "ConfigFlags": 0,
            "UINumber": channel,
        },
    }


def plain_device(instance, class_name, class_guid, desc, hardware_ids, mfg, service, driver_index):
    return {
        "instance": instance,
        "properties": {
            "ClassGUID": class_guid,
            "Class": class_name,
            "DeviceDesc": desc,
            "HardwareID": hardware_ids,
            "Mfg": mfg,
            "Service": service,
            "Driver": f"{class_guid}\\{driver_index:04d}",
            "ConfigFlags": 0,
        },
    }


def build():
    serialcomm = {"\\Device\\Serial0": "COM1", "\\Device\\Serial1": "COM2"}
    devices = [
        plain_device("ACPI\\PNP0303\\4&2F94B2C3&0", "Keyboard", "{4D36E96B-E325-11CE-BFC1-08002BE10318}",
                     "Standardtastatur (101/102 Tasten) oder Microsoft Natural Keyboard (PS/2)",
                     ["ACPI\\PNP0303", "*PNP0303"], "(Standardtastaturen)", "i8042prt", 0),
        onboard_port(1),
        onboard_port(2),
        plain_device("PCI\\VEN_10DE&DEV_0322&SUBSYS_00000000&REV_A1\\4&1E2BBB1&0&0008", "Display",
                     "{4D36E968-E325-11CE-BFC1-08002BE10318}", "NVIDIA GeForce FX 5200",
                     ["PCI\\VEN_10DE&DEV_0322&SUBSYS_00000000&REV_A1", "PCI\\VEN_10DE&DEV_0322&SUBSYS_00000000"],
                     "NVIDIA", "nv", 0),
        plain_device("PCI\\VEN_10EC&DEV_8139&SUBSYS_813910EC&REV_10\\3&61AAA01&0&48", "Net",
                     "{4D36E972-E325-11CE-BFC1-08002BE10318}", "Realtek RTL8139-Familie-PCI-Fast Ethernet-NIC",
                     ["PCI\\VEN_10EC&DEV_8139&SUBSYS_813910EC&REV_10", "PCI\\VEN_10EC&DEV_8139&SUBSYS_813910EC"],
                     "Realtek Semiconductor Corp.", "RTL8023xp", 1),
        plain_device("USB\\ROOT_HUB\\4&2A0CF86&0", "USB", "{36FC9E60-C465-11CF-8056-444553540000}", "USB-Root-Hub",
                     ["USB\\ROOT_HUB&VID8086&PID24C2&REV0002", "USB\\ROOT_HUB&VID8086&PID24C2", "USB\\ROOT_HUB"],
                     "(Standard-USB-Hostcontroller)", "usbhub", 4),
        plain_device("PCI\\VEN_9710&DEV_9865&SUBSYS_10001000&REV_00\\4&3A0B6C1&0&20F0", "MultiPortSerial",
                     MULTIPORT_GUID, "Serielle Mehrfachkarte (254 Anschlüsse)",
                     ["PCI\\VEN_9710&DEV_9865&SUBSYS_10001000&REV_00", "PCI\\VEN_9710&DEV_9865&SUBSYS_10001000"],
                     "Mehrfachkarten GmbH", "mpbus", 0),
    ]
    for channel, number in enumerate(range(3, LAST_PORT + 1)):
        serialcomm[f"\\Device\\MpSerial{channel}"] = f"COM{number}"
        devices.append(card_port(channel, number))
    return {"registry": {"HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM": serialcomm}, "devices": devices}


def main():
    target = pathlib.Path(__file__).resolve().parent / "many-ports.json"
    text = json.dumps(build(), indent=2, ensure_ascii=False) + "\n"
    target.write_text(text, encoding="utf-8")


if __name__ == "__main__":
    main()
