#include "main_window/port_list_refresh.h"

#include <cstdio>
#include <iostream>
#include <optional>
#include <string_view>
#include <utility>

#include "common/text.h"
#include "devices/driver_problems.h"
#include "ports/cls_com_enum.h"
#include "services/once_per_run_messages.h"

namespace velmaro {
namespace {

// Runs a cleanup when the scope ends, also when it ends by an exception.
template <typename F>
class ScopeExit {
  public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ~ScopeExit() { f_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

  private:
    F f_;
};

// A description in upper case, for the keyword tests that ignore letter case: folding it once per
// row, not once per keyword, keeps a refresh of many ports cheap. Keywords are given in upper case.
class FoldedText {
  public:
    explicit FoldedText(std::string_view text) : upper_(UpperCase(text)) {}
    bool Contains(std::string_view upperKeyword) const {
        return !upper_.empty() && upper_.find(upperKeyword) != std::string::npos;
    }

  private:
    std::string upper_;
};

constexpr std::string_view kSiemensCable = "SIEMENS USB KABEL";

// The COM numbers of the serial-port map, ascending.
std::vector<std::int16_t> ReadPortNumbers(clsComEnum& ports) {
    std::vector<std::int16_t> numbers;
    ports.Refresh();
    const std::int16_t count = ports.CountPorts();
    for (std::int16_t slot = 0; slot < count; ++slot) {
        const std::string name = UpperCase(ports.GetPortName(slot));
        // Our choice: the free slot of a map without ports is no port; a listed COM0 is one.
        if (ports.IsUnfilledSlot(slot) || name.compare(0, 3, "COM") != 0) {
            continue;
        }
        const std::optional<double> value = ParseNumber(RemoveAll(name, "COM"));
        const std::optional<std::int16_t> number = value ? RoundToInt16(*value) : std::nullopt;
        if (number) {
            InsertSorted(numbers, *number);
        }
    }
    return numbers;
}

// A port that more than one device claims: bold red, suffix and problem code, in this order.
void MarkDoubleAssignment(IPortList& list, int row) {
    if (FoldedText(list.SubItem(row)).Contains(kSiemensCable)) {
        list.SetBold(row, true);
        list.SetSubItemBold(row, true);
        list.SetForeColor(row, kColorProblem);
        list.SetSubItemForeColor(row, kColorProblem);
        list.SetSubItem(row, list.SubItem(row) + kDoubleAssignedSuffix);
        const FoldedText marked(list.SubItem(row));
        if (marked.Contains("DCA-140")) {
            list.SetTag(row, kProblem2xUsedX40);
        } else if (marked.Contains("DCA-510")) {
            list.SetTag(row, kProblem2xUsed510);
        } else {
            list.SetTag(row, kProblem2xUsedOther);
        }
    } else {
        list.SetTag(row, kProblem2xUsedOther);
        list.SetBold(row, true);
        list.SetSubItemBold(row, true);
        list.SetForeColor(row, kColorProblem);
        list.SetSubItemForeColor(row, kColorProblem);
        list.SetSubItem(row, list.SubItem(row) + kDoubleAssignedSuffix);
    }
}

void AddPortRows(const PortDeviceTable& table, const std::vector<std::int16_t>& numbers, IPortList& list) {
    std::vector<std::string> descriptions;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const std::int16_t number = numbers[i];
        // A number the map lists twice would repeat all its device rows; one lookup per number
        // shows each device once and keeps "double assignment" meaning two devices.
        if (i > 0 && numbers[i - 1] == number) {
            continue;
        }
        const std::int16_t count = LookupPortDevices(table, number, descriptions);
        for (const std::string& description : descriptions) {
            const int row = list.AddRow("COM " + std::to_string(number), std::string());
            list.SetSubItem(row, description);
            if (count > 1) {
                MarkDoubleAssignment(list, row);
            }
        }
    }
}

const char* IconFor(const FoldedText& description) {
    if (description.Contains("USB")) {
        return kIconUsb;
    }
    if (description.Contains("INFRAROT") || description.Contains("IRDA")) {
        return kIconIrda;
    }
    if (description.Contains("TOOTH")) {
        return kIconBluetooth;
    }
    return kIconCom;
}

void DecorateRows(IPortList& list) {
    const int rows = list.Count();
    for (int row = 1; row <= rows; ++row) {
        const FoldedText description(list.SubItem(row));
        if (description.Contains(kSiemensCable) && list.ForeColor(row) != kColorProblem) {
            list.SetBold(row, true);
            list.SetSubItemBold(row, true);
            list.SetForeColor(row, kColorSiemens);
            list.SetSubItemForeColor(row, kColorSiemens);
        }
        list.SetIcon(row, IconFor(description));
        if (list.ForeColor(row) == kColorProblem) {
            list.SetIcon(row, kIconWarning);
        }
    }
}

void UpdateProblemLine(const IPortList& list, ILabel& lblProblem) {
    lblProblem.SetVisible(false);
    const int rows = list.Count();
    for (int row = 1; row <= rows; ++row) {
        if (list.Icon(row) == kIconWarning) {
            lblProblem.SetVisible(true);
            break;
        }
    }
}

}  // namespace

void RefreshPortList(const Services& platform,
                     PortDeviceTable& table,
                     RefreshControls& controls,
                     bool& clipboardRequested) {
    OncePerRunMessages messages(platform.messages, std::cerr);  // one box per text in this run
    const Services services{platform.registry,  platform.devices, messages,
                            platform.clipboard, platform.clock,   platform.pointer};
    // A dump request is served by exactly one run, even one that fails.
    ScopeExit clearRequest([&clipboardRequested] { clipboardRequested = false; });

    // The caption carries the moment the run began, so the clock is read before anything else.
    controls.lblLastRefresh.SetCaption(LastRefreshCaption(services.clock.Now()));

    services.pointer.Set(MousePointer::Busy);
    ScopeExit restorePointer([&services] { services.pointer.Set(MousePointer::Default); });

    controls.lvwPorts.Clear();

    // Declared after the pointer guard so that it is released before the pointer is restored.
    clsComEnum comEnum(services.registry);
    const std::vector<std::int16_t> numbers = ReadPortNumbers(comEnum);

    CollectPortDevices(services, table);
    AddPortRows(table, numbers, controls.lvwPorts);
    DecorateRows(controls.lvwPorts);

    DetectDriverProblems(services, table, controls.lvwPorts, clipboardRequested);
    clipboardRequested = false;

    UpdateProblemLine(controls.lvwPorts, controls.lblProblem);
    ApplyListHeightRule(controls);
}

void ApplyListHeightRule(RefreshControls& controls) {
    const float gap = controls.hdlMain.Top();
    const float top = controls.lvwPortsBox.Top();
    if (controls.lblProblem.Visible()) {
        controls.lvwPortsBox.SetHeight(controls.lblProblem.Top() - gap - top);
    } else {
        controls.lvwPortsBox.SetHeight(controls.linBut.Y1() - gap - top);
    }
}

std::string LastRefreshCaption(const LocalTime& now) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "Aktualisiert am %02d.%02d.%04d um %02d:%02d:%02d Uhr", now.day, now.month,
                  now.year, now.hour, now.minute, now.second);
    return buffer;
}

