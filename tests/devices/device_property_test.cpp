#include "devices/device_property.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "common/win_codes.h"
#include "device_test_support.h"

namespace velmaro {
namespace {

using memory::BytesValue;
using memory::DwordValue;
using memory::MultiSzValue;
using memory::RawValue;
using memory::SzValue;
using ::testing::_;
using testing::Bench;
using testing::DeviceBuilder;
using ::testing::InSequence;
using ::testing::IsNull;
using testing::kErrorGenFailure;
using testing::MockDevices;
using ::testing::NotNull;
using ::testing::Pointee;
using testing::RecordingMessageBox;
using ::testing::Return;
using ::testing::StrictMock;

constexpr const char* kCantGet = "Error, can't get Regestryproperty";
constexpr const char* kCantRead = "Error while dermitting Regestryproperty";

// --- the call protocol, checked against a scripted service -------------------------------------

constexpr DevInfoSet kSet = 0x4711;

// The size query's answer: fails, reporting the type and the size a read needs.
auto SizeQueryAnswer(std::uint32_t type, std::uint32_t size) {
    return [type, size](DevInfoSet, const DevInfoData&, std::uint32_t, std::uint32_t* regType, std::uint8_t*,
                        std::uint32_t, std::uint32_t* requiredSize) {
        *regType = type;
        *requiredSize = size;
        return false;
    };
}

// The read's answer: fills the buffer with these bytes and succeeds.
auto FillBuffer(std::string bytes) {
    return [bytes](DevInfoSet, const DevInfoData&, std::uint32_t, std::uint32_t*, std::uint8_t* buffer,
                   std::uint32_t bufferSize, std::uint32_t*) {
        EXPECT_LE(bytes.size(), bufferSize);
        std::memcpy(buffer, bytes.data(), bytes.size());
        return true;
    };
}

class GetDevicePropertyProtocol : public ::testing::Test {
  protected:
    void ExpectSizeQuery(std::uint32_t type, std::uint32_t size, std::uint32_t lastError = 122) {
        EXPECT_CALL(devices_, GetDeviceRegistryProperty(kSet, ::testing::Ref(device_), SPDRP_FRIENDLYNAME, NotNull(),
                                                        IsNull(), 0u, NotNull()))
            .WillOnce(SizeQueryAnswer(type, size));
        EXPECT_CALL(devices_, GetLastError()).WillOnce(Return(lastError));
    }
    std::string Read() { return GetDeviceProperty(devices_, messages_, kSet, device_, SPDRP_FRIENDLYNAME); }

