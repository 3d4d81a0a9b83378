// Writing, creating and deleting: what reaches the registry, what is created on the way, and the
// gate that keeps deletes off by default.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "registry_fixture.h"

namespace velmaro::testing {
namespace {

using memory::BytesValue;
using memory::DwordValue;
using memory::SzValue;
using Names = std::vector<std::string>;

const std::string kCreate = std::string("RegCreateKeyExA HKCU ") + kKey;

TEST(RegistryProperties, StartValuesAndSetters) {
    memory::MemoryMachine machine;
    clsRegistry reg(machine);
    EXPECT_FALSE(reg.EnableDelete());
    EXPECT_EQ(reg.CurrentKey(), "");
    reg.SetEnableDelete(true);
    reg.SetCurrentKey("HARDWARE\\DEVICEMAP");
    EXPECT_TRUE(reg.EnableDelete());
    EXPECT_EQ(reg.CurrentKey(), "HARDWARE\\DEVICEMAP");
}

using SetValueTest = RegistryTest;

TEST_F(SetValueTest, WritesNumbersAsFourLittleEndianBytes) {
    machine.PutKey(kHkeyCurrentUser, kKey);
    struct Case {
        std::int32_t setting;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {9600, {0x80, 0x25, 0x00, 0x00}},
        {-1, {0xFF, 0xFF, 0xFF, 0xFF}},
        {0x12345678, {0x78, 0x56, 0x34, 0x12}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setting);
        Forget();
        reg.SetNumericValue(kHkeyCurrentUser, kKey, "Baud", c.setting);
        EXPECT_EQ(service.calls, (Names{kOpenWrite, "RegSetValueExA Baud 4 4", "RegCloseKey key"}));
        ASSERT_NE(Find("Baud"), nullptr);
        EXPECT_EQ(*Find("Baud"), BytesValue(kRegDword, c.bytes));
        EXPECT_EQ(events, Names{});
    }
}

TEST_F(SetValueTest, WritesTextWithItsNul) {
    machine.PutKey(kHkeyCurrentUser, kKey);
    struct Case {
        const char* setting;
        std::string bytes;  // as stored, Windows-1252
    } cases[] = {
        {"COM3", std::string("COM3\0", 5)},
        {"", std::string(" \0", 2)},  // an empty text becomes one blank
        {" ", std::string(" \0", 2)},
        {"Schnittstelle für Geräte", std::string("Schnittstelle f\xFCr Ger\xE4te\0", 25)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setting);
        Forget();
        reg.SetStringValue(kHkeyCurrentUser, kKey, "Port", c.setting);
        const std::string write = "RegSetValueExA Port 1 " + std::to_string(c.bytes.size());
        EXPECT_EQ(service.calls, (Names{kOpenWrite, write, "RegCloseKey key"}));
        ASSERT_NE(Find("Port"), nullptr);
        EXPECT_EQ(*Find("Port"), BytesValue(kRegSz, Bytes(c.bytes)));
        EXPECT_EQ(events, Names{});
    }
    // And it reads back as written.
    EXPECT_EQ(reg.GetStringValue(kHkeyCurrentUser, kKey, "Port"), "Schnittstelle für Geräte");
}

TEST_F(SetValueTest, UmlautsInPathAndNameCrossAsWindows1252) {
    reg.SetStringValue(kHkeyCurrentUser, "Software\\Velmaro\\Geräte", "Schnittstelle für Geräte", "Kabel Ü");
    EXPECT_EQ(service.calls.front(), "RegOpenKeyExA HKCU Software\\Velmaro\\Ger\xE4te 0x2003F");
    const auto* stored = machine.FindValue(kHkeyCurrentUser, "Software\\Velmaro\\Geräte", "Schnittstelle für Geräte");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(*stored, SzValue("Kabel Ü"));
    EXPECT_EQ(stored->data, Bytes(std::string_view("Kabel \xDC\0", 8)));
}

TEST_F(SetValueTest, AMissingKeyIsCreatedThenOpenedAgain) {
    reg.SetNumericValue(kHkeyCurrentUser, kKey, "Baud", 19200);
    // The first open answers 2; the key is created, closed and opened again for the write.
    const Names expected = {kOpenWrite,       kCreate, "RegCloseKey key", kOpenWrite, "RegSetValueExA Baud 4 4",
                            "RegCloseKey key"};
    EXPECT_EQ(service.calls, expected);
    EXPECT_EQ(events, Names{});
    ASSERT_NE(Find("Baud"), nullptr);
    EXPECT_EQ(*Find("Baud"), DwordValue(19200));
}

TEST_F(SetValueTest, OnlyWriteResult2IsReported) {
    machine.PutKey(kHkeyCurrentUser, kKey);
    struct Case {
        std::int32_t code;
        Names expectedEvents;
    } cases[] = {
        {kErrorFileNotFound, {"Error 2"}},
        {kErrorAccessDenied, {}},
        {kErrorPathNotFound, {}},
        {kErrorInvalidParameter, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        Forget();
        machine.FailCall("RegSetValueExA", c.code);
        reg.SetNumericValue(kHkeyCurrentUser, kKey, "Baud", 1);
        machine.FailCall("RegSetValueExA", c.code);
        reg.SetStringValue(kHkeyCurrentUser, kKey, "Port", "COM1");
        Names twice = c.expectedEvents;
        twice.insert(twice.end(), c.expectedEvents.begin(), c.expectedEvents.end());
        EXPECT_EQ(events, twice);
        EXPECT_EQ(Find("Baud"), nullptr);
        EXPECT_EQ(Find("Port"), nullptr);
        EXPECT_EQ(machine.OpenKeyCount(), 0);
    }
}

using CreateKeyTest = RegistryTest;

TEST_F(CreateKeyTest, CreatesNonVolatileWithInheritableHandle) {
    reg.CreateKey(kHkeyCurrentUser, kKey);
    EXPECT_TRUE(machine.HasKey(kHkeyCurrentUser, kKey));
    EXPECT_EQ(service.calls, (Names{kCreate, "RegCloseKey key"}));
    EXPECT_EQ(service.createOptions, 0u);
    EXPECT_EQ(service.createAccess, 0x2003Fu);
    EXPECT_EQ(service.createSa.length, 12u);
    EXPECT_FALSE(service.createSa.hasSecurityDescriptor);
    EXPECT_TRUE(service.createSa.inheritHandle);
    EXPECT_EQ(events, Names{});
}

TEST_F(CreateKeyTest, AnExistingKeyIsOpenedAndClosed) {
    Put("Port", SzValue("COM1"));
    Forget();
    reg.CreateKey(kHkeyCurrentUser, kKey);
    EXPECT_EQ(service.calls, (Names{kCreate, "RegCloseKey key"}));
    EXPECT_EQ(events, Names{});
    EXPECT_NE(Find("Port"), nullptr);
}

TEST_F(CreateKeyTest, FailureIsReportedAndTheNullHandleClosed) {
    machine.FailCall("RegCreateKeyExA", kErrorAccessDenied);
    reg.CreateKey(kHkeyCurrentUser, kKey);
    EXPECT_EQ(events, Names{"Error 5"});
    EXPECT_EQ(service.calls, (Names{kCreate, "RegCloseKey null"}));
    EXPECT_FALSE(machine.HasKey(kHkeyCurrentUser, kKey));
}

using WritingOpenTest = RegistryTest;

// A missing key that cannot be created: the creation's code, then 3.
TEST_F(WritingOpenTest, KeyThatCannotBeCreatedRaisesTwice) {
    struct Case {
        const char* what;
        std::function<void(clsRegistry&)> operation;
    } cases[] = {
        {"SetNumericValue", [](clsRegistry& r) { r.SetNumericValue(kHkeyCurrentUser, kKey, "Baud", 1); }},
        {"SetStringValue", [](clsRegistry& r) { r.SetStringValue(kHkeyCurrentUser, kKey, "Port", "COM1"); }},
        {"DeleteValue", [](clsRegistry& r) { r.DeleteValue(kHkeyCurrentUser, kKey, "Port"); }},
    };
    reg.SetEnableDelete(true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Forget();
        machine.FailCall("RegCreateKeyExA", kErrorAccessDenied);
        c.operation(reg);
        EXPECT_EQ(events, (Names{"Error 5", "Error 3"}));
        EXPECT_FALSE(machine.HasKey(kHkeyCurrentUser, kKey));
        // Open, create (fails, null closed), open again (2), and the operation's own close.
        const Names expected = {kOpenWrite, kCreate, "RegCloseKey null", kOpenWrite, "RegCloseKey null"};
        EXPECT_EQ(service.calls, expected);
        EXPECT_EQ(machine.OpenKeyCount(), 0);
    }
}

// Created, but the second open fails: 3, not the second open's own code.
TEST_F(WritingOpenTest, SecondOpenFailingRaises3) {
    machine.FailCall("RegOpenKeyExA", kErrorAccessDenied, 2);
    reg.SetStringValue(kHkeyCurrentUser, kKey, "Port", "COM1");
    EXPECT_EQ(events, Names{"Error 3"});
    EXPECT_TRUE(machine.HasKey(kHkeyCurrentUser, kKey));
    EXPECT_EQ(Find("Port"), nullptr);
}

// Only "not found" leads to creating the key; other open failures are passed on as they are.
TEST_F(WritingOpenTest, OtherOpenFailuresCreateNothing) {
    machine.FailCall("RegOpenKeyExA", kErrorAccessDenied);
    reg.SetNumericValue(kHkeyCurrentUser, kKey, "Baud", 1);
    EXPECT_EQ(events, Names{"Error 5"});
    EXPECT_EQ(service.calls, (Names{kOpenWrite, "RegCloseKey null"}));
    EXPECT_FALSE(machine.HasKey(kHkeyCurrentUser, kKey));
}

using DeleteTest = RegistryTest;

TEST_F(DeleteTest, DeleteKeyOnlyWhenEnabled) {
    machine.PutKey(kHkeyCurrentUser, kKey);
    Forget();
    reg.DeleteKey(kHkeyCurrentUser, kKey);
    EXPECT_TRUE(machine.HasKey(kHkeyCurrentUser, kKey));
    EXPECT_EQ(service.calls, Names{});  // not even an open
    EXPECT_EQ(events, Names{});

    reg.SetEnableDelete(true);
    reg.DeleteKey(kHkeyCurrentUser, kKey);
    EXPECT_FALSE(machine.HasKey(kHkeyCurrentUser, kKey));
    EXPECT_EQ(service.calls, Names{"RegDeleteKeyA HKCU " + std::string(kKey)});
    EXPECT_EQ(events, Names{});

    reg.DeleteKey(kHkeyCurrentUser, kKey);  // gone now
    EXPECT_EQ(events, Names{"Error 2"});
}

TEST_F(DeleteTest, DeleteValueWhileDisabledStillCreatesTheKey) {
    reg.DeleteValue(kHkeyCurrentUser, kKey, "Port");
    EXPECT_TRUE(machine.HasKey(kHkeyCurrentUser, kKey));
    EXPECT_EQ(events, Names{});
    const Names expected = {kOpenWrite, kCreate, "RegCloseKey key", kOpenWrite, "RegCloseKey key"};
    EXPECT_EQ(service.calls, expected);

    Put("Port", SzValue("COM1"));
    reg.DeleteValue(kHkeyCurrentUser, kKey, "Port");
    EXPECT_NE(Find("Port"), nullptr);
}

TEST_F(DeleteTest, DeleteValueWhenEnabled) {
    Put("Port", SzValue("COM1"));
    Put("Baud", DwordValue(9600));
    Forget();
    reg.SetEnableDelete(true);
    reg.DeleteValue(kHkeyCurrentUser, kKey, "Port");
    EXPECT_EQ(Find("Port"), nullptr);
    EXPECT_NE(Find("Baud"), nullptr);
    EXPECT_EQ(service.calls, (Names{kOpenWrite, "RegDeleteValueA Port", "RegCloseKey key"}));
    EXPECT_EQ(events, Names{});

    reg.DeleteValue(kHkeyCurrentUser, kKey, "Port");  // gone now
    EXPECT_EQ(events, Names{"Error 2"});
}

}  // namespace
}  // namespace velmaro::testing
