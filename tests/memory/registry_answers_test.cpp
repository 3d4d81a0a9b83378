// The in-memory registry answers as RegOpenKeyExA & co. do on Windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win_codes.h"
#include "memory/memory_machine.h"

namespace velmaro::memory {
namespace {

const RegHandle kHklm = RootHandle(kHkeyLocalMachine);
constexpr const char* kSerialComm = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

class RegistryAnswers : public ::testing::Test {
  protected:
    RegistryAnswers() {
        machine.PutValue(kHkeyLocalMachine, kSerialComm, "\\Device\\Serial0", SzValue("COM1"));
        machine.PutValue(kHkeyLocalMachine, kSerialComm, "\\Device\\ProlificSerial0", SzValue("COM5"));
        machine.PutValue(kHkeyLocalMachine, kSerialComm, "Empty", BytesValue(kRegSz, {}));
        for (const char* name : {"beta", "Alpha", "_Under", "Zeta"}) {
            machine.PutKey(kHkeyLocalMachine, std::string("SOFTWARE\\Velmaro\\") + name);
        }
    }

    RegHandle Open(const std::string& path, std::uint32_t access = kKeyRead) {
        RegHandle key = 0;
        EXPECT_EQ(machine.OpenKeyEx(kHklm, path, access, key), kErrorSuccess) << path;
        return key;
    }

    MemoryMachine machine;
};

TEST_F(RegistryAnswers, OpenKeyGivesFreshHandlesCountedUntilClosed) {
    const RegHandle first = Open("hardware\\devicemap\\serialcomm");
    const RegHandle second = Open(kSerialComm);
    EXPECT_NE(first, 0u);
    EXPECT_NE(first, second);
    EXPECT_EQ(machine.OpenKeyCount(), 2);

    EXPECT_EQ(machine.CloseKey(first), kErrorSuccess);
    EXPECT_EQ(machine.OpenKeyCount(), 1);
    EXPECT_EQ(machine.CloseKey(first), kErrorInvalidHandle);
    EXPECT_EQ(machine.CloseKey(second), kErrorSuccess);
    EXPECT_EQ(machine.OpenKeyCount(), 0);
}

TEST_F(RegistryAnswers, CloseKeyOfNullAndRootHandles) {
    EXPECT_EQ(machine.CloseKey(0), kErrorInvalidHandle);
    EXPECT_EQ(machine.CloseKey(kHklm), kErrorSuccess);
    EXPECT_EQ(machine.OpenKeyCount(), 0);
}

TEST_F(RegistryAnswers, OpenMissingKeyFailsAndOpensNothing) {
    RegHandle key = 12345;
    EXPECT_EQ(machine.OpenKeyEx(kHklm, "HARDWARE\\DEVICEMAP\\NOPE", kKeyRead, key), kErrorFileNotFound);
    EXPECT_EQ(key, 0u);
    EXPECT_EQ(machine.OpenKeyEx(kHklm, "NOPE\\SERIALCOMM", kKeyRead, key), kErrorFileNotFound);
    EXPECT_EQ(machine.OpenKeyCount(), 0);
}

TEST_F(RegistryAnswers, RootsAreSeparateTrees) {
    RegHandle key = 0;
    EXPECT_EQ(machine.OpenKeyEx(RootHandle(kHkeyCurrentUser), kSerialComm, kKeyRead, key), kErrorFileNotFound);
}

TEST_F(RegistryAnswers, InvalidHandleAnswers6) {
    constexpr RegHandle kBogus = 0x4711;
    std::uint32_t size = 0;
    std::uint32_t length = 10;
    char name[10];
    RegHandle key = 0;
    EXPECT_EQ(machine.QueryValueEx(kBogus, "x", nullptr, nullptr, &size), kErrorInvalidHandle);
    EXPECT_EQ(machine.EnumKeyEx(kBogus, 0, name, length), kErrorInvalidHandle);
    EXPECT_EQ(machine.OpenKeyEx(kBogus, "x", kKeyRead, key), kErrorInvalidHandle);
    EXPECT_EQ(machine.DeleteValue(kBogus, "x"), kErrorInvalidHandle);
}

struct QueryCase {
    const char* label;
    const char* valueName;
    int bufferSize;  // -1: no buffer (size query)
    std::int32_t status;
    std::uint32_t sizeOut;
    std::string bytes;  // expected buffer content on success
};

TEST_F(RegistryAnswers, QueryValueEx) {
    using namespace std::string_literals;
    const QueryCase cases[] = {
        {"size query", "\\Device\\Serial0", -1, kErrorSuccess, 5, ""},
        {"exact buffer", "\\Device\\Serial0", 5, kErrorSuccess, 5, "COM1\0"s},
        {"large buffer", "\\Device\\ProlificSerial0", 64, kErrorSuccess, 5, "COM5\0"s},
        {"buffer one short", "\\Device\\Serial0", 4, kErrorMoreData, 5, ""},
        {"name ignores letter case", "\\DEVICE\\serial0", 5, kErrorSuccess, 5, "COM1\0"s},
        {"missing value", "\\Device\\Serial9", 64, kErrorFileNotFound, 64, ""},
        {"missing default value", "", -1, kErrorFileNotFound, 99, ""},
        {"zero-length value, size query", "Empty", -1, kErrorSuccess, 0, ""},
        {"zero-length value, empty buffer", "Empty", 0, kErrorSuccess, 0, ""},
    };
    const RegHandle key = Open(kSerialComm);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<std::uint8_t> buffer(64, 0xEE);
        std::uint32_t size = c.bufferSize < 0 ? 99 : static_cast<std::uint32_t>(c.bufferSize);
        std::uint32_t type = 0xFFFF;
        EXPECT_EQ(machine.QueryValueEx(key, c.valueName, &type, c.bufferSize < 0 ? nullptr : buffer.data(), &size),
                  c.status);
        EXPECT_EQ(size, c.sizeOut);
        if (c.status != kErrorFileNotFound) {
            EXPECT_EQ(type, kRegSz);
        } else {
            EXPECT_EQ(type, 0xFFFFu);
        }
        if (c.status == kErrorSuccess && c.bufferSize >= 0) {
            EXPECT_EQ(std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + size), Bytes(c.bytes));
        }
    }
    machine.CloseKey(key);
}

