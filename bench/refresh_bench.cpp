// One full port-list refresh on in-memory machines of growing size: a quarter of the devices are
// serial ports listed in the serial-port map, the rest are the other devices a PC carries.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <string>

#include "common/win_codes.h"
#include "main_window/port_list_refresh.h"
#include "memory/memory_machine.h"

namespace {

using namespace velmaro;
using memory::DwordValue;
using memory::MultiSzValue;
using memory::SzValue;

class SilentMessageBox : public IMessageBox {
  public:
    MessageResult Show(const std::string&, MessageStyle style) override {
        return style == MessageStyle::QuestionYesNo ? MessageResult::Yes : MessageResult::Ok;
    }
};

class NullClipboard : public IClipboard {
  public:
    void Clear() override {}
    void SetText(const std::string&) override {}
};

class ConstantClock : public IClock {
  public:
    LocalTime Now() const override { return {2026, 12, 4, 9, 5, 7}; }
};

class NullPointer : public IMousePointer {
  public:
    void Set(MousePointer) override {}
};

struct OtherKind {
    const char* deviceClass;
    const char* classGuid;
    const char* description;
    const char* hardwareId;
    const char* compatibleId;
    const char* manufacturer;
    const char* enumerator;
};

// What Device Manager shows on an ordinary desktop besides its serial ports.
constexpr std::array<OtherKind, 8> kOtherKinds{{
    {"System", "{4d36e97d-e325-11ce-bfc1-08002be10318}", "PCI Express Root Port",
     "PCI\\VEN_8086&DEV_A33C&SUBSYS_86941043", "PCI\\VEN_8086&DEV_A33C", "INTEL", "PCI"},
    {"HIDClass", "{745a17a0-74d3-11d0-b6fe-00a0c90f57da}", "USB-Eingabegerät", "USB\\VID_046D&PID_C52B&REV_2411",
     "USB\\Class_03&SubClass_00&Prot_00", "(Standardsystemgeräte)", "USB"},
    {"Net", "{4d36e972-e325-11ce-bfc1-08002be10318}", "Intel(R) Ethernet Connection (7) I219-V",
     "PCI\\VEN_8086&DEV_15BC&SUBSYS_86721043", "PCI\\VEN_8086&DEV_15BC", "Intel", "PCI"},
    {"DiskDrive", "{4d36e967-e325-11ce-bfc1-08002be10318}", "Samsung SSD 970 EVO Plus 1TB",
     "SCSI\\DiskNVMe____Samsung_SSD_970_EVO_2B2QEXM7", "SCSI\\Disk", "(Standardlaufwerke)", "SCSI"},
    {"USB", "{36fc9e60-c465-11cf-8056-444553540000}", "USB-Root-Hub (USB 3.0)", "USB\\ROOT_HUB30&VID8086&PIDA36D",
     "USB\\ROOT_HUB30", "(Standard-USB-Hostcontroller)", "USB"},
    {"Monitor", "{4d36e96e-e325-11ce-bfc1-08002be10318}", "Generic PnP Monitor", "MONITOR\\GSM5B7F", "*PNP09FF",
     "(Standardmonitortypen)", "DISPLAY"},
    {"Volume", "{71a27cdd-812a-11d0-bec7-08002be2092f}", "Volume", "STORAGE\\Volume", "", "Microsoft", "STORAGE"},
    {"Processor", "{50127dc3-0f36-415e-a6cc-4cb3be910b65}", "Intel(R) Core(TM) i7-9700 CPU @ 3.00GHz",
     "ACPI\\GenuineIntel_-_Intel64_Family_6_Model_158", "ACPI\\Processor", "Intel", "ACPI"},
}};

void AddCommonProperties(memory::MemoryDevice& device, const char* classGuid, int index) {
    char driver[64];
    std::snprintf(driver, sizeof driver, "%s\\%04d", classGuid, index % 10000);
    device.properties[SPDRP_CLASSGUID] = SzValue(classGuid);
    device.properties[SPDRP_DRIVER] = SzValue(driver);
    device.properties[SPDRP_CONFIGFLAGS] = DwordValue(0);
    device.properties[SPDRP_CAPABILITIES] = DwordValue(0x84);
    device.properties[SPDRP_PHYSICAL_DEVICE_OBJECT_NAME] = SzValue("\\Device\\" + std::to_string(index));
    device.properties[SPDRP_LOCATION_INFORMATION] = SzValue("Port_#0001.Hub_#0002");
}

// A serial port on COM(index + 1), listed in the serial-port map. Windows gives every port its own
// number; those above 99 carry three-digit tags, which the port list does not describe.
void AddPort(memory::MemoryMachine& machine, int index) {
    const int number = index + 1;
    const std::string com = "COM" + std::to_string(number);
    static constexpr std::array<const char*, 4> kNames{"Kommunikationsanschluss", "USB Serial Port",
                                                       "Prolific USB-to-Serial Comm Port",
                                                       "Standardmäßige Seriell-über-Bluetooth-Verbindung"};
    static constexpr std::array<const char*, 4> kIds{"ACPI\\PNP0501", "FTDIBUS\\COMPORT&VID_0403&PID_6001",
                                                     "USB\\VID_067B&PID_2303&REV_0300",
                                                     "BTHENUM\\{00001101-0000-1000-8000-00805f9b34fb}"};
    const std::size_t kind = static_cast<std::size_t>(index) % kNames.size();
    memory::MemoryDevice device;
    device.instance = "PORT\\" + std::to_string(index);
    device.comportInterface = true;
    device.properties[SPDRP_CLASS] = SzValue("Ports");
    device.properties[SPDRP_FRIENDLYNAME] = SzValue(std::string(kNames[kind]) + " (" + com + ")");
    device.properties[SPDRP_DEVICEDESC] = SzValue(kNames[kind]);
    device.properties[SPDRP_HARDWAREID] = MultiSzValue({kIds[kind], "ACPI\\PNP0501"});
    device.properties[SPDRP_MFG] = SzValue("(Standardanschlusstypen)");
    device.properties[SPDRP_ENUMERATOR_NAME] = SzValue("ACPI");
    AddCommonProperties(device, "{4d36e978-e325-11ce-bfc1-08002be10318}", index);
    machine.AddDevice(std::move(device));
    machine.PutValue(kHkeyLocalMachine, "HARDWARE\\DEVICEMAP\\SERIALCOMM", "\\Device\\Serial" + std::to_string(index),
                     SzValue(com));
}

void AddOther(memory::MemoryMachine& machine, int index) {
    const OtherKind& kind = kOtherKinds[static_cast<std::size_t>(index) % kOtherKinds.size()];
    memory::MemoryDevice device;
    device.instance = std::string(kind.enumerator) + "\\DEV\\" + std::to_string(index);
    device.properties[SPDRP_CLASS] = SzValue(kind.deviceClass);
    device.properties[SPDRP_DEVICEDESC] = SzValue(kind.description);
    device.properties[SPDRP_HARDWAREID] = MultiSzValue({kind.hardwareId, kind.compatibleId});
    device.properties[SPDRP_COMPATIBLEIDS] = MultiSzValue({kind.compatibleId});
    device.properties[SPDRP_MFG] = SzValue(kind.manufacturer);
    device.properties[SPDRP_ENUMERATOR_NAME] = SzValue(kind.enumerator);
    AddCommonProperties(device, kind.classGuid, index);
    machine.AddDevice(std::move(device));
}

// Every fourth device is a port, spread evenly through the enumeration order.
void BuildMachine(memory::MemoryMachine& machine, int devices) {
    for (int i = 0; i < devices; ++i) {
        if (i % 4 == 0) {
            AddPort(machine, i / 4);
        } else {
            AddOther(machine, i);
        }
    }
}

void RefreshBenchmark(benchmark::State& state, bool dump) {
    const int devices = static_cast<int>(state.range(0));
    memory::MemoryMachine machine;
    BuildMachine(machine, devices);
    SilentMessageBox messages;
    NullClipboard clipboard;
    ConstantClock clock;
    NullPointer pointer;
    const Services services{machine, machine, messages, clipboard, clock, pointer};

    PortListModel list;
    BoxModel listBox(60, 2280, 7815, 2415);
    LabelModel lastRefresh(60, 2040, 3735, 255);
    LabelModel problemLine(60, 4760, 7815, 615, "", false);
    BoxModel headline(60, 60, 7815, 255);
    LineModel separator(60, 5460, 7860, 5460);
    RefreshControls controls{list, listBox, lastRefresh, problemLine, headline, separator};
    PortDeviceTable table;

    for (auto _ : state) {
        bool clipboardRequested = dump;
        RefreshPortList(services, table, controls, clipboardRequested);
        benchmark::DoNotOptimize(list.Count());
    }
    state.SetComplexityN(devices);
    state.counters["rows"] = list.Count();
    state.counters["per_device"] = benchmark::Counter(
        static_cast<double>(devices), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_RefreshPortList(benchmark::State& state) {
    RefreshBenchmark(state, false);
}

// The same run while the user has asked for the device dump.
void BM_RefreshPortListWithDump(benchmark::State& state) {
    RefreshBenchmark(state, true);
}

}  // namespace

BENCHMARK(BM_RefreshPortList)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond)->Complexity();
BENCHMARK(BM_RefreshPortListWithDump)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
