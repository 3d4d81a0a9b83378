#include "snapshot/scenario.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <limits>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

#include "common/printable_name.h"
#include "common/win_codes.h"
#ifndef _WIN32
#include "posix/bounded_file.h"
#endif

namespace velmaro::snapshot {
namespace {

// Objects keep the file's order: registry values enumerate in the order they were written.
using json = nlohmann::ordered_json;

// No valid scenario nests deeper than six levels; anything below this depth is dropped while
// parsing, so that hostile nesting cannot exhaust the stack when the tree is walked or destroyed.
constexpr std::size_t kMaxDepth = 64;

constexpr std::array<std::pair<std::string_view, int>, 26> kPropertyNames = {{
    {"DeviceDesc", 0},
    {"HardwareID", 1},
    {"CompatibleIDs", 2},
    {"Service", 4},
    {"Class", 7},
    {"ClassGUID", 8},
    {"Driver", 9},
    {"ConfigFlags", 10},
    {"Mfg", 11},
    {"FriendlyName", 12},
    {"LocationInformation", 13},
    {"PhysicalDeviceObjectName", 14},
    {"Capabilities", 15},
    {"UINumber", 16},
    {"UpperFilters", 17},
    {"LowerFilters", 18},
    {"BusTypeGuid", 19},
    {"LegacyBusType", 20},
    {"BusNumber", 21},
    {"EnumeratorName", 22},
    {"Security", 23},
    {"SecuritySDS", 24},
    {"DevType", 25},
    {"Exclusive", 26},
    {"Characteristics", 27},
    {"Address", 28},
}};

constexpr std::array<std::pair<std::string_view, std::uint32_t>, 9> kTypeNames = {{
    {"REG_NONE", kRegNone},
    {"REG_SZ", kRegSz},
    {"REG_EXPAND_SZ", kRegExpandSz},
    {"REG_BINARY", kRegBinary},
    {"REG_DWORD", kRegDword},
    {"REG_DWORD_BIG_ENDIAN", kRegDwordBigEndian},
    {"REG_LINK", kRegLink},
    {"REG_MULTI_SZ", kRegMultiSz},
    {"REG_QWORD", kRegQword},
}};
constexpr std::uint32_t kFirstTypeWithoutName = 8;  // REG_RESOURCE_LIST and up, except REG_QWORD

// Builds the document tree from the parser's events, keeps the byte position of a syntax error
// and cuts off nesting beyond kMaxDepth.
class TreeBuilder : public json::json_sax_t {
  public:
    json root;
    std::optional<std::size_t> errorPosition;
    std::string errorText;

    bool null() override { return Put(json(nullptr)); }
    bool boolean(bool value) override { return Put(json(value)); }
    bool number_integer(number_integer_t value) override { return Put(json(value)); }
    bool number_unsigned(number_unsigned_t value) override { return Put(json(value)); }
    bool number_float(number_float_t value, const string_t&) override { return Put(json(value)); }
    bool string(string_t& value) override { return Put(json(std::move(value))); }
    bool binary(binary_t& value) override { return Put(json::binary(std::move(value))); }
    bool start_object(std::size_t) override { return Open(json::value_t::object); }
    bool start_array(std::size_t) override { return Open(json::value_t::array); }
    bool end_object() override { return Close(); }
    bool end_array() override { return Close(); }
    // Members are appended without looking for an earlier one of the same name, so that a huge
    // object stays linear to build; the reader reports duplicates.
    bool key(string_t& name) override {
        if (skipped_ == 0) {
            auto& members = static_cast<Members&>(stack_.back()->get_ref<json::object_t&>());
            members.emplace_back(std::move(name), nullptr);
            member_ = &members.back().second;
        }
        return true;
    }
    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& error) override {
        errorPosition = position;
        errorText = error.what();
        return false;
    }

  private:
    using Members = std::vector<std::pair<const std::string, json>>;

