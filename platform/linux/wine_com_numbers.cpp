#include "linux/wine_com_numbers.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>

namespace velmaro::linux_backend {
namespace {

std::string Normal(const std::string& path) {
    return std::filesystem::path(path).lexically_normal().string();
}

// Splits off the trailing decimal digits; a name without them sorts before its numbered kin.
std::pair<std::string_view, std::string_view> StemAndDigits(std::string_view name) {
    std::size_t cut = name.size();
    while (cut > 0 && std::isdigit(static_cast<unsigned char>(name[cut - 1])) != 0) {
        --cut;
    }
    return {name.substr(0, cut), name.substr(cut)};
}

class NumberPool {
  public:
    void Take(int number) { used_.insert(number); }
    bool Used(int number) const { return used_.count(number) != 0; }
    // The lowest free number, or 0 when all Wine can name are taken.
    int TakeLowest() {
        for (int n = 1; n <= kWineMaxPorts; ++n) {
            if (!Used(n)) {
                Take(n);
                return n;
            }
        }
        return 0;
    }

  private:
    std::set<int> used_;
};

}  // namespace

int ComNumberOfLinkName(const std::string& name) {
    if (name.size() < 4 || name.size() > 6) {
        return 0;
    }
    if (std::tolower(static_cast<unsigned char>(name[0])) != 'c' ||
        std::tolower(static_cast<unsigned char>(name[1])) != 'o' ||
        std::tolower(static_cast<unsigned char>(name[2])) != 'm' || name[3] == '0') {
        return 0;
    }
    int number = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (std::isdigit(static_cast<unsigned char>(name[i])) == 0) {
            return 0;
        }
        number = number * 10 + (name[i] - '0');
    }
    return number <= kWineMaxPorts ? number : 0;
}

bool NaturalLess(const std::string& a, const std::string& b) {
    const auto [stemA, digitsA] = StemAndDigits(a);
    const auto [stemB, digitsB] = StemAndDigits(b);
    if (stemA != stemB) {
        return stemA < stemB;
    }
    // Equal stems: fewer significant digits is the smaller number.
    const auto significant = [](std::string_view d) { return d.substr(std::min(d.find_first_not_of('0'), d.size())); };
    const std::string_view numA = significant(digitsA);
    const std::string_view numB = significant(digitsB);
    if (numA.size() != numB.size()) {
        return numA.size() < numB.size();
    }
    return numA != numB ? numA < numB : digitsA < digitsB;
}

std::map<std::string, int> WineComNumbers(const std::vector<ComLink>& links,
                                          const std::set<std::string>& existingNodes,
                                          const std::vector<std::string>& otherNodes) {
    std::map<std::string, int> numbers;
    NumberPool pool;
    std::set<std::string> mapped;
    // A user's link holds its number even while its device is unplugged, as in Wine.
    for (const ComLink& link : links) {
        if (link.number < 1 || link.number > kWineMaxPorts || pool.Used(link.number)) {
            continue;
        }
        pool.Take(link.number);
        const std::string target = Normal(link.target);
        if (mapped.insert(target).second) {
            numbers[target] = link.number;
        }
    }
    const auto give = [&](const std::string& node) {
        if (mapped.count(node) != 0) {
            return;
        }
        if (const int number = pool.TakeLowest(); number != 0) {
            numbers[node] = number;
            mapped.insert(node);
        }
    };
    for (const char* prefix : kWineRunPrefixes) {
        for (int n = 0; n < kWineMaxPorts; ++n) {
            const std::string node = prefix + std::to_string(n);
            if (existingNodes.count(node) == 0) {
                break;
            }
            give(node);
        }
    }
    // Wine itself stops here; ports of other kinds (rfcomm, ttyAMA, ...) take the next free
    // numbers in name order, so that they can be listed at all.
    std::vector<std::string> others;
    for (const std::string& node : otherNodes) {
        others.push_back(Normal(node));
    }
    std::sort(others.begin(), others.end(), NaturalLess);
    for (const std::string& node : others) {
        give(node);
    }
    return numbers;
}

}  // namespace velmaro::linux_backend
