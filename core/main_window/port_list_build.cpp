#include "main_window/port_list_build.h"

#include <iostream>
#include <optional>
#include <string_view>
#include <utility>

#include "common/problem_codes.h"
#include "common/text.h"
#include "devices/cable_diagnosis.h"
#include "devices/driver_problems.h"
#include "ports/cls_com_enum.h"
#include "services/once_per_run_messages.h"

namespace velmaro {
namespace {

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
        if (ports.IsUnfilledSlot(slot) || !name.starts_with("COM")) {
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

// A port that more than one device claims; a Siemens cable's model chooses the code.
PortRow DoubleAssignmentRow(PortRow row) {
    row.kind = RowKind::DoubleAssignment;
    row.problem = ProblemCode::TwiceUsedOther;
    if (FoldedText(row.description).Contains(kSiemensCable)) {
        const FoldedText marked(row.description + kDoubleAssignedSuffix);
        for (const ProblemCodeRow& code : ProblemCodeTable()) {
            if (!code.upperSiemensModel.empty() && marked.Contains(code.upperSiemensModel)) {
                row.problem = code.code;
                break;
            }
        }
    }
    row.description += kDoubleAssignedSuffix;
    return row;
}

void AddPortRows(const PortDeviceTable& table, const std::vector<std::int16_t>& numbers, std::vector<PortRow>& rows) {
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
            PortRow row{RowKind::Port, "COM " + std::to_string(number), description, std::nullopt};
            if (count > 1) {
                row = DoubleAssignmentRow(std::move(row));
            } else if (FoldedText(description).Contains(kSiemensCable)) {
                row.kind = RowKind::SiemensCable;
            }
            rows.push_back(std::move(row));
        }
    }
}

}  // namespace

PortListContent BuildPortList(const Services& platform, PortDeviceTable& table, bool& clipboardRequested) {
    OncePerRunMessages messages(platform.messages, std::cerr);  // one box per text in this run
    const Services services{platform.registry,  platform.devices, messages,
                            platform.clipboard, platform.clock,   platform.pointer};
    PortListContent content;
    try {
        clsComEnum comEnum(services.registry);
        const std::vector<std::int16_t> numbers = ReadPortNumbers(comEnum);
        CollectPortDevices(services, table);
        AddPortRows(table, numbers, content.rows);
        DetectDriverProblems(services, table.PortHardwareIds, content.rows, clipboardRequested);
        DiagnoseCables(services, table.PortHardwareIds, content.rows);
    } catch (...) {
        clipboardRequested = false;
        throw;
    }
    clipboardRequested = false;
    content.problemLineVisible = ShowsProblemLine(content.rows);
    return content;
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