    StrictMock<MockDevices> devices_;
    RecordingMessageBox messages_;
    DevInfoData device_{kDevInfoDataSize, {}, 17, 0};
};

TEST_F(GetDevicePropertyProtocol, CharacterTypesReadExactlyTheRequiredSizeAndConvertAllButTheLastByte) {
    for (std::uint32_t type : {kRegSz, kRegExpandSz, kRegBinary, kRegMultiSz}) {
        SCOPED_TRACE(type);
        InSequence order;
        ExpectSizeQuery(type, 5);
        EXPECT_CALL(devices_,
                    GetDeviceRegistryProperty(kSet, ::testing::Ref(device_), SPDRP_FRIENDLYNAME, _, NotNull(), 5u, _))
            .WillOnce(FillBuffer("ABCDE"));
        // The service's own code page conversion, on the bytes before the terminator's place.
        EXPECT_CALL(devices_, AnsiToUtf8(std::string_view("ABCD")))
            .WillOnce(Return("\xC3\x84"
                             "BCD"));
        EXPECT_EQ(Read(),
                  "\xC3\x84"
                  "BCD");
        ::testing::Mock::VerifyAndClearExpectations(&devices_);
    }
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(GetDevicePropertyProtocol, ConvertedTextIsCutAtItsFirstNul) {
    InSequence order;
    ExpectSizeQuery(kRegMultiSz, 8);
    EXPECT_CALL(devices_, GetDeviceRegistryProperty(_, _, _, _, NotNull(), 8u, _))
        .WillOnce(FillBuffer(std::string("AB\0CD\0\0\0", 8)));
    EXPECT_CALL(devices_, AnsiToUtf8(std::string_view("AB\0CD\0\0", 7))).WillOnce(Return(std::string("AB\0CD\0\0", 7)));
    EXPECT_EQ(Read(), "AB");
}

TEST_F(GetDevicePropertyProtocol, NumberTypesReadFourBytesAsSignedLittleEndian) {
    struct Case {
        std::uint32_t type;
        std::string bytes;
        const char* expected;
    } cases[] = {
        {kRegDword, std::string("\x0C\0\0\0", 4), "12"},
        {kRegDword, "\xFF\xFF\xFF\xFF", "-1"},
        {kRegDword, std::string("\0\0\0\x80", 4), "-2147483648"},
        // Big-endian data is still read as the bytes lie: 00 00 00 01 is 0x01000000.
        {kRegDwordBigEndian, std::string("\0\0\0\x01", 4), "16777216"},
        {kRegDwordBigEndian, "\xFF\xFF\xFF\x7F", "2147483647"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        InSequence order;
        ExpectSizeQuery(c.type, 4);
        EXPECT_CALL(devices_,
                    GetDeviceRegistryProperty(kSet, ::testing::Ref(device_), SPDRP_FRIENDLYNAME, _, NotNull(), 4u, _))
            .WillOnce(FillBuffer(c.bytes));
        EXPECT_EQ(Read(), c.expected);
        ::testing::Mock::VerifyAndClearExpectations(&devices_);
    }
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(GetDevicePropertyProtocol, OtherTypesMakeNoSecondCall) {
    // REG_NONE, REG_LINK, REG_RESOURCE_LIST, REG_FULL_RESOURCE_DESCRIPTOR, REG_RESOURCE_REQUIREMENTS_LIST,
    // REG_QWORD
    for (std::uint32_t type : {0u, 6u, 8u, 9u, 10u, 11u}) {
        SCOPED_TRACE(type);
        ExpectSizeQuery(type, 8);
        EXPECT_EQ(Read(), "");
        ::testing::Mock::VerifyAndClearExpectations(&devices_);
    }
    ASSERT_EQ(messages_.shown.size(), 6u);
    for (const auto& shown : messages_.shown) {
        EXPECT_EQ(shown.text, kCantRead);
        EXPECT_EQ(shown.style, MessageStyle::PromptOnly);
    }
}

TEST_F(GetDevicePropertyProtocol, SucceedingSizeQueryGivesEmptyTextWithoutSecondCall) {
    EXPECT_CALL(devices_, GetDeviceRegistryProperty(_, _, _, _, IsNull(), 0u, _)).WillOnce(Return(true));
    EXPECT_EQ(Read(), "");
    EXPECT_TRUE(messages_.shown.empty());
}

// --- on the in-memory machine --------------------------------------------------------------------

// One machine, one device: reads a property of that device back.
struct PropertyProbe {
    std::string ReadOne(std::uint32_t property, RawValue value) {
        bench.machine.AddDevice(DeviceBuilder().Set(property, std::move(value)));
        return ReadFirst(property);
    }
    std::string ReadFirst(std::uint32_t property) {
        DevInfoSet set = bench.machine.GetClassDevs(kGuidNull, kDigcfPresent | kDigcfAllClasses);
        DevInfoData device;
        device.cbSize = kDevInfoDataSize;
        EXPECT_TRUE(bench.machine.EnumDeviceInfo(set, 0, device));
        std::string text = GetDeviceProperty(bench.machine, bench.messages, set, device, property);
        bench.machine.DestroyDeviceInfoList(set);
        return text;
    }
    int PropertyCalls() const { return bench.machine.CallCount("SetupDiGetDeviceRegistryPropertyA"); }

    Bench bench;
};

TEST(GetDevicePropertyOnMachine, ReadsTextsAndNumbers) {
    const std::string longText = std::string(1500, 'x') + "END";
    struct Case {
        const char* name;
        RawValue value;
        std::string expected;
    } cases[] = {
        // 22 characters, required size 23.
        {"sz of 22", SzValue("Prolific USB-to-Serial"), "Prolific USB-to-Serial"},
        {"empty sz", SzValue(""), ""},
        {"expand sz", SzValue("%SystemRoot%\\inf", kRegExpandSz), "%SystemRoot%\\inf"},
        {"multi sz", MultiSzValue({"USB\\VID_067B&PID_2303&REV_0300", "USB\\VID_067B&PID_2303"}),
         "USB\\VID_067B&PID_2303&REV_0300"},
        {"sz over 1024 bytes", SzValue(longText), longText},
        {"embedded NUL", BytesValue(kRegSz, {'C', 'O', 'M', '3', 0, ' ', 0}), "COM3"},
        // Binary data loses its last byte whether or not it is a zero.
        {"binary without zero", BytesValue(kRegBinary, {'A', 'B', 'C', 'D'}), "ABC"},
        {"binary with zero", BytesValue(kRegBinary, {'A', 0, 'B', 0}), "A"},
        {"sz without terminator", BytesValue(kRegSz, {'A', 'B'}), "A"},
        {"dword 12", DwordValue(12), "12"},
        {"dword all bits", DwordValue(0xFFFFFFFFu), "-1"},
        {"dword big endian", BytesValue(kRegDwordBigEndian, {0, 0, 0, 1}), "16777216"},
        {"umlauts", SzValue("Gerät für Übertragung"), "Gerät für Übertragung"},
        // Windows-1252 bytes: euro sign, Ä Ö Ü ß ä, en dash, Y with diaeresis.
        {"cp1252 bytes", BytesValue(kRegSz, {0x80, ' ', 0xC4, 0xD6, 0xDC, 0xDF, 0xE4, 0x96, 0x9F, 0}),
         "\xE2\x82\xAC \xC3\x84\xC3\x96\xC3\x9C\xC3\x9F\xC3\xA4\xE2\x80\x93\xC5\xB8"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        PropertyProbe probe;
        EXPECT_EQ(probe.ReadOne(SPDRP_FRIENDLYNAME, c.value), c.expected);
        EXPECT_TRUE(probe.bench.messages.shown.empty());
        EXPECT_EQ(probe.bench.machine.OpenDeviceInfoSetCount(), 0);
    }
}

TEST(GetDevicePropertyOnMachine, MissingPropertyIsEmptyAndSilent) {
    PropertyProbe probe;
    EXPECT_EQ(probe.ReadOne(SPDRP_FRIENDLYNAME, SzValue("Port (COM1)")), "Port (COM1)");
    EXPECT_EQ(probe.ReadFirst(SPDRP_MFG), "");
    EXPECT_TRUE(probe.bench.messages.shown.empty());
    EXPECT_EQ(probe.PropertyCalls(), 3);  // two for the name, one for the missing maker
}

TEST(GetDevicePropertyOnMachine, UnreadableTypesShowTheSecondMessage) {
    struct Case {
        const char* name;
        RawValue value;
    } cases[] = {
        {"REG_NONE", BytesValue(0, {'A', 'B', 0})},
        {"REG_LINK", BytesValue(6, {'\\', 0, 'x', 0})},
        {"REG_RESOURCE_LIST", BytesValue(8, {1, 2, 3, 4})},
        {"REG_QWORD", BytesValue(11, {1, 0, 0, 0, 0, 0, 0, 0})},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        PropertyProbe probe;
        EXPECT_EQ(probe.ReadOne(SPDRP_FRIENDLYNAME, c.value), "");
        ASSERT_EQ(probe.bench.messages.shown.size(), 1u);
        EXPECT_EQ(probe.bench.messages.shown[0].text, kCantRead);
        EXPECT_EQ(probe.bench.messages.shown[0].style, MessageStyle::PromptOnly);
        EXPECT_EQ(probe.PropertyCalls(), 1);  // no second call
    }
}

TEST(GetDevicePropertyOnMachine, FailedCallsShowTheirMessage) {
    struct Case {
        const char* name;
        RawValue value;
        int nth;
        std::int32_t code;
        std::vector<std::string> messages;
    } cases[] = {
        {"size query access denied", SzValue("x"), 1, kErrorAccessDenied, {kCantGet}},
        {"size query general failure", DwordValue(3), 1, kErrorGenFailure, {kCantGet}},
        {"size query invalid data", SzValue("x"), 1, kErrorInvalidData, {}},
        {"text read fails", SzValue("x"), 2, kErrorGenFailure, {kCantRead}},
        {"number read fails", DwordValue(3), 2, kErrorGenFailure, {kCantRead}},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        PropertyProbe probe;
        probe.bench.machine.FailCall("SetupDiGetDeviceRegistryPropertyA", c.code, c.nth);
        EXPECT_EQ(probe.ReadOne(SPDRP_FRIENDLYNAME, c.value), "");
        EXPECT_EQ(probe.bench.messages.Texts(), c.messages);
        for (const auto& shown : probe.bench.messages.shown) {
            EXPECT_EQ(shown.style, MessageStyle::PromptOnly);
        }
        EXPECT_EQ(probe.bench.machine.OpenDeviceInfoSetCount(), 0);
    }
}

// --- CutAtNull -----------------------------------------------------------------------------------

TEST(CutAtNull, ShortensTheCallersTextAndReturnsIt) {
    struct Case {
        std::string in;
        std::string out;
    } cases[] = {
        {std::string("COM3\0 ", 6), "COM3"}, {std::string("\0abc", 4), ""},         {"COM5", "COM5"}, {"", ""},
        {std::string("a\0b\0c", 5), "a"},    {std::string("Gerät\0x", 8), "Gerät"},
    };
    for (const auto& c : cases) {
        std::string text = c.in;
        EXPECT_EQ(CutAtNull(text), c.out);
        EXPECT_EQ(text, c.out);
    }
}

// --- QueryRegValue on the machine ----------------------------------------------------------------

constexpr const char* kModemKey =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E96D-E325-11CE-BFC1-08002BE10318}\\0000";

// One machine, queried below HKEY_LOCAL_MACHINE; never leaves a key open.
struct QueryProbe {
    QueryProbe() = default;
    QueryProbe(std::string_view name, RawValue stored) {
        bench.machine.PutValue(kHkeyLocalMachine, kModemKey, name, std::move(stored));
    }
    ~QueryProbe() { EXPECT_EQ(bench.machine.OpenKeyCount(), keysRefused); }
    std::int32_t Query(const std::string& path, const std::string& name) {
        return QueryRegValue(bench.machine, kHkeyLocalMachine, path, name, value);
    }

    Bench bench;
    std::optional<RegValue> value;
    int keysRefused = 0;  // closes the system refused; those keys stay open
};

TEST(QueryRegValueOnMachine, DeliversTextWithTerminatorAndOneBlank) {
    const std::string longText(1500, 'y');
    struct Case {
        const char* name;
        RawValue value;
        std::string expected;
    } cases[] = {
        {"COM5", SzValue("COM5"), std::string("COM5\0 ", 6)},
        {"empty", SzValue(""), std::string("\0 ", 2)},
        {"umlauts", SzValue("Anschluß Ü"), std::string("Anschluß Ü\0 ", 14)},
        {"over 1024 bytes", SzValue(longText), longText + std::string("\0 ", 2)},
        {"embedded NUL", BytesValue(kRegSz, {'C', 'O', 'M', '1', 0, 'x', 0}), std::string("COM1\0x\0 ", 8)},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        QueryProbe probe("AttachedTo", c.value);
        EXPECT_EQ(probe.Query(kModemKey, "AttachedTo"), 0);
        ASSERT_TRUE(probe.value.has_value());
        ASSERT_TRUE(std::holds_alternative<std::string>(*probe.value));
        EXPECT_EQ(std::get<std::string>(*probe.value), c.expected);
    }
}

TEST(QueryRegValueOnMachine, DeliversDwordsAsSignedNumbers) {
    struct Case {
        std::uint32_t stored;
        std::int32_t expected;
    } cases[] = {{7, 7}, {0, 0}, {0xFFFFFFFEu, -2}, {0x7FFFFFFFu, 2147483647}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        QueryProbe probe("Number", DwordValue(c.stored));
        EXPECT_EQ(probe.Query(kModemKey, "Number"), 0);
        ASSERT_TRUE(probe.value.has_value());
        ASSERT_TRUE(std::holds_alternative<std::int32_t>(*probe.value));
        EXPECT_EQ(std::get<std::int32_t>(*probe.value), c.expected);
    }
}

TEST(QueryRegValueOnMachine, OtherTypesDeliverNothingWithStatusZero) {
    struct Case {
        const char* name;
        RawValue value;
    } cases[] = {
        {"REG_EXPAND_SZ", SzValue("%x%", kRegExpandSz)},
        {"REG_MULTI_SZ", MultiSzValue({"COM3", "COM4"})},
        {"REG_BINARY", BytesValue(kRegBinary, {'C', 'O', 'M', '3'})},
        {"REG_NONE", BytesValue(kRegNone, {})},
        {"REG_DWORD_BIG_ENDIAN", BytesValue(kRegDwordBigEndian, {0, 0, 0, 3})},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        QueryProbe probe("AttachedTo", c.value);
        EXPECT_EQ(probe.Query(kModemKey, "AttachedTo"), 0);
        EXPECT_FALSE(probe.value.has_value());
    }
}

TEST(QueryRegValueOnMachine, PathAndNameGoThroughTheCodePage) {
    QueryProbe probe;
    probe.bench.machine.PutValue(kHkeyLocalMachine, "SOFTWARE\\Gerät", "Schnittstellenübersicht", SzValue("Müller"));
    EXPECT_EQ(probe.Query("SOFTWARE\\Gerät", "Schnittstellenübersicht"), 0);
    ASSERT_TRUE(probe.value.has_value());
    EXPECT_EQ(std::get<std::string>(*probe.value), std::string("Müller\0 ", 9));
}

TEST(QueryRegValueOnMachine, MissingKeyOrValueGivesTheSystemCode) {
    QueryProbe probe("Other", SzValue("x"));
    EXPECT_EQ(probe.Query(kModemKey, "AttachedTo"), kErrorFileNotFound);
    EXPECT_FALSE(probe.value.has_value());
    EXPECT_EQ(probe.Query("SYSTEM\\NoSuchKey", "AttachedTo"), kErrorFileNotFound);
    EXPECT_FALSE(probe.value.has_value());
    EXPECT_EQ(probe.bench.machine.CallCount("RegCloseKey"), 1);  // only the key that was opened
}

TEST(QueryRegValueOnMachine, FailingCallsReturnTheirStatusAndCloseTheKey) {
    struct Case {
        const char* call;
        int nth;
        std::int32_t code;
        int closes;
    } cases[] = {
        {"RegOpenKeyExA", 1, kErrorAccessDenied, 0},
        {"RegQueryValueExA", 1, kErrorAccessDenied, 1},
        {"RegQueryValueExA", 2, kErrorMoreData, 1},
        {"RegCloseKey", 1, kErrorInvalidHandle, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.call) + " #" + std::to_string(c.nth));
        QueryProbe probe("AttachedTo", SzValue("COM3"));
        probe.bench.machine.FailCall(c.call, c.code, c.nth);
        probe.keysRefused = std::string(c.call) == "RegCloseKey" ? 1 : 0;
        EXPECT_EQ(probe.Query(kModemKey, "AttachedTo"), c.code);
        if (std::string(c.call) != "RegCloseKey") {
            EXPECT_FALSE(probe.value.has_value());
        }
        EXPECT_EQ(probe.bench.machine.CallCount("RegCloseKey"), c.closes);
    }
}

// --- QueryRegValue's call protocol ---------------------------------------------------------------

class MockRegistry : public IRegistryService {
  public:
    MOCK_METHOD(std::int32_t, OpenKeyEx, (RegHandle, const std::string&, std::uint32_t, RegHandle&), (override));
    MOCK_METHOD(std::int32_t,
                CreateKeyEx,
                (RegHandle,
                 const std::string&,
                 std::uint32_t,
                 std::uint32_t,
                 const SecurityAttributes&,
                 RegHandle&,
                 std::uint32_t&),
                (override));
    MOCK_METHOD(std::int32_t, CloseKey, (RegHandle), (override));
    MOCK_METHOD(std::int32_t,
                QueryValueEx,
                (RegHandle, const std::string&, std::uint32_t*, std::uint8_t*, std::uint32_t*),
                (override));
    MOCK_METHOD(std::int32_t,
                SetValueEx,
                (RegHandle, const std::string&, std::uint32_t, const std::uint8_t*, std::uint32_t),
                (override));
    MOCK_METHOD(std::int32_t, EnumKeyEx, (RegHandle, std::uint32_t, char*, std::uint32_t&), (override));
    MOCK_METHOD(std::int32_t,
                EnumValue,
                (RegHandle, std::uint32_t, char*, std::uint32_t&, std::uint32_t*, std::uint8_t*, std::uint32_t*),
                (override));
    MOCK_METHOD(std::int32_t, DeleteKey, (RegHandle, const std::string&), (override));
    MOCK_METHOD(std::int32_t, DeleteValue, (RegHandle, const std::string&), (override));
    MOCK_METHOD(std::string, AnsiToUtf8, (std::string_view), (const, override));
    MOCK_METHOD(std::string, Utf8ToAnsi, (std::string_view), (const, override));
};

constexpr RegHandle kKey = 0x1234;

class QueryRegValueProtocol : public ::testing::Test {
  protected:
    void SetUp() override {
        // Marks converted texts so that the test sees the conversion was used.
        ON_CALL(registry_, Utf8ToAnsi(_)).WillByDefault([](std::string_view s) { return "A:" + std::string(s); });
        EXPECT_CALL(registry_, Utf8ToAnsi(_)).Times(2);
    }
    void ExpectOpen() {
        EXPECT_CALL(registry_, OpenKeyEx(RegHandle{0x80000002u}, std::string("A:SYSTEM\\Key"), 0x19u, _))
            .WillOnce([](RegHandle, const std::string&, std::uint32_t, RegHandle& result) {
                result = kKey;
                return 0;
            });
    }
    void ExpectSizeQuery(std::uint32_t type, std::uint32_t size) {
        EXPECT_CALL(registry_, QueryValueEx(kKey, std::string("A:Value"), NotNull(), IsNull(), NotNull()))
            .WillOnce([type, size](RegHandle, const std::string&, std::uint32_t* t, std::uint8_t*, std::uint32_t* s) {
                *t = type;
                *s = size;
                return 0;
            });
    }
    std::int32_t Query() { return QueryRegValue(registry_, kHkeyLocalMachine, "SYSTEM\\Key", "Value", value_); }

    StrictMock<MockRegistry> registry_;
    std::optional<RegValue> value_;
};

TEST_F(QueryRegValueProtocol, TextIsReadWithTheLearntSizeIntoABlankFilledBuffer) {
    InSequence order;
    ExpectOpen();
    ExpectSizeQuery(kRegSz, 5);
    EXPECT_CALL(registry_, QueryValueEx(kKey, std::string("A:Value"), _, NotNull(), Pointee(5u)))
        .WillOnce([](RegHandle, const std::string&, std::uint32_t*, std::uint8_t* data, std::uint32_t*) {
            EXPECT_EQ(data[5], ' ');  // the extra byte, untouched by the read
            std::memcpy(data, "COM5", 5);
            return 0;
        });
    EXPECT_CALL(registry_, AnsiToUtf8(std::string_view("COM5\0 ", 6))).WillOnce(Return(std::string("com5\0 ", 6)));
    EXPECT_CALL(registry_, CloseKey(kKey)).WillOnce(Return(0));
    EXPECT_EQ(Query(), 0);
    ASSERT_TRUE(value_.has_value());
    EXPECT_EQ(std::get<std::string>(*value_), std::string("com5\0 ", 6));
}

TEST_F(QueryRegValueProtocol, DwordIsReadIntoFourBytes) {
    InSequence order;
    ExpectOpen();
    ExpectSizeQuery(kRegDword, 4);
    EXPECT_CALL(registry_, QueryValueEx(kKey, std::string("A:Value"), _, NotNull(), Pointee(4u)))
        .WillOnce([](RegHandle, const std::string&, std::uint32_t*, std::uint8_t* data, std::uint32_t*) {
            const std::uint8_t bytes[4] = {0x03, 0x01, 0x00, 0x00};
            std::memcpy(data, bytes, 4);
            return 0;
        });
    EXPECT_CALL(registry_, CloseKey(kKey)).WillOnce(Return(0));
    EXPECT_EQ(Query(), 0);
    ASSERT_TRUE(value_.has_value());
    EXPECT_EQ(std::get<std::int32_t>(*value_), 259);
}

TEST_F(QueryRegValueProtocol, CloseResultIsTheStatusWhenAllElseSucceeded) {
    InSequence order;
    ExpectOpen();
    ExpectSizeQuery(kRegBinary, 4);
    EXPECT_CALL(registry_, CloseKey(kKey)).WillOnce(Return(kErrorKeyDeleted));
    EXPECT_EQ(Query(), kErrorKeyDeleted);
    EXPECT_FALSE(value_.has_value());
}

TEST_F(QueryRegValueProtocol, FirstFailureWinsOverTheCloseResult) {
    InSequence order;
    ExpectOpen();
    EXPECT_CALL(registry_, QueryValueEx(kKey, _, _, IsNull(), _)).WillOnce(Return(kErrorFileNotFound));
    EXPECT_CALL(registry_, CloseKey(kKey)).WillOnce(Return(kErrorInvalidHandle));
    EXPECT_EQ(Query(), kErrorFileNotFound);
    EXPECT_FALSE(value_.has_value());
}

}  // namespace
}  // namespace velmaro
