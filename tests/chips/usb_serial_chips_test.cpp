#include "chips/usb_serial_chips.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "chips/usb_serial_chips_text.h"

namespace velmaro {
namespace {

constexpr const char* kWchPage = "https://www.wch-ic.com/downloads/CH341SER_EXE.html";
constexpr const char* kWchCdcPage = "https://www.wch-ic.com/downloads/CH343SER_EXE.html";
constexpr const char* kSilabsPage = "https://www.silabs.com/developer-tools/usb-to-uart-bridge-vcp-drivers";
constexpr const char* kFtdiPage = "https://ftdichip.com/drivers/vcp-drivers/";
constexpr const char* kProlificPage = "https://www.prolific.com.tw/US/ShowProduct.aspx?p_id=225&pcid=41";

// One good row, written out field by field so that a case can spoil exactly one field.
std::string Row(std::string key,
                std::string family = "WCH CH340",
                std::string module = "ch341",
                std::string driver = "CH341SER",
                std::string page = kWchPage) {
    return key + "\t" + family + "\t" + module + "\t" + driver + "\t" + page;
}

TEST(ChipTableParse, SkipsEveryMalformedLineAndNamesIt) {
    struct Case {
        const char* what;
        std::string line;
    } cases[] = {
        {"four fields", "1a86:7523\tWCH CH340\tch341\tCH341SER"},
        {"six fields", Row("1a86:7523") + "\textra"},
        {"blanks instead of tabs", "1a86:7523 WCH CH340 ch341 CH341SER " + std::string(kWchPage)},
        {"no colon", Row("1a867523")},
        {"dash for colon", Row("1a86-7523")},
        {"three-digit vendor", Row("1a8:7523")},
        {"five-digit product", Row("1a86:75234")},
        {"no hex digit", Row("1g86:7523")},
        {"0x prefix", Row("0x1a86:7523")},
        {"empty product", Row("1a86:")},
        {"vendor star with more", Row("1a86:**")},
        {"class with one digit", Row("class:2/2")},
        {"class without subclass", Row("class:02")},
        {"class with protocol", Row("class:02/02/01")},
        {"class in capitals", Row("CLASS:02/02")},
        {"empty family", Row("1a86:7523", "")},
        {"empty driver", Row("1a86:7523", "WCH CH340", "ch341", "")},
        {"module with a capital", Row("1a86:7523", "WCH CH340", "CH341")},
        {"module with a blank", Row("1a86:7523", "WCH CH340", "ch 341")},
        {"page without https", Row("1a86:7523", "WCH CH340", "ch341", "CH341SER", "www.wch-ic.com")},
        {"page over http", Row("1a86:7523", "WCH CH340", "ch341", "CH341SER", "http://www.wch-ic.com")},
        {"empty page", Row("1a86:7523", "WCH CH340", "ch341", "CH341SER", "")},
        {"blank before the key", " " + Row("1a86:7523")},
        {"blank after the family", Row("1a86:7523", "WCH CH340 ")},
        {"comment sign after a blank", " # not a comment"},
    };
    for (const auto& c : cases) {
        const std::string text = "# a comment\n" + c.line + "\n";
        const ChipTable table = ChipTable::Parse(text);
        EXPECT_TRUE(table.rows().empty()) << c.what;
        EXPECT_EQ(table.malformedLines(), std::vector<int>{2}) << c.what;
    }
    for (const char* text : {"", "\n", "# only a comment", "#\n#\n\n"}) {
        EXPECT_TRUE(ChipTable::Parse(text).rows().empty()) << text;
        EXPECT_TRUE(ChipTable::Parse(text).malformedLines().empty()) << text;
    }
}

TEST(ChipTableParse, KeepsTheGoodRowsAroundABadOne) {
    const std::string lines[] = {
        "# key\tfamily",                      // 1
        "",                                   // 2
        Row("1a86:7523") + "\r",              // 3: a Windows line end
        "  \t ",                              // 4: blank
        Row("1a86:75x3"),                     // 5: malformed
        Row("1A86:7523", "WCH CH340 again"),  // 6: the key of line 3 in capitals
        Row("10C4:EA60", "Silicon Labs CP2102/CP2102N/CP2104", "cp210x", "CP210x VCP", kSilabsPage),
        Row("class:02/02", "USB CDC-ACM", "cdc_acm", "usbser.sys", "-"),
        Row("2341:*", "Arduino", "cdc_acm", "usbser.sys", "-"),
    };
    std::string text;
    for (const auto& line : lines) {
        text += line + "\n";
    }
    text.pop_back();  // the last line has no line end

    const ChipTable table = ChipTable::Parse(text);

    EXPECT_EQ(table.malformedLines(), (std::vector<int>{5, 6}));
    ASSERT_EQ(table.rows().size(), 4u);
    struct Expected {
        ChipKey key;
        std::uint16_t first;
        std::uint16_t second;
        const char* family;
        const char* page;
        int line;
    } expected[] = {
        {ChipKey::Product, 0x1a86, 0x7523, "WCH CH340", kWchPage, 3},
        {ChipKey::Product, 0x10c4, 0xea60, "Silicon Labs CP2102/CP2102N/CP2104", kSilabsPage, 7},
        {ChipKey::InterfaceClass, 0x02, 0x02, "USB CDC-ACM", "", 8},
        {ChipKey::Vendor, 0x2341, 0, "Arduino", "", 9},
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const auto& row = table.rows()[i];
        const auto& e = expected[i];
        EXPECT_EQ(row.key, e.key) << i;
        EXPECT_EQ(row.first, e.first) << i;
        EXPECT_EQ(row.second, e.second) << i;
        EXPECT_EQ(row.chip.family, e.family) << i;
        EXPECT_EQ(row.chip.driverPage, e.page) << i;
        EXPECT_EQ(row.line, e.line) << i;
    }
    // The Windows line end is not part of the last field.
    EXPECT_EQ(table.rows()[0].chip.driverPage.back(), 'l');
}

TEST(ChipTableFind, ExactRowsWinOverTheVendorWideRowWhereverTheyStand) {
    // The vendor-wide row stands between two exact rows of its vendor.
    const std::string text = Row("2341:0043", "Arduino Uno R3", "cdc_acm", "usbser.sys", "-") + "\n" +
                             Row("2341:*", "Arduino", "cdc_acm", "usbser.sys", "-") + "\n" +
                             Row("2341:8036", "Arduino Leonardo", "cdc_acm", "usbser.sys", "-") + "\n" +
                             Row("1a86:7523") + "\n" + Row("class:02/02", "USB CDC-ACM", "cdc_acm", "usbser.sys", "-");
    const ChipTable table = ChipTable::Parse(text);
    ASSERT_TRUE(table.malformedLines().empty());

    struct Case {
        std::uint16_t vid;
        std::uint16_t pid;
        const char* family;  // nullptr: no row
    } cases[] = {
        {0x2341, 0x0043, "Arduino Uno R3"}, {0x2341, 0x8036, "Arduino Leonardo"},
        {0x2341, 0x0058, "Arduino"},        {0x2341, 0x0000, "Arduino"},
        {0x1a86, 0x7523, "WCH CH340"},      {0x1a86, 0x7522, nullptr},  // no vendor-wide row for WCH
        {0x2342, 0x0043, nullptr},          {0x0202, 0x0000, nullptr},  // the class row is no vendor row
        {0x0002, 0x0002, nullptr},
    };
    for (const auto& c : cases) {
        const UsbSerialChip* chip = table.Find(c.vid, c.pid);
        if (c.family == nullptr) {
            EXPECT_EQ(chip, nullptr) << std::hex << c.vid << ":" << c.pid;
        } else {
            ASSERT_NE(chip, nullptr) << std::hex << c.vid << ":" << c.pid;
            EXPECT_EQ(chip->family, c.family) << std::hex << c.vid << ":" << c.pid;
        }
    }
    ASSERT_NE(table.FindByInterfaceClass(0x02, 0x02), nullptr);
    EXPECT_EQ(table.FindByInterfaceClass(0x02, 0x02)->family, "USB CDC-ACM");
    EXPECT_EQ(table.FindByInterfaceClass(0x23, 0x41), nullptr);  // no product row leaks into classes
}

TEST(ParseUsbId, TakesFourHexDigitsOfEitherCase) {
    struct Case {
        const char* text;
        std::optional<std::uint16_t> expected;
    } cases[] = {
        {"1a86", 0x1a86},        {"1A86", 0x1a86},       {"Ea60", 0xea60},       {"0000", 0x0000},
        {"ffff", 0xffff},        {"FFFF", 0xffff},       {"", std::nullopt},     {"1a8", std::nullopt},
        {"1a860", std::nullopt}, {"0x1a", std::nullopt}, {"1g86", std::nullopt}, {" 1a8", std::nullopt},
        {"-1a8", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseUsbId(c.text), c.expected) << c.text;
    }
}

// One row per source named in the table's header, worked out from that source, and a board that
// only a vendor-wide row knows: the lookup hands back the right row with all its fields.
TEST(BuiltInChipTable, KnowsTheChipsOfTodaysCables) {
    struct Case {
        std::uint16_t vid;
        std::uint16_t pid;
        const char* family;
        const char* module;
        const char* driver;
        const char* page;
    } cases[] = {
        {0x1a86, 0x7523, "WCH CH340", "ch341", "CH341SER", kWchPage},                                      // ch341.c
        {0x1a86, 0x55d4, "WCH CH9102", "cdc_acm", "CH343SER", kWchCdcPage},                                // ch343.c
        {0x10c4, 0xea60, "Silicon Labs CP2102/CP2102N/CP2104", "cp210x", "CP210x VCP", kSilabsPage},       // cp210x.c
        {0x0403, 0x6001, "FTDI FT232R", "ftdi_sio", "FTDI VCP", kFtdiPage},                                // ftdi_sio_ids.h
        {0x067b, 0x23a3, "Prolific PL2303GC", "pl2303", "PL2303", kProlificPage},                          // pl2303.h
        {0x04d8, 0x00dd, "Microchip MCP2221", "cdc_acm", "usbser.sys",                                     // hid-ids.h
         "https://www.microchip.com/en-us/product/MCP2221A"},
        {0x2341, 0x0043, "Arduino Uno R3", "cdc_acm", "usbser.sys", ""},                                   // usb.ids
        {0x2e8a, 0x1000, "Raspberry Pi RP2040/RP2350", "cdc_acm", "usbser.sys", ""},                       // vendor-wide
    };
    for (const auto& c : cases) {
        const UsbSerialChip* chip = FindChip(c.vid, c.pid);
        ASSERT_NE(chip, nullptr) << std::hex << c.vid << ":" << c.pid;
        EXPECT_EQ(chip->family, c.family) << std::hex << c.vid << ":" << c.pid;
        EXPECT_EQ(chip->linuxModule, c.module) << c.family;
        EXPECT_EQ(chip->windowsDriver, c.driver) << c.family;
        EXPECT_EQ(chip->driverPage, c.page) << c.family;
    }
}

TEST(BuiltInChipTable, LeavesOutWhatIsNoSerialPort) {
    struct Case {
        std::uint16_t vid;
        std::uint16_t pid;
        const char* why;
    } cases[] = {
        {0x1a86, 0x5512, "CH341 in EPP/I2C mode, dropped from ch341.c"},
        {0x1a86, 0x5584, "CH341 as a printer port"},
        {0x10c4, 0xea80, "CP2110, a HID bridge"},
        {0x10c4, 0xea90, "CP2112, a HID I2C bridge"},
        {0x0403, 0x6002, "a third-party product under FTDI's vendor ID"},
        {0x067b, 0x2305, "PL2305, a parallel port"},
        {0x04d8, 0x9012, "PICkit4"},
        {0x0000, 0x0000, "no device"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindChip(c.vid, c.pid), nullptr) << c.why;
    }
}

TEST(BuiltInChipTable, KnowsOnlyTheCdcAcmClass) {
    const UsbSerialChip* acm = FindChipByInterfaceClass(0x02, 0x02);
    ASSERT_NE(acm, nullptr);
    EXPECT_EQ(acm->linuxModule, "cdc_acm");
    EXPECT_EQ(acm->windowsDriver, "usbser.sys");
    EXPECT_EQ(acm->driverPage, "");
    EXPECT_EQ(FindChipByInterfaceClass(0x02, 0x06), nullptr);  // CDC-ECM: a network adapter
    EXPECT_EQ(FindChipByInterfaceClass(0x0a, 0x00), nullptr);  // CDC data
    EXPECT_EQ(FindChipByInterfaceClass(0xff, 0xff), nullptr);  // vendor-specific
}

TEST(BuiltInChipTable, EveryRowIsWellFormedAndUsesAKnownModule) {
    const ChipTable& table = BuiltInChipTable();
    EXPECT_TRUE(table.malformedLines().empty());
    EXPECT_FALSE(table.rows().empty());
    for (const auto& row : table.rows()) {
        const auto module = row.chip.linuxModule;
        EXPECT_TRUE(module == "ch341" || module == "cp210x" || module == "ftdi_sio" || module == "pl2303" ||
                    module == "cdc_acm")
            << "line " << row.line;
        // Windows brings only its own class driver along; every other driver has its page.
        if (row.chip.driverPage.empty()) {
            EXPECT_EQ(row.chip.windowsDriver, "usbser.sys") << "line " << row.line;
        }
    }
}

TEST(BuiltInChipTable, IsTheResourceFileByteForByte) {
    // The build embeds the file; a stale generated source would show here.
    std::ifstream file(std::string(VELMARO_SCENARIO_DIR) + "/../resources/usb_serial_chips.tsv", std::ios::binary);
    ASSERT_TRUE(file.is_open());
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    EXPECT_EQ(UsbSerialChipsText(), text);
}

}  // namespace
}  // namespace velmaro
