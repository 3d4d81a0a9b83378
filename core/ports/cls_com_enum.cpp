#include "ports/cls_com_enum.h"

#include <algorithm>

#include <stdexcept>
#include <utility>

#include "common/text.h"
#include "common/win_codes.h"
#include "registry/cls_registry.h"

namespace velmaro {
namespace {

constexpr const char* kSerialCommKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr const char* kPortPrefix = "COM";

// Ascending by number; free slots (0) keep their places. Equal numbers are never exchanged
// directly, though a slot may jump over its equal on the way.
void ExchangeSort(std::vector<PortEntry>& ports) {
    for (std::size_t i = 0; i < ports.size(); ++i) {
        if (ports[i].PortNumber == 0) {
            continue;
        }
        for (std::size_t j = i; j < ports.size(); ++j) {
            if (ports[j].PortNumber != 0 && ports[i].PortNumber > ports[j].PortNumber) {
                std::swap(ports[i], ports[j]);
            }
        }
    }
}

// The exchange sort is quadratic. When no number occurs twice its result is the one ascending
// order of the taken slots, which an ordinary sort reaches as well; only equal numbers need the
// exchange sort's own order of their descriptions.
void SortByPortNumber(std::vector<PortEntry>& ports) {
    std::vector<std::size_t> taken;
    std::vector<std::int16_t> numbers;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        if (ports[i].PortNumber != 0) {
            taken.push_back(i);
            numbers.push_back(ports[i].PortNumber);
        }
    }
    std::sort(numbers.begin(), numbers.end());
    if (std::adjacent_find(numbers.begin(), numbers.end()) != numbers.end()) {
        ExchangeSort(ports);
        return;
    }
    std::vector<PortEntry> sorted;
    sorted.reserve(taken.size());
    for (std::size_t i : taken) {
        sorted.push_back(std::move(ports[i]));
    }
    std::sort(sorted.begin(), sorted.end(),
              [](const PortEntry& a, const PortEntry& b) { return a.PortNumber < b.PortNumber; });
    for (std::size_t k = 0; k < taken.size(); ++k) {
        ports[taken[k]] = std::move(sorted[k]);
    }
}

}  // namespace

clsComEnum::clsComEnum(IRegistryService& service) : service_(service) {}

void clsComEnum::Refresh() {
    ports_.assign(1, PortEntry{});

    clsRegistry cReg(service_);
    cReg.RegistryError = [this](std::int32_t Errorcode) {
        if (Error) {
            Error(Errorcode);
        }
    };

    const std::vector<std::string> names = cReg.EnumValues(kHkeyLocalMachine, kSerialCommKey, true);
    for (const std::string& name : names) {
        const std::string data = cReg.GetStringValue(kHkeyLocalMachine, kSerialCommKey, name);
        const auto number = ParseNumber(RemoveAll(data, kPortPrefix));
        if (!number) {
            continue;  // lower-case "com5", no digits, unreadable data
        }
        // A number beyond 16 bits names no real port. Taking a slot for it would leave a stray
        // COM0 row in the list, so such a value is left out as if it were not numeric.
        const auto portNumber = RoundToInt16(*number);
        if (!portNumber) {
            continue;
        }
        // Slot 0 is filled until it holds a number; only then does the list grow.
        PortEntry& slot = ports_.front().PortNumber == 0 ? ports_.front() : ports_.emplace_back();
        slot.PortNumber = *portNumber;
        slot.PortDesc = name;
        slot.Listed = true;
    }

    SortByPortNumber(ports_);
}

std::int16_t clsComEnum::CountPorts() const {
    return static_cast<std::int16_t>(ports_.size());
}

std::string clsComEnum::GetPortName(std::int16_t Index) const {
    return kPortPrefix + std::to_string(At(Index).PortNumber);
}

std::string clsComEnum::GetPortDesc(std::int16_t Index) const {
    return At(Index).PortDesc;
}

bool clsComEnum::IsUnfilledSlot(std::int16_t Index) const {
    return !At(Index).Listed;
}

const PortEntry& clsComEnum::At(std::int16_t index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= ports_.size()) {
        throw std::out_of_range("port index " + std::to_string(index) + " outside 0.." +
                                std::to_string(static_cast<int>(ports_.size()) - 1));
    }
    return ports_[static_cast<std::size_t>(index)];
}

}  // namespace velmaro