TEST_F(RegistryAnswers, ReadOnlyHandleCannotWrite) {
    const RegHandle key = Open(kSerialComm, kKeyQueryValue | kKeyEnumerateSubKeys | kKeyNotify);
    const std::uint8_t data[] = {'X', 0};
    EXPECT_EQ(machine.SetValueEx(key, "x", kRegSz, data, 2), kErrorAccessDenied);
    EXPECT_EQ(machine.DeleteValue(key, "Empty"), kErrorAccessDenied);
    machine.CloseKey(key);
}

TEST_F(RegistryAnswers, CreateKeyMakesIntermediateKeysAndReportsDisposition) {
    RegHandle key = 0;
    std::uint32_t disposition = 0;
    const SecurityAttributes sa{12, false, true};
    EXPECT_EQ(machine.CreateKeyEx(kHklm, "SOFTWARE\\Neu\\Tief", 0, kKeyReadWriteCreateLink, sa, key, disposition),
              kErrorSuccess);
    EXPECT_EQ(disposition, 1u);
    EXPECT_TRUE(machine.HasKey(kHkeyLocalMachine, "SOFTWARE\\Neu"));
    EXPECT_TRUE(machine.HasKey(kHkeyLocalMachine, "software\\neu\\tief"));

    RegHandle again = 0;
    EXPECT_EQ(machine.CreateKeyEx(kHklm, "SOFTWARE\\NEU\\TIEF", 0, kKeyReadWriteCreateLink, sa, again, disposition),
              kErrorSuccess);
    EXPECT_EQ(disposition, 2u);
    EXPECT_NE(again, key);
    EXPECT_EQ(machine.OpenKeyCount(), 2);
    machine.CloseKey(key);
    machine.CloseKey(again);
    EXPECT_EQ(machine.OpenKeyCount(), 0);
}