    json* Place(json value) {
        if (stack_.empty()) {
            root = std::move(value);
            return &root;
        }
        json* parent = stack_.back();
        if (parent->is_array()) {
            parent->push_back(std::move(value));
            return &parent->back();
        }
        *member_ = std::move(value);
        return member_;
    }
    bool Put(json value) {
        if (skipped_ == 0) {
            Place(std::move(value));
        }
        return true;
    }
    bool Open(json::value_t kind) {
        if (skipped_ > 0 || stack_.size() >= kMaxDepth) {
            if (skipped_++ == 0) {
                Place(json(nullptr));
            }
            return true;
        }
        stack_.push_back(Place(json(kind)));
        return true;
    }
    bool Close() {
        if (skipped_ > 0) {
            --skipped_;
        } else {
            stack_.pop_back();
        }
        return true;
    }

    std::vector<json*> stack_;
    json* member_ = nullptr;
    std::size_t skipped_ = 0;
};

// Keeps an error message valid UTF-8 even when it quotes bytes of a broken file.
std::string CleanText(std::string_view text) {
    return Cp1252ToUtf8(Utf8ToCp1252(text));
}

// nlohmann's message without its "[json.exception...] parse error at line x, column y: " prefix.
std::string SyntaxDescription(std::string text) {
    if (text.starts_with("[json.exception.")) {
        if (const auto end = text.find("] "); end != std::string::npos) {
            text.erase(0, end + 2);
        }
    }
    if (text.starts_with("parse error")) {
        if (const auto colon = text.find(": "); colon != std::string::npos) {
            text.erase(0, colon + 2);
        }
    }
    return CleanText(text);
}

// Line and column (in characters, both from 1) of the byte that the parser read last; position
// counts bytes from 1 and is one past the end when the text ended too early.
std::pair<std::size_t, std::size_t> LineAndColumn(std::string_view text, std::size_t position) {
    const std::size_t index = std::min(position == 0 ? 0 : position - 1, text.size());
    std::size_t line = 1;
    std::size_t column = 1;
    std::size_t i = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;  // a byte order mark takes no column
    for (; i < index; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\n') {
            ++line;
            column = 1;
        } else if ((byte & 0xC0) != 0x80) {
            ++column;
        }
    }
    return {line, column};
}

std::string PointerTo(const std::string& parent, std::string_view token) {
    std::string pointer = parent + '/';
    for (const char c : token) {
        if (c == '~') {
            pointer += "~0";
        } else if (c == '/') {
            pointer += "~1";
        } else {
            pointer += c;
        }
    }
    return pointer;
}

