// The registry backend against the system's registry (Wine's, in a fresh prefix): what each call
// answers, that every key it hands out goes back, and the ANSI boundary.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/win_codes.h"
#include "registry/cls_registry.h"
#include "win32/win32_registry.h"

namespace velmaro::win32 {
namespace {

constexpr const char* kTestKey = "Software\\Velmaro backend test";
const RegHandle kCurrentUser = RootHandle(kHkeyCurrentUser);

// A key below HKEY_CURRENT_USER set up through the wide calls, independent of the backend:
// "Text"="COM5", "Number"=12, "Umlaut"="Anschlüsse", subkeys "Sub1" with "Port"="COM3" and
// "Sub2" with "Long", 2000 bytes of binary data.
class Win32RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        SetText(key, L"Text", L"COM5");
        SetText(key, L"Umlaut", L"Anschl\u00fcsse");
        const DWORD twelve = 12;
        RegSetValueExW(key, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&twelve), sizeof(twelve));
        HKEY sub = nullptr;
        RegCreateKeyExW(key, L"Sub1", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr);
        SetText(sub, L"Port", L"COM3");
        RegCloseKey(sub);
        RegCreateKeyExW(key, L"Sub2", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr);
        const std::vector<BYTE> bytes(2000, 0x5A);
        RegSetValueExW(sub, L"Long", 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
        RegCloseKey(sub);
        RegCloseKey(key);
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey); }

    static void SetText(HKEY key, const wchar_t* name, const std::wstring& text) {
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

    Win32Registry registry;
};