TEST_F(RegistryAnswers, EnumKeyExInCaseInsensitiveOrder) {
    // Folded to capitals, "_" (0x5F) sorts after "Z" (0x5A).
    const std::vector<std::string> expected = {"Alpha", "beta", "Zeta", "_Under"};
    const RegHandle key = Open("SOFTWARE\\Velmaro");
    for (std::uint32_t i = 0; i < expected.size(); ++i) {
        char name[32];
        std::uint32_t length = sizeof name;
        ASSERT_EQ(machine.EnumKeyEx(key, i, name, length), kErrorSuccess);
        EXPECT_EQ(length, expected[i].size());
        EXPECT_EQ(std::string(name), expected[i]);  // NUL-terminated
    }
    char name[32];
    std::uint32_t length = sizeof name;
    EXPECT_EQ(machine.EnumKeyEx(key, 4, name, length), kErrorNoMoreItems);

    length = 5;  // "Alpha" needs 6 with its NUL
    EXPECT_EQ(machine.EnumKeyEx(key, 0, name, length), kErrorMoreData);
    length = 6;
    EXPECT_EQ(machine.EnumKeyEx(key, 0, name, length), kErrorSuccess);
    EXPECT_EQ(length, 5u);
    machine.CloseKey(key);
}

TEST_F(RegistryAnswers, EnumValueInInsertionOrder) {
    const RegHandle key = Open(kSerialComm);
    const std::vector<std::string> expected = {"\\Device\\Serial0", "\\Device\\ProlificSerial0", "Empty"};
    for (std::uint32_t i = 0; i < expected.size(); ++i) {
        char name[64];
        std::uint32_t length = sizeof name;
        std::uint8_t data[16];
        std::uint32_t size = sizeof data;
        std::uint32_t type = 0;
        ASSERT_EQ(machine.EnumValue(key, i, name, length, &type, data, &size), kErrorSuccess);
        EXPECT_EQ(std::string(name), expected[i]);
        EXPECT_EQ(length, expected[i].size());
        EXPECT_EQ(type, kRegSz);
        EXPECT_EQ(size, i < 2 ? 5u : 0u);
    }
    char name[64];
    std::uint32_t length = sizeof name;
    std::uint8_t data[16];
    std::uint32_t size = sizeof data;
    EXPECT_EQ(machine.EnumValue(key, 3, name, length, nullptr, data, &size), kErrorNoMoreItems);

    size = 4;  // "COM1" and its NUL need 5
    EXPECT_EQ(machine.EnumValue(key, 0, name, length, nullptr, data, &size), kErrorMoreData);
    EXPECT_EQ(size, 5u);

    length = 15;  // "\Device\Serial0" needs 16
    size = sizeof data;
    EXPECT_EQ(machine.EnumValue(key, 0, name, length, nullptr, data, &size), kErrorMoreData);
    machine.CloseKey(key);
}