std::int32_t InsertSorted(std::vector<std::int16_t>& list, std::int16_t value) {
    const auto n = static_cast<std::int32_t>(list.size());
    // Entries are addressed 1-based as in the algorithm: entry(k) is list[k - 1].
    auto entry = [&list](std::int32_t k) { return list[static_cast<std::size_t>(k - 1)]; };
    if (n == 0) {
        list.push_back(value);
        return 1;
    }
    if (value < entry(1)) {
        list.insert(list.begin(), value);
        return 1;
    }
    if (value > entry(n)) {
        list.push_back(value);
        return n + 1;
    }
    std::int32_t lo = 1;
    std::int32_t hi = n;
    std::int32_t mid = 0;
    while (true) {
        mid = (lo + hi) / 2;
        if (mid == lo) {
            break;
        }
        if (value < entry(mid)) {
            hi = mid;
        } else if (value == entry(mid)) {
            break;
        } else {
            lo = mid;
        }
    }
    while (mid < n && entry(mid + 1) == value) {
        ++mid;
    }
    list.insert(list.begin() + mid, value);
    return mid + 1;
}

std::int16_t LookupPortDevices(const PortDeviceTable& table,
                               std::int16_t number,
                               std::vector<std::string>& descriptions,
                               std::vector<std::string>* manufacturers) {
    descriptions = std::vector<std::string>();
    if (manufacturers != nullptr) {
        *manufacturers = std::vector<std::string>();
    }
    std::int16_t count = 0;
    for (std::size_t row = 0; row < table.Rows(); ++row) {
        if (table.PortNumbers[row] != number) {
            continue;
        }
        ++count;
        const std::string& description = table.PortDescs[row];
        descriptions.push_back(description.empty() ? "-" : description);
        if (manufacturers != nullptr) {
            const std::string& manufacturer = table.PortMfgs[row];
            manufacturers->push_back(manufacturer.empty() ? "-" : manufacturer);
        }
    }
    return count;
}

}  // namespace velmaro