std::string PointerTo(const std::string& parent, std::size_t index) {
    return parent + '/' + std::to_string(index);
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// What the scenario asks for, collected first so that a malformed file changes nothing.
struct PendingValue {
    std::int32_t root = 0;
    std::string path;
    std::optional<std::pair<std::string, RawValue>> value;  // none: the key alone
};

class Reader {
  public:
    explicit Reader(std::string_view source) : source_(source) {}

    void ReadDocument(const json& doc) {
        if (!doc.is_object()) {
            Fail("", "expected an object at the top level, found " + Kind(doc));
        }
        CheckUnique(doc, "");
        for (const auto& [name, member] : doc.items()) {
            if (name == "registry") {
                ReadRegistry(member, PointerTo("", name));
            } else if (name == "devices") {
                ReadDevices(member, PointerTo("", name));
            } else {
                Fail(PointerTo("", name), "unknown member; expected \"registry\" or \"devices\"");
            }
        }
    }

    void Apply(DeviceSnapshot& snapshot) {
        for (auto& pending : values_) {
            if (pending.value) {
                snapshot.PutValue(pending.root, pending.path, pending.value->first, std::move(pending.value->second));
            } else {
                snapshot.PutKey(pending.root, pending.path);
            }
        }
        for (auto& device : devices_) {
            snapshot.AddDevice(std::move(device));
        }
    }

  private:
    [[noreturn]] void Fail(const std::string& pointer, const std::string& what) const {
        throw ScenarioError(std::string(source_) + ": " + (pointer.empty() ? "(top level)" : pointer) + ": " + what);
    }

    // Registry value names are unique regardless of letter case, as in the registry itself.
    void CheckUnique(const json& object, const std::string& pointer, bool ignoreCase = false) const {
        std::set<std::string> seen;
        for (const auto& [name, member] : object.items()) {
            if (!seen.insert(ignoreCase ? Capitals(name) : name).second) {
                Fail(PointerTo(pointer, name),
                     ignoreCase ? "this value name occurs twice (letter case is ignored)" : "this member occurs twice");
            }
        }
    }

    static std::string Kind(const json& value) {
        if (value.is_number_float()) {
            return "a number";  // a fraction, an exponent, or an integer beyond 64 bits
        }
        if (value.is_number()) {
            return "an integer";
        }
        const std::string name = value.type_name();
        return name == "array" || name == "object" ? "an " + name : "a " + name;
    }

    void ReadRegistry(const json& registry, const std::string& pointer) {
        if (!registry.is_object()) {
            Fail(pointer, "expected an object of key paths, found " + Kind(registry));
        }
        CheckUnique(registry, pointer);
        for (const auto& [keyPath, values] : registry.items()) {
            const std::string keyPointer = PointerTo(pointer, keyPath);
            const std::size_t slash = keyPath.find('\\');
            const std::string rootName = keyPath.substr(0, slash);
            const std::int32_t root = RootFromName(rootName);
            if (root == 0 || rootName != Capitals(rootName)) {
                Fail(keyPointer,
                     "the key path must start with HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, "
                     "HKEY_USERS or HKEY_CURRENT_CONFIG");
            }
            const std::string path = slash == std::string::npos ? std::string() : keyPath.substr(slash + 1);
            if (slash != std::string::npos && (path.empty() || path.back() == '\\' || path.front() == '\\' ||
                                               path.find("\\\\") != std::string::npos)) {
                Fail(keyPointer, "empty key name in the key path");
            }
            if (!values.is_object()) {
                Fail(keyPointer, "expected an object of values, found " + Kind(values));
            }
            CheckUnique(values, keyPointer, true);
            values_.push_back(PendingValue{root, path, std::nullopt});
            for (const auto& [valueName, value] : values.items()) {
                values_.push_back(
                    PendingValue{root, path, std::pair{valueName, ReadValue(value, PointerTo(keyPointer, valueName))}});
            }
        }
    }

    // ASCII letters in capitals; root names must be written this way, and instance IDs and value
    // names compare through it.
    static std::string Capitals(const std::string& name) {
        std::string upper = name;
        for (char& c : upper) {
            if (c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 'a' + 'A');
            }
        }
        return upper;
    }

    void ReadDevices(const json& devices, const std::string& pointer) {
        if (!devices.is_array()) {
            Fail(pointer, "expected an array of devices, found " + Kind(devices));
        }
        std::map<std::string, std::size_t> seen;  // instance in capitals -> index
        for (std::size_t i = 0; i < devices.size(); ++i) {
            SnapshotDevice device = ReadDevice(devices[i], PointerTo(pointer, i));
            const auto [it, added] = seen.emplace(Capitals(device.instance), i);
            if (!added) {
                Fail(PointerTo(PointerTo(pointer, i), "instance"), "the instance " + Quoted(device.instance) +
                                                                       " is already used by " +
                                                                       PointerTo(pointer, it->second));
            }
            devices_.push_back(std::move(device));
        }
    }

    SnapshotDevice ReadDevice(const json& entry, const std::string& pointer) {
        if (!entry.is_object()) {
            Fail(pointer, "expected a device object, found " + Kind(entry));
        }
        CheckUnique(entry, pointer);
        SnapshotDevice device;
        bool hasInstance = false;
        for (const auto& [name, member] : entry.items()) {
            const std::string memberPointer = PointerTo(pointer, name);
            if (name == "instance") {
                if (!member.is_string()) {
                    Fail(memberPointer, "expected a string, found " + Kind(member));
                }
                if (member.get_ref<const std::string&>().empty()) {
                    Fail(memberPointer, "the instance must not be empty");
                }
                device.instance = member.get<std::string>();
                hasInstance = true;
            } else if (name == "comport_interface" || name == "present") {
                if (!member.is_boolean()) {
                    Fail(memberPointer, "expected true or false, found " + Kind(member));
                }
                (name == "present" ? device.present : device.comportInterface) = member.get<bool>();
            } else if (name == "properties") {
                ReadProperties(member, memberPointer, device);
            } else if (name == "status") {
                device.status = ReadStatus(member, memberPointer);
            } else {
                Fail(memberPointer,
                     "unknown member; expected \"instance\", \"comport_interface\", \"present\", \"properties\" "
                     "or \"status\"");
            }
        }
        if (!hasInstance) {
            Fail(pointer, "missing member \"instance\"");
        }
        return device;
    }

    // {"problem": N}: the device-node status with that problem code (0: working).
    DevNodeStatus ReadStatus(const json& status, const std::string& pointer) const {
        if (!status.is_object()) {
            Fail(pointer, "expected an object like {\"problem\": 28}, found " + Kind(status));
        }
        CheckUnique(status, pointer);
        DevNodeStatus result;
        bool hasProblem = false;
        for (const auto& [name, value] : status.items()) {
            if (name != "problem") {
                Fail(PointerTo(pointer, name), "unknown member; expected \"problem\"");
            }
            result.problem = ReadDword(value, PointerTo(pointer, name));
            hasProblem = true;
        }
        if (!hasProblem) {
            Fail(pointer, "missing member \"problem\"");
        }
        return result;
    }

    void ReadProperties(const json& properties, const std::string& pointer, SnapshotDevice& device) {
        if (!properties.is_object()) {
            Fail(pointer, "expected an object of properties, found " + Kind(properties));
        }
        CheckUnique(properties, pointer);
        for (const auto& [name, value] : properties.items()) {
            const std::string propertyPointer = PointerTo(pointer, name);
            const int code = PropertyCodeFromName(name);
            if (code < 0) {
                Fail(propertyPointer, "unknown property name " + Quoted(name));
            }
            device.properties[static_cast<std::uint32_t>(code)] = ReadValue(value, propertyPointer);
        }
    }

    RawValue ReadValue(const json& value, const std::string& pointer) const {
        if (value.is_string()) {
            return SzValue(value.get_ref<const std::string&>());
        }
        if (value.is_array()) {
            return MultiSzValue(ReadStrings(value, pointer));
        }
        if (value.is_number()) {
            return DwordValue(ReadDword(value, pointer));
        }
        if (value.is_object()) {
            return ReadTypedValue(value, pointer);
        }
        Fail(pointer,
             "expected a string, an array of strings, an integer or an object {\"type\": ..., \"data\" or \"hex\": "
             "...}, found " +
                 Kind(value));
    }

    std::vector<std::string> ReadStrings(const json& array, const std::string& pointer) const {
        std::vector<std::string> strings;
        for (std::size_t i = 0; i < array.size(); ++i) {
            if (!array[i].is_string()) {
                Fail(PointerTo(pointer, i), "expected a string, found " + Kind(array[i]));
            }
            strings.push_back(array[i].get<std::string>());
        }
        return strings;
    }

    // 0..4294967295, or a negative number down to -2147483648 stored as its two's complement.
    std::uint32_t ReadDword(const json& value, const std::string& pointer) const {
        if (value.is_number_unsigned() && value.get<std::uint64_t>() <= std::numeric_limits<std::uint32_t>::max()) {
            return static_cast<std::uint32_t>(value.get<std::uint64_t>());
        }
        if (value.is_number_integer() && !value.is_number_unsigned() &&
            value.get<std::int64_t>() >= std::numeric_limits<std::int32_t>::min()) {
            return static_cast<std::uint32_t>(value.get<std::int64_t>());
        }
        Fail(pointer, "expected an integer from -2147483648 to 4294967295, found " + Describe(value));
    }

    std::uint64_t ReadQword(const json& value, const std::string& pointer) const {
        if (value.is_number_unsigned()) {
            return value.get<std::uint64_t>();
        }
        if (value.is_number_integer()) {
            return static_cast<std::uint64_t>(value.get<std::int64_t>());
        }
        Fail(pointer,
             "expected an integer from -9223372036854775808 to 18446744073709551615, found " + Describe(value));
    }

    // Numbers are quoted, since the range is the usual fault.
    static std::string Describe(const json& value) {
        return value.is_number() ? Kind(value) + " (" + value.dump() + ")" : Kind(value);
    }

    std::uint32_t ReadType(const json& type, const std::string& pointer) const {
        if (type.is_string()) {
            for (const auto& [name, code] : kTypeNames) {
                if (type.get_ref<const std::string&>() == name) {
                    return code;
                }
            }
            Fail(pointer, "unknown type " + Quoted(type.get_ref<const std::string&>()) +
                              "; expected REG_NONE, REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, "
                              "REG_DWORD_BIG_ENDIAN, REG_LINK, REG_MULTI_SZ, REG_QWORD or a number from 8");
        }
        if (type.is_number_unsigned() && type.get<std::uint64_t>() >= kFirstTypeWithoutName &&
            type.get<std::uint64_t>() <= std::numeric_limits<std::uint32_t>::max()) {
            return static_cast<std::uint32_t>(type.get<std::uint64_t>());
        }
        if (type.is_number_unsigned() && type.get<std::uint64_t>() < kFirstTypeWithoutName) {
            Fail(pointer, "type " + type.dump() + " must be given by its name, " +
                              std::string(kTypeNames[type.get<std::size_t>()].first));
        }
        Fail(pointer,
             "expected a type name such as \"REG_SZ\" or a number from 8 to 4294967295, found " + Describe(type));
    }

    RawValue ReadTypedValue(const json& object, const std::string& pointer) const {
        CheckUnique(object, pointer);
        const json* type = nullptr;
        const json* data = nullptr;
        const json* hex = nullptr;
        for (const auto& [name, member] : object.items()) {
            if (name == "type") {
                type = &member;
            } else if (name == "data") {
                data = &member;
            } else if (name == "hex") {
                hex = &member;
            } else {
                Fail(PointerTo(pointer, name), "unknown member; expected \"type\", \"data\" or \"hex\"");
            }
        }
        if (type == nullptr) {
            Fail(pointer, "missing member \"type\"");
        }
        const std::uint32_t code = ReadType(*type, PointerTo(pointer, "type"));
        if ((data == nullptr) == (hex == nullptr)) {
            Fail(pointer,
                 data == nullptr ? "missing member \"data\" or \"hex\"" : "give either \"data\" or \"hex\", not both");
        }
        if (hex != nullptr) {
            return BytesValue(code, ReadHex(*hex, PointerTo(pointer, "hex")));
        }
        const std::string dataPointer = PointerTo(pointer, "data");
        switch (code) {
            case kRegSz:
            case kRegExpandSz:
            case kRegLink:
                if (!data->is_string()) {
                    Fail(dataPointer, "expected a string, found " + Kind(*data));
                }
                return SzValue(data->get_ref<const std::string&>(), code);
            case kRegDword:
            case kRegDwordBigEndian:
                return DwordValue(ReadDword(*data, dataPointer), code);
            case kRegMultiSz:
                if (!data->is_array()) {
                    Fail(dataPointer, "expected an array of strings, found " + Kind(*data));
                }
                return MultiSzValue(ReadStrings(*data, dataPointer));
            case kRegQword: {
                const std::uint64_t number = ReadQword(*data, dataPointer);
                std::vector<std::uint8_t> bytes(8);
                for (std::size_t i = 0; i < bytes.size(); ++i) {
                    bytes[i] = static_cast<std::uint8_t>(number >> (8 * i));
                }
                return BytesValue(code, std::move(bytes));
            }
            default:
                Fail(dataPointer, "this type takes its bytes under \"hex\", not \"data\"");
        }
    }

    // Pairs of hex digits; blanks may stand between the bytes.
    std::vector<std::uint8_t> ReadHex(const json& hex, const std::string& pointer) const {
        if (!hex.is_string()) {
            Fail(pointer, "expected a string of hex digits, found " + Kind(hex));
        }
        const std::string& text = hex.get_ref<const std::string&>();
        std::vector<std::uint8_t> bytes;
        std::size_t i = 0;
        while (i < text.size()) {
            if (text[i] == ' ' || text[i] == '\t') {
                ++i;
                continue;
            }
            const int high = HexDigitValue(text[i]);
            if (high >= 0 && i + 1 == text.size()) {
                Fail(pointer, "an odd number of hex digits");
            }
            const int low = i + 1 < text.size() ? HexDigitValue(text[i + 1]) : -1;
            if (high < 0 || low < 0) {
                Fail(pointer, "expected pairs of hex digits separated by blanks; the problem is at character " +
                                  std::to_string(high < 0 ? i + 1 : i + 2));
            }
            bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
            i += 2;
        }
        return bytes;
    }

    std::string_view source_;
    std::vector<PendingValue> values_;
    std::vector<SnapshotDevice> devices_;
};

}  // namespace