TEST_F(RegistryAnswers, SetValueStoresBytesAsGivenAndKeepsPlace) {
    const RegHandle key = Open(kSerialComm, kKeyReadWriteCreateLink);
    const std::uint8_t raw[] = {1, 0, 2};
    EXPECT_EQ(machine.SetValueEx(key, "Raw", kRegBinary, raw, 3), kErrorSuccess);
    EXPECT_EQ(machine.SetValueEx(key, "\\device\\serial0", kRegSz, raw, 0), kErrorSuccess);

    ASSERT_NE(machine.FindValue(kHkeyLocalMachine, kSerialComm, "Raw"), nullptr);
    EXPECT_EQ(*machine.FindValue(kHkeyLocalMachine, kSerialComm, "Raw"), BytesValue(kRegBinary, {1, 0, 2}));
    // Overwriting keeps the value's first name and its place in the enumeration.
    char name[64];
    std::uint32_t length = sizeof name;
    std::uint32_t size = 0;
    ASSERT_EQ(machine.EnumValue(key, 0, name, length, nullptr, nullptr, &size), kErrorSuccess);
    EXPECT_EQ(std::string(name), "\\Device\\Serial0");
    EXPECT_EQ(size, 0u);
    machine.CloseKey(key);
}

TEST_F(RegistryAnswers, DeleteKeyAndValue) {
    EXPECT_EQ(machine.DeleteKey(kHklm, "SOFTWARE\\Velmaro"), kErrorAccessDenied);  // has subkeys
    EXPECT_EQ(machine.DeleteKey(kHklm, "SOFTWARE\\Velmaro\\Gamma"), kErrorFileNotFound);
    EXPECT_EQ(machine.DeleteKey(kHklm, "software\\velmaro\\ALPHA"), kErrorSuccess);
    EXPECT_FALSE(machine.HasKey(kHkeyLocalMachine, "SOFTWARE\\Velmaro\\Alpha"));

    const RegHandle key = Open(kSerialComm, kKeyReadWriteCreateLink);
    EXPECT_EQ(machine.DeleteValue(key, "\\Device\\Serial9"), kErrorFileNotFound);
    EXPECT_EQ(machine.DeleteValue(key, "\\Device\\Serial0"), kErrorSuccess);
    EXPECT_EQ(machine.FindValue(kHkeyLocalMachine, kSerialComm, "\\Device\\Serial0"), nullptr);
    machine.CloseKey(key);
}

TEST_F(RegistryAnswers, HandleOfDeletedKeyAnswersKeyDeleted) {
    const RegHandle key = Open("SOFTWARE\\Velmaro\\Zeta", kKeyReadWriteCreateLink);
    ASSERT_EQ(machine.DeleteKey(kHklm, "SOFTWARE\\Velmaro\\Zeta"), kErrorSuccess);
    std::uint32_t size = 0;
    const std::uint8_t data[] = {0};
    EXPECT_EQ(machine.QueryValueEx(key, "x", nullptr, nullptr, &size), kErrorKeyDeleted);
    EXPECT_EQ(machine.SetValueEx(key, "x", kRegSz, data, 1), kErrorKeyDeleted);

    // A new key of the same name is another key; the old handle stays dead.
    machine.PutKey(kHkeyLocalMachine, "SOFTWARE\\Velmaro\\Zeta");
    EXPECT_EQ(machine.QueryValueEx(key, "x", nullptr, nullptr, &size), kErrorKeyDeleted);
    EXPECT_EQ(machine.CloseKey(key), kErrorSuccess);
    EXPECT_EQ(machine.OpenKeyCount(), 0);
}

TEST(RegistryNames, WindowsCodePageBytesCrossTheInterface) {
    MemoryMachine machine;
    machine.PutValue(kHkeyCurrentUser, "Software\\Müller", "Größe", SzValue("Grüße"));
    RegHandle key = 0;
    ASSERT_EQ(machine.OpenKeyEx(RootHandle(kHkeyCurrentUser), "Software\\M\xFCller", kKeyRead, key), kErrorSuccess);
    std::uint8_t data[16];
    std::uint32_t size = sizeof data;
    ASSERT_EQ(machine.QueryValueEx(key,
                                   "Gr\xF6\xDF"
                                   "e",
                                   nullptr, data, &size),
              kErrorSuccess);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), std::string("Gr\xFC\xDF"
                                                                            "e\0",
                                                                            6));
    machine.CloseKey(key);
}

}  // namespace
}  // namespace velmaro::memory
