// The registry and device-information backends against the system's calls (Wine's, in a fresh
// prefix): what each call answers, that every key and set they hand out goes back, and the ANSI
// boundary both ways. The walks over a scenario's devices are read back in tests/wine/backend.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/win_codes.h"
#include "win32/win32_devices.h"
#include "win32/win32_registry.h"
#include "win32/win32_text.h"

namespace velmaro::win32 {
namespace {

const std::string kTestKey = "Software\\Velmaro backend test";
const RegHandle kCurrentUser = RootHandle(kHkeyCurrentUser);

// Written through the wide calls, independent of the backend.
void Put(const std::wstring& sub, const wchar_t* name, DWORD type, const void* data, std::size_t size) {
    const std::wstring path = L"Software\\Velmaro backend test" + sub;
    RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), name, type, data, static_cast<DWORD>(size));
}
void PutText(const std::wstring& sub, const wchar_t* name, const std::wstring& text) {
    Put(sub, name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

// Opens the test key or `sub` below it read-only for one call and gives it back.
std::string ReadOnly(Win32Registry& r, const std::string& sub, const std::function<std::string(RegHandle)>& call) {
    RegHandle key = 0;
    r.OpenKeyEx(kCurrentUser, kTestKey + sub, kKeyRead, key);
    const std::string text = call(key);
    r.CloseKey(key);
    return text;
}

// The code; for 0 also type, size and the value (text in UTF-8, a number's low byte); for 234 the size.
std::string Shown(Win32Registry& r, int code, std::uint32_t type, const std::uint8_t* data, std::uint32_t size) {
    if (code != kErrorSuccess) {
        return std::to_string(code) + (code == kErrorMoreData ? " size=" + std::to_string(size) : "");
    }
    std::string text = "0 type=" + std::to_string(type) + " size=" + std::to_string(size);
    if (data != nullptr) {
        text += " " + (type == kRegSz ? r.AnsiToUtf8(std::string(reinterpret_cast<const char*>(data), size - 1))
                                      : std::to_string(data[0]));
    }
    return text;
}

std::string Query(Win32Registry& r, const std::string& sub, const char* name, std::uint32_t capacity) {
    return ReadOnly(r, sub, [&](RegHandle key) {
        std::vector<std::uint8_t> data(capacity);
        std::uint32_t type = 0;
        std::uint32_t size = capacity;
        std::uint8_t* buffer = capacity ? data.data() : nullptr;
        const auto code = r.QueryValueEx(key, name, &type, buffer, &size);
        return Shown(r, code, type, buffer, size);
    });
}

std::string FirstValue(Win32Registry& r, const std::string& sub) {
    return ReadOnly(r, sub, [&](RegHandle key) {
        char name[1024];
        std::uint32_t length = sizeof(name);
        std::vector<std::uint8_t> data(1024);
        std::uint32_t type = 0;
        std::uint32_t size = 1024;
        const auto code = r.EnumValue(key, 0, name, length, &type, data.data(), &size);
        return (code == kErrorSuccess ? std::string(name, length) + " " : "") + Shown(r, code, type, data.data(), size);
    });
}

std::string Open(Win32Registry& r, RegHandle root, const char* path) {
    RegHandle key = 0;
    const auto result = r.OpenKeyEx(root, path, kKeyRead, key);
    return std::to_string(result) + (key ? " closed=" + std::to_string(r.CloseKey(key)) : " handle=0");
}

std::string Create(Win32Registry& r, RegHandle root, const char* path) {
    RegHandle key = 0;
    std::uint32_t disposition = 0;
    const auto result = r.CreateKeyEx(root, path, kRegOptionNonVolatile, kKeyReadWriteCreateLink,
                                      SecurityAttributes{12, false, true}, key, disposition);
    r.CloseKey(key);
    return std::to_string(result) + " disposition=" + std::to_string(disposition);
}

// Written as ANSI through the backend, read back by the system's wide call.
std::string WrittenAndReadWide(Win32Registry& r, RegHandle key, const std::string& text) {
    const std::string ansi = r.Utf8ToAnsi(text);
    r.SetValueEx(key, "Neu", kRegSz, reinterpret_cast<const std::uint8_t*>(ansi.c_str()), ansi.size() + 1);
    wchar_t wide[64] = {};
    DWORD size = sizeof(wide);
    RegGetValueW(HKEY_CURRENT_USER, L"Software\\Velmaro backend test", L"Neu", RRF_RT_REG_SZ, nullptr, wide, &size);
    return WideToUtf8(wide);
}

std::string Failure(bool result, const Win32Devices& devices) {
    return result ? "true" : "false " + std::to_string(devices.GetLastError());
}

std::string Subkey(Win32Registry& r, RegHandle key, std::uint32_t index) {
    char name[1024];
    std::uint32_t length = sizeof(name);
    const auto result = r.EnumKeyEx(key, index, name, length);
    return std::to_string(result) + (result == kErrorSuccess ? " " + std::string(name, length) : "");
}

// Each call's answer as one line (registry calls on the test key, opened with read, write and
// create-link rights); in the end no key or set of the backends stays open.
TEST(Win32BackendTest, CallsAnswerAsTheSystemDoes) {
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey.c_str());
    const DWORD twelve = 12;
    const std::vector<BYTE> bytes(2000, 0x5A);
    PutText(L"", L"Text", L"COM5");
    PutText(L"", L"Umlaut", L"Anschl\u00fcsse");
    Put(L"", L"Number", REG_DWORD, &twelve, sizeof(twelve));
    PutText(L"\\Sub1", L"Port", L"COM3");
    Put(L"\\Sub2", L"Long", REG_BINARY, bytes.data(), bytes.size());

    Win32Registry r;
    RegHandle key = 0;
    ASSERT_EQ(r.OpenKeyEx(kCurrentUser, kTestKey, kKeyReadWriteCreateLink, key), kErrorSuccess);
    RegHandle closed = 0;
    r.OpenKeyEx(kCurrentUser, kTestKey, kKeyRead, closed);
    r.CloseKey(closed);
    std::uint32_t size = 0;
    const std::uint8_t x[] = {'x', 0};
    const auto write = [&](RegHandle readOnly) { return std::to_string(r.SetValueEx(readOnly, "N", kRegSz, x, 2)); };
    Win32Devices d;
    const DevInfoSet open = d.GetClassDevs(kGuidNull, kDigcfPresent | kDigcfAllClasses);
    const DevInfoSet gone = d.GetClassDevs(kGuidNull, kDigcfPresent | kDigcfAllClasses);
    d.DestroyDeviceInfoList(gone);
    DevInfoData data;
    data.cbSize = kDevInfoDataSize;
    DevInfoData native;
    native.cbSize = 32;  // the callers' record is 28 bytes, the native one 32
    const struct {
        const char* what;
        std::string got;
        std::string expected;
    } rows[] = {
        {"open a missing subkey", Open(r, key, "Missing"), "2 handle=0"},
        {"open a key below a predefined root", Open(r, RootHandle(kHkeyLocalMachine), "HARDWARE"), "0 closed=0"},
        {"size of a text", Query(r, "", "Text", 0), "0 type=1 size=5"},
        {"text with an umlaut, in the ANSI code page", Query(r, "", "Umlaut", 64), "0 type=1 size=11 Anschl\u00fcsse"},
        {"number into four bytes", Query(r, "", "Number", 4), "0 type=4 size=4 12"},
        {"missing value", Query(r, "", "Missing", 0), "2"},
        {"2000 bytes into 1024", Query(r, "\\Sub2", "Long", 1024), "234 size=2000"},
        {"enumerate 2000 bytes into 1024", FirstValue(r, "\\Sub2"), "234 size=2000"},
        {"first value, name and text", FirstValue(r, "\\Sub1"), "Port 0 type=1 size=5 COM3"},
        {"first subkey", Subkey(r, key, 0), "0 Sub1"},
        {"after the last subkey", Subkey(r, key, 2), "259"},
        {"write through a read-only key", ReadOnly(r, "", write), "5"},
        {"create an existing key", Create(r, key, "Sub1"), "0 disposition=2"},
        {"create a new key two levels deep", Create(r, key, "Sub3\\Deeper"), "0 disposition=1"},
        {"write a text with an umlaut", WrittenAndReadWide(r, key, "Seriell \u00fcber Bluetooth (COM4)"),
         "Seriell \u00fcber Bluetooth (COM4)"},
        {"delete a missing value", std::to_string(r.DeleteValue(key, "Missing")), "2"},
        {"delete a key with subkeys", std::to_string(r.DeleteKey(kCurrentUser, kTestKey)), "5"},
        {"close the null handle", std::to_string(r.CloseKey(0)), "6"},
        {"query through a closed key", std::to_string(r.QueryValueEx(closed, "Text", nullptr, nullptr, &size)), "6"},
        {"close a closed key", std::to_string(r.CloseKey(closed)), "6"},
        {"a record in the native layout", Failure(d.EnumDeviceInfo(open, 0, native), d), "false 1784"},
        {"a property of a record in the native layout",
         Failure(d.GetDeviceRegistryProperty(open, native, SPDRP_CLASS, nullptr, nullptr, 0, &size), d), "false 87"},
        {"walk a set already destroyed", Failure(d.EnumDeviceInfo(gone, 0, data), d), "false 6"},
        {"destroy a set already destroyed", Failure(d.DestroyDeviceInfoList(gone), d), "false 6"},
        {"destroy the invalid handle value", Failure(d.DestroyDeviceInfoList(kInvalidHandleValue), d), "false 6"},
        {"destroy an open set", Failure(d.DestroyDeviceInfoList(open), d), "true"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.got, row.expected) << row.what;
    }
    EXPECT_EQ(r.CloseKey(key), kErrorSuccess);
    EXPECT_EQ(r.OpenKeyCount(), 0);
    EXPECT_EQ(d.OpenSetCount(), 0);
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey.c_str());
}

}  // namespace
}  // namespace velmaro::win32