int PropertyCodeFromName(std::string_view name) {
    for (const auto& [propertyName, code] : kPropertyNames) {
        if (propertyName == name) {
            return code;
        }
    }
    return -1;
}

void LoadScenarioText(std::string_view text, std::string_view sourceName, DeviceSnapshot& snapshot) {
    const std::string name = PrintableName(sourceName);
    const auto place = [&](std::size_t position) {
        const auto [line, column] = LineAndColumn(text, position);
        return name + ":" + std::to_string(line) + ":" + std::to_string(column) + ": ";
    };
    // The parser takes a NUL byte for the end of the input; the text before it is parsed alone so
    // that an earlier syntax error still wins.
    const std::size_t nul = text.find('\0');
    const std::string_view parsedText = text.substr(0, nul);
    TreeBuilder builder;
    bool parsed = false;
    try {
        parsed = json::sax_parse(parsedText, &builder);
    } catch (const json::exception& error) {
        throw ScenarioError(name + ": " + SyntaxDescription(error.what()));
    }
    const std::size_t errorAt = builder.errorPosition.value_or(parsedText.size() + 1);
    if (nul != std::string_view::npos && (parsed || errorAt > nul)) {
        throw ScenarioError(place(nul + 1) + "a NUL byte, which no scenario holds");
    }
    if (!parsed) {
        throw ScenarioError(place(errorAt) + SyntaxDescription(builder.errorText));
    }
    Reader reader(name);
    reader.ReadDocument(builder.root);
    reader.Apply(snapshot);
}