std::string Bytes(const std::uint8_t* data, std::uint32_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// Each call as one line: its result, then what it handed back. The key the call works on is the
// test key, opened with read, write and create-link rights.
TEST_F(Win32RegistryTest, CallsAnswerAsTheSystemDoes) {
    struct Row {
        const char* what;
        std::function<std::string(Win32Registry&, RegHandle)> call;
        std::string expected;
    };
    const std::vector<Row> rows = {
        {"open a missing subkey",
         [](Win32Registry& r, RegHandle key) {
             RegHandle sub = 0;
             return std::to_string(r.OpenKeyEx(key, "Missing", kKeyRead, sub)) + " handle=" + std::to_string(sub);
         },
         "2 handle=0"},
        {"open a key below a predefined root",
         [](Win32Registry& r, RegHandle) {
             RegHandle map = 0;
             const auto result = r.OpenKeyEx(RootHandle(kHkeyLocalMachine), "HARDWARE", kKeyRead, map);
             return std::to_string(result) + " closed=" + std::to_string(r.CloseKey(map));
         },
         "0 closed=0"},
        {"size of a text",
         [](Win32Registry& r, RegHandle key) {
             std::uint32_t type = 0;
             std::uint32_t size = 0;
             const auto result = r.QueryValueEx(key, "Text", &type, nullptr, &size);
             return std::to_string(result) + " type=" + std::to_string(type) + " size=" + std::to_string(size);
         },
         "0 type=1 size=5"},
        {"text with an umlaut, in the ANSI code page",
         [](Win32Registry& r, RegHandle key) {
             std::uint8_t data[64] = {};
             std::uint32_t size = sizeof(data);
             const auto result = r.QueryValueEx(key, "Umlaut", nullptr, data, &size);
             return std::to_string(result) + " size=" + std::to_string(size) + " " +
                    r.AnsiToUtf8(Bytes(data, size - 1));
         },
         "0 size=11 Anschl\u00fcsse"},
        {"number into four bytes",
         [](Win32Registry& r, RegHandle key) {
             std::uint32_t type = 0;
             std::uint8_t data[4] = {};
             std::uint32_t size = 4;
             const auto result = r.QueryValueEx(key, "Number", &type, data, &size);
             return std::to_string(result) + " type=" + std::to_string(type) + " value=" + std::to_string(data[0]);
         },
         "0 type=4 value=12"},
        {"missing value",
         [](Win32Registry& r, RegHandle key) {
             std::uint32_t size = 0;
             return std::to_string(r.QueryValueEx(key, "Missing", nullptr, nullptr, &size));
         },
         "2"},
        {"2000 bytes into 1024",
         [](Win32Registry& r, RegHandle key) {
             RegHandle sub = 0;
             r.OpenKeyEx(key, "Sub2", kKeyRead, sub);
             std::vector<std::uint8_t> data(1024);
             std::uint32_t size = 1024;
             const auto result = r.QueryValueEx(sub, "Long", nullptr, data.data(), &size);
             r.CloseKey(sub);
             return std::to_string(result) + " size=" + std::to_string(size);
         },
         "234 size=2000"},
        {"enumerate 2000 bytes into 1024",
         [](Win32Registry& r, RegHandle key) {
             RegHandle sub = 0;
             r.OpenKeyEx(key, "Sub2", kKeyRead, sub);
             char name[1024];
             std::uint32_t length = sizeof(name);
             std::uint32_t type = 0;
             std::vector<std::uint8_t> data(1024);
             std::uint32_t size = 1024;
             const auto result = r.EnumValue(sub, 0, name, length, &type, data.data(), &size);
             r.CloseKey(sub);
             return std::to_string(result);
         },
         "234"},
        {"first subkey",
         [](Win32Registry& r, RegHandle key) {
             char name[1024];
             std::uint32_t length = sizeof(name);
             const auto result = r.EnumKeyEx(key, 0, name, length);
             return std::to_string(result) + " " + std::string(name, length);
         },
         "0 Sub1"},
        {"after the last subkey",
         [](Win32Registry& r, RegHandle key) {
             char name[1024];
             std::uint32_t length = sizeof(name);
             return std::to_string(r.EnumKeyEx(key, 2, name, length));
         },
         "259"},
        {"first value, name and text",
         [](Win32Registry& r, RegHandle key) {
             RegHandle sub = 0;
             r.OpenKeyEx(key, "Sub1", kKeyRead, sub);
             char name[1024];
             std::uint32_t length = sizeof(name);
             std::uint32_t type = 0;
             std::uint8_t data[1024];
             std::uint32_t size = sizeof(data);
             const auto result = r.EnumValue(sub, 0, name, length, &type, data, &size);
             r.CloseKey(sub);
             return std::to_string(result) + " " + std::string(name, length) + " type=" + std::to_string(type) + " " +
                    Bytes(data, size - 1);
         },
         "0 Port type=1 COM3"},
        {"write through a read-only key",
         [](Win32Registry& r, RegHandle) {
             RegHandle readOnly = 0;
             r.OpenKeyEx(kCurrentUser, kTestKey, kKeyRead, readOnly);
             const std::uint8_t data[] = {'x', 0};
             const auto result = r.SetValueEx(readOnly, "New", kRegSz, data, 2);
             r.CloseKey(readOnly);
             return std::to_string(result);
         },
         "5"},
        {"create an existing key, then a new one",
         [](Win32Registry& r, RegHandle key) {
             const SecurityAttributes sa{12, false, true};
             RegHandle sub = 0;
             std::uint32_t existing = 0;
             std::uint32_t created = 0;
             const auto first =
                 r.CreateKeyEx(key, "Sub1", kRegOptionNonVolatile, kKeyReadWriteCreateLink, sa, sub, existing);
             r.CloseKey(sub);
             const auto second =
                 r.CreateKeyEx(key, "Sub3\\Deeper", kRegOptionNonVolatile, kKeyReadWriteCreateLink, sa, sub, created);
             r.CloseKey(sub);
             return std::to_string(first) + " disposition=" + std::to_string(existing) + ", " + std::to_string(second) +
                    " disposition=" + std::to_string(created);
         },
         "0 disposition=2, 0 disposition=1"},
        {"delete a missing value",
         [](Win32Registry& r, RegHandle key) { return std::to_string(r.DeleteValue(key, "Missing")); }, "2"},
        {"delete a key with subkeys",
         [](Win32Registry& r, RegHandle) { return std::to_string(r.DeleteKey(kCurrentUser, kTestKey)); }, "5"},
        {"close the null handle", [](Win32Registry& r, RegHandle) { return std::to_string(r.CloseKey(0)); }, "6"},
        {"query through a closed key",
         [](Win32Registry& r, RegHandle) {
             RegHandle key = 0;
             r.OpenKeyEx(kCurrentUser, kTestKey, kKeyRead, key);
             r.CloseKey(key);
             std::uint32_t size = 0;
             return std::to_string(r.QueryValueEx(key, "Text", nullptr, nullptr, &size)) + " " +
                    std::to_string(r.CloseKey(key));
         },
         "6 6"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        RegHandle key = 0;
        ASSERT_EQ(registry.OpenKeyEx(kCurrentUser, kTestKey, kKeyReadWriteCreateLink, key), kErrorSuccess);
        EXPECT_EQ(row.call(registry, key), row.expected);
        EXPECT_EQ(registry.CloseKey(key), kErrorSuccess);
        EXPECT_EQ(registry.OpenKeyCount(), 0);
    }
}

// The accessor of the core on the real registry: texts with umlauts go in through the ANSI calls
// and come out as the system's wide text, and no operation leaves a key open, failing ones
// included.
TEST_F(Win32RegistryTest, AccessorKeepsTextAndReleasesEveryKey) {
    clsRegistry cReg(registry);
    std::vector<std::int32_t> errors;
    cReg.RegistryError = [&](std::int32_t code) { errors.push_back(code); };
    const std::string path = std::string(kTestKey) + "\\Written";

    cReg.SetNumericValue(kHkeyCurrentUser, path, "Count", -1);
    cReg.SetStringValue(kHkeyCurrentUser, path, "Port", "Standard-Seriell-\u00fcber-Bluetooth (COM4)");
    EXPECT_EQ(cReg.GetStringValue(kHkeyCurrentUser, path, "Port"), "Standard-Seriell-\u00fcber-Bluetooth (COM4)");
    EXPECT_EQ(cReg.GetNumericValue(kHkeyCurrentUser, path, "Count"), -1);
    EXPECT_EQ(cReg.EnumValues(kHkeyCurrentUser, path), (std::vector<std::string>{"Count", "Port"}));
    EXPECT_EQ(cReg.EnumKeys(kHkeyCurrentUser, kTestKey), (std::vector<std::string>{"Sub1", "Sub2", "Written"}));
    EXPECT_EQ(cReg.GetStringValue(kHkeyCurrentUser, path, "Missing"), "");
    EXPECT_EQ(cReg.EnumValues(kHkeyCurrentUser, std::string(kTestKey) + "\\Missing"), std::vector<std::string>{});
    EXPECT_EQ(errors, (std::vector<std::int32_t>{2, 2}));

    wchar_t wide[64] = {};
    DWORD size = sizeof(wide);
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Velmaro backend test\\Written", L"Port", RRF_RT_REG_SZ,
                           nullptr, wide, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(wide), L"Standard-Seriell-\u00fcber-Bluetooth (COM4)");
    EXPECT_EQ(registry.OpenKeyCount(), 0);
}

}  // namespace
}  // namespace velmaro::win32
