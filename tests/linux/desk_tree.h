#pragma once
// One desk as sysfs shows it: a real UART and three placeholders, a PL2303 and an FTDI cable, an
// ACM modem whose product string is Latin-1, a CP210x without driver, a Bluetooth dongle with an
// rfcomm port, an IrDA port and a virtual terminal.
#include "fake_sysfs.h"

namespace velmaro::testing {

inline void BuildDesk(FakeSysfs& sys) {
    sys.BusDevice("devices/pnp0/00:01", "pnp", "serial");
    sys.Tty("ttyS0", "devices/pnp0/00:01", "4");
    sys.BusDevice("devices/platform/serial8250", "platform", "serial8250");
    for (const char* name : {"ttyS1", "ttyS2", "ttyS3"}) {
        sys.Tty(name, "devices/platform/serial8250", "0");
    }
    sys.DevNodes("ttyS", 4);

    const auto pl2303 =
        sys.UsbDevice("1-1", "067b", "2303", "0300", "Prolific Technology Inc.", "USB-Serial Controller");
    const auto pl2303If = sys.UsbInterface(pl2303, "1-1:1.0", "pl2303");
    sys.BusDevice(pl2303If + "/ttyUSB0", "usb-serial", "pl2303");
    sys.Tty("ttyUSB0", pl2303If + "/ttyUSB0");

    const auto ftdi = sys.UsbDevice("1-2", "0403", "6001", "0600", "", "FT232R USB UART");
    sys.File(ftdi + "/manufacturer/unreadable", "");  // a read error where the maker's name would be
    const auto ftdiIf = sys.UsbInterface(ftdi, "1-2:1.0", "ftdi_sio");
    sys.BusDevice(ftdiIf + "/ttyUSB1", "usb-serial", "ftdi_sio");
    sys.Tty("ttyUSB1", ftdiIf + "/ttyUSB1");
    sys.DevNodes("ttyUSB", 2);

    const auto modem = sys.UsbDevice("1-3", "0572", "1329", "0100", "Conexant", "Ger\xE4t USB Modem");
    const auto modemIf = sys.UsbInterface(modem, "1-3:1.0", "cdc_acm");
    sys.BusDevice(modemIf, "usb", "");  // its driver link comes with the interface
    sys.Tty("ttyACM0", modemIf);
    sys.DevNodes("ttyACM", 1);

    const auto cp210x = sys.UsbDevice("1-4", "10c4", "ea60", "0100", "Silicon Labs", "CP2102 USB to UART Bridge");
    sys.UsbInterface(cp210x, "1-4:1.0", "");

    const auto dongle = sys.UsbDevice("1-5", "0a12", "0001", "8891", "", "CSR8510 A10");
    const auto dongleIf = sys.UsbInterface(dongle, "1-5:1.0", "btusb");
    sys.BusDevice(dongleIf + "/bluetooth/hci0", "bluetooth", "");
    sys.Tty("rfcomm0", dongleIf + "/bluetooth/hci0");

    sys.Tty("ircomm0", "");
    sys.Tty("tty0", "");
}

}  // namespace velmaro::testing