namespace {

#ifdef _WIN32
std::string ReadScenarioBytes(const std::filesystem::path& file, std::size_t limit) {
    const std::string name = PrintableName(file.string());
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (error || !std::filesystem::exists(status)) {
        throw ScenarioError(name + ": cannot open the file: not found");
    }
    if (!std::filesystem::is_regular_file(status)) {
        throw ScenarioError(name + ": cannot open the file: not a regular file");
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw ScenarioError(name + ": cannot open the file");
    }
    std::string text;
    std::string block(64 * 1024, '\0');
    while (in) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        text.append(block.data(), static_cast<std::size_t>(in.gcount()));
        if (text.size() > limit) {
            throw ScenarioError(name + ": larger than " + std::to_string(limit) + " bytes, not read");
        }
    }
    if (in.bad()) {
        throw ScenarioError(name + ": cannot read the file");
    }
    return text;
}
#else
std::string ReadScenarioBytes(const std::filesystem::path& file, std::size_t limit) {
    posix::BoundedRead read = posix::ReadBoundedFile(file.string(), limit);
    switch (read.failure) {
        case posix::ReadFailure::None:
            return std::move(read.content);
        case posix::ReadFailure::TooLarge:
            throw ScenarioError(read.message);
        default:
            throw ScenarioError(PrintableName(file.string()) + ": cannot open the file: " + read.cause);
    }
}
#endif

}  // namespace

void LoadScenarioFile(const std::filesystem::path& file, DeviceSnapshot& snapshot, std::size_t limit) {
    LoadScenarioText(ReadScenarioBytes(file, limit), file.string(), snapshot);
}

DeviceSnapshot ScenarioSnapshot(const std::filesystem::path& file) {
    DeviceSnapshot snapshot(CodePage::Windows1252);
    LoadScenarioFile(file, snapshot);
    return snapshot;
}

}  // namespace velmaro::snapshot
