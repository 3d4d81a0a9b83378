// The native windows driven by the real presenter over scenario machines: the rows one refresh puts
// into the ListView, the font and colour custom draw gives each cell, where the controls sit in
// pixels at 96 DPI, and the guidance dialog a problem row opens.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "frm_info_window.h"
#include "frm_ports_window.h"
#include "uc_headline_window.h"
#include "view_support.h"
#include "win32/win32_text.h"
#include "window_fixture.h"

namespace velmaro::win32 {
namespace {

// The window over one shipped scenario file.
struct Fixture : ScenarioMachine, WindowOn {
    explicit Fixture(const std::string& scenario) : ScenarioMachine(scenario), WindowOn(machine, machine) {}
    void SetClientSize(int width, int height) {
        RECT outer{}, client{};
        GetWindowRect(window.Handle(), &outer);
        GetClientRect(window.Handle(), &client);
        SetWindowPos(window.Handle(), nullptr, 0, 0, width + (outer.right - outer.left) - client.right,
                     height + (outer.bottom - outer.top) - client.bottom, SWP_NOMOVE | SWP_NOZORDER);
    }
    HWND Child(int id) const { return GetDlgItem(window.Handle(), id); }
};

// --- the rows of one refresh, and how custom draw paints them ---

constexpr COLORREF kRed = RGB(192, 0, 0);
constexpr COLORREF kGreen = RGB(0, 128, 0);
constexpr COLORREF kDefault = CLR_DEFAULT;  // stands for the system's window text colour

// Image indexes of ilst: USB 0, WARNING 1, BT 2, IRDA 3, COM 4.
struct ExpectedRow {
    std::string text;
    std::string subItem;
    int image;
    std::string tag;
    bool bold;
    COLORREF color;
};

struct RowsCase {
    std::string scenario;
    std::vector<ExpectedRow> rows;
    bool problemLine;
};

const std::string kTwice = " - COM Port doppelt belegt";

// Descriptions: "Kommunikationsanschluss" reads "Standard COM Port", the Siemens names are replaced;
// the icon follows USB, then Infrarot/IrDA, then "tooth", else COM; a doubly used number is bold red
// with the warning image, a single Siemens cable bold green.
const RowsCase kRowsCases[] = {
    {"typical-desktop.json",
     {
         {"COM 1", "Standard COM Port", 4, "", false, kDefault},
         {"COM 3", "Siemens USB Kabel DCA-140/540, DSC-100/600", 0, "", true, kGreen},
         {"COM 4", "Standard-Seriell-über-Bluetooth-Verbindung", 2, "", false, kDefault},
         {"COM 5", "Prolific USB-to-Serial Comm Port", 0, "", false, kDefault},
         {"COM 6", "Infrarot-Seriell", 3, "", false, kDefault},
     },
     false},
    {"double-assignments.json",
     {
         {"COM 1", "Standard COM Port", 4, "", false, kDefault},
         {"COM 5", "Siemens USB Kabel DCA-510" + kTwice, 1, "PROBLEM_2XUSED_510", true, kRed},
         {"COM 5", "Standard-Seriell-über-Bluetooth-Verbindung" + kTwice, 1, "PROBLEM_2XUSED_OTHER", true, kRed},
         {"COM 7", "USB Serial Port" + kTwice, 1, "PROBLEM_2XUSED_OTHER", true, kRed},
         {"COM 7", "PCI-Seriell-Anschluss" + kTwice, 1, "PROBLEM_2XUSED_OTHER", true, kRed},
         {"COM 8", "Siemens USB Kabel DCA-140/540, DSC-100/600" + kTwice, 1, "PROBLEM_2XUSED_X40", true, kRed},
         {"COM 8", "CP210x USB to UART Bridge Controller" + kTwice, 1, "PROBLEM_2XUSED_OTHER", true, kRed},
     },
     true},
};

// Sends the sub-item stage of NM_CUSTOMDRAW for one cell; returns the weight of the font selected
// into the DC and the text colour set.
struct DrawnCell {
    LRESULT result;
    LONG weight;
    COLORREF color;
};
DrawnCell CustomDrawCell(Fixture& f, HDC dc, int row, int column) {
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr = {f.window.ListView(), static_cast<UINT_PTR>(kIdLvwPorts), static_cast<UINT>(NM_CUSTOMDRAW)};
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
    draw.nmcd.hdc = dc;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row - 1);
    draw.iSubItem = column;
    draw.clrText = RGB(1, 2, 3);  // whatever the control left from the cell before
    const LRESULT result = SendMessageW(f.window.Handle(), WM_NOTIFY, kIdLvwPorts, reinterpret_cast<LPARAM>(&draw));
    LOGFONTW font{};
    GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof(font), &font);
    return {result, font.lfWeight, draw.clrText};
}

class RowsTest : public ::testing::TestWithParam<RowsCase> {};

TEST_P(RowsTest, OneRefreshFillsTheListViewAndCustomDrawStylesBothColumns) {
    const RowsCase& expected = GetParam();
    Fixture f(expected.scenario);
    f.LoadShowAndTick();

    ListViewPortList& list = f.window.PortList();
    ASSERT_EQ(SendMessageW(f.window.ListView(), LVM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(expected.rows.size()));
    HDC dc = CreateCompatibleDC(nullptr);
    for (std::size_t i = 0; i < expected.rows.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        const ExpectedRow& want = expected.rows[i];
        SCOPED_TRACE("row " + std::to_string(row));
        EXPECT_EQ(list.Text(row), want.text);
        EXPECT_EQ(list.SubItem(row), want.subItem);
        EXPECT_EQ(list.ImageIndex(row), want.image);
        EXPECT_EQ(list.Tag(row), want.tag);
        const COLORREF color = want.color == kDefault ? GetSysColor(COLOR_WINDOWTEXT) : want.color;
        for (int column : {0, 1}) {
            const DrawnCell cell = CustomDrawCell(f, dc, row, column);
            EXPECT_EQ(cell.result, CDRF_NEWFONT) << "column " << column;
            EXPECT_EQ(cell.weight, want.bold ? FW_BOLD : FW_NORMAL) << "column " << column;
            EXPECT_EQ(cell.color, color) << "column " << column;
        }
    }
    DeleteDC(dc);
    const HWND problem = f.Child(kIdLblProblem);
    EXPECT_EQ(IsWindowVisible(problem) != FALSE, expected.problemLine);
    EXPECT_EQ(WindowText(problem), kProblemLineText);
    EXPECT_EQ(WindowText(f.Child(kIdLblLastRefresh)), "Aktualisiert am 04.12.2026 um 09:05:07 Uhr");
    EXPECT_EQ(WindowText(f.window.Handle()), "Velmaro Version 1.0.7 vom 29.05.2007");
}

INSTANTIATE_TEST_SUITE_P(Scenarios, RowsTest, ::testing::ValuesIn(kRowsCases));

// --- where the controls sit, in pixels at 96 DPI (15 twips a pixel) ---

struct PlaceCase {
    int id;
    RECT rect;  // client pixels: left, top, right, bottom
};

// Client 600 x 500 px is 9000 x 7500 twips, m = t = 60. cmdExit: left 9000 - 1455 - 60 = 7485 (499 px),
// top 7500 - 615 - 60 = 6825 (455 px), 97 x 41 px; cmdOpenDevMan left 7485 - 1455 - 120 = 5910 (394 px);
// the headline and the list 9000 - 120 = 8880 wide (592 px); linBut at 6825 - 60 = 6765 (451 px);
// lblProblem top 6765 - 615 - 60 = 6090 (406 px). The link labels: the web pair at 6825 and
// 6825 + 195 = 7020 (468 px), the mail pair level with the buttons' bottom, 7440 - 195 = 7245 (483 px).
// lblStatic and lblLastRefresh stay as designed.
const PlaceCase kPlaces[] = {
    {kIdHdlMain, {4, 4, 596, 21}},
    {kIdLblStatic, {4, 28, 525, 133}},
    {kIdLblLastRefresh, {4, 136, 253, 153}},
    {kIdCmdExit, {499, 455, 596, 496}},
    {kIdCmdOpenDevMan, {394, 455, 491, 496}},
    {kIdLblProblem, {4, 406, 525, 447}},
};
struct TopCase {
    int id;
    int left, top;
};
const TopCase kLinkPlaces[] = {
    {kIdLblUrlPre0, 4, 455},
    {kIdLblUrl0, 4, 468},
    {kIdLblUrlPre1, 4, 483},
    {kIdLblUrl1, 184, 483},
};

TEST(PlacesTest, ControlsSitWhereTheTwipsSayAt96Dpi) {
    for (const bool problem : {false, true}) {
        SCOPED_TRACE(problem ? "problem line shown" : "problem line hidden");
        Fixture f(problem ? "double-assignments.json" : "typical-desktop.json");
        ASSERT_EQ(f.window.Dpi(), 96);
        f.LoadShowAndTick();
        f.SetClientSize(600, 500);
        RECT client{};
        GetClientRect(f.window.Handle(), &client);
        ASSERT_EQ(client.right, 600);
        ASSERT_EQ(client.bottom, 500);

        for (const PlaceCase& place : kPlaces) {
            const RECT rect = ChildRect(f.Child(place.id));
            EXPECT_TRUE(EqualRect(&rect, &place.rect)) << "control " << place.id << " at " << rect.left << ","
                                                       << rect.top << "," << rect.right << "," << rect.bottom;
        }
        // The list ends t above the problem line when it shows: 6090 - 60 - 2280 = 3750 twips (250 px),
        // else above linBut: 6765 - 60 - 2280 = 4425 (295 px).
        const RECT list = ChildRect(f.window.ListView());
        const RECT wantList{4, 152, 596, 152 + (problem ? 250 : 295)};
        EXPECT_TRUE(EqualRect(&list, &wantList)) << list.bottom;
        // Column 1 is 1200 twips (80 px), column 2 8880 - 1200 - 360 = 7320 (488 px).
        EXPECT_EQ(SendMessageW(f.window.ListView(), LVM_GETCOLUMNWIDTH, 0, 0), 80);
        EXPECT_EQ(SendMessageW(f.window.ListView(), LVM_GETCOLUMNWIDTH, 1, 0), 488);
        const RECT line = f.window.Separator().PixelRect();
        const RECT wantLine{4, 451, 596, 452};
        EXPECT_TRUE(EqualRect(&line, &wantLine));
        // The headline's rule 215 twips down (14 px), reaching its right edge.
        const HeadlinePixels headline = HeadlineWindowPixels(f.Child(kIdHdlMain));
        EXPECT_EQ(headline.lineY, 14);
        EXPECT_EQ(headline.lineRight, 592);
        for (const TopCase& link : kLinkPlaces) {
            const RECT rect = ChildRect(f.Child(link.id));
            EXPECT_EQ(rect.left, link.left) << "control " << link.id;
            EXPECT_EQ(rect.top, link.top) << "control " << link.id;
            EXPECT_EQ(rect.bottom - rect.top, 13) << "control " << link.id;
        }
    }
}

// --- the guidance dialog a problem row opens ---

struct DialogSeen {
    bool found = false;
    std::string title, text, nein, ja;
    bool jaVisible = false;
    bool timerEnabled = true;
    RECT client{}, textRect{}, neinRect{}, jaRect{};
};
DialogSeen g_seen;
Fixture* g_fixture = nullptr;

// Runs inside the dialog's modal loop: reads the dialog, then closes it with "Nein"/"OK".
void CALLBACK ReadAndCloseDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = GetLastActivePopup(g_fixture->window.Handle());
    if (!dialog || dialog == g_fixture->window.Handle() || !IsWindowVisible(dialog)) {
        return;  // not up yet: the next tick looks again
    }
    KillTimer(nullptr, timer);
    g_seen.found = true;
    g_seen.title = WindowText(dialog);
    g_seen.text = WindowText(GetDlgItem(dialog, kIdTxtInfo));
    g_seen.nein = WindowText(GetDlgItem(dialog, kIdCmdNein));
    g_seen.ja = WindowText(GetDlgItem(dialog, kIdCmdJa));
    g_seen.jaVisible = IsWindowVisible(GetDlgItem(dialog, kIdCmdJa)) != FALSE;
    g_seen.timerEnabled = g_fixture->window.tmrRefresh().Enabled();
    GetClientRect(dialog, &g_seen.client);
    g_seen.textRect = ChildRect(GetDlgItem(dialog, kIdTxtInfo));
    g_seen.neinRect = ChildRect(GetDlgItem(dialog, kIdCmdNein));
    g_seen.jaRect = ChildRect(GetDlgItem(dialog, kIdCmdJa));
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kIdCmdNein, BN_CLICKED), 0);
}

struct DialogCase {
    int row;
    std::string text;
    std::string nein;
    bool jaVisible;
};

const std::string kT19 =
    "An Ihrem PC ist ein Siemens USB Datenkabel DCA-510 angeschlossen, jedoch ist der bereitgestellte, virtuelle "
    "COM Port doppelt belegt - siehe Tabelle.";
const std::string kT20 =
    "Durch die Doppelbelegung kommt es zu einer Kollision und das Telefon wird durch Verwaltungsprogramme nicht "
    "gefunden. Im Dorvatek Supportforum gibt es eine Anleitung, wie Sie das Problem beheben können.";
const std::string kT21 = "Soll die Anleitung im Internet aufgerufen werden?";
const std::string kT22 = "Der COM Port ist mehrfach belegt - siehe Tabelle.";

// Row 2 of the double assignments is the DCA-510 (a question with "Ja"), row 3 another device (only
// information, "OK"); the generic text is checked by its first paragraph.
const DialogCase kDialogs[] = {
    {2, kT19 + "\r\n" + kT20 + "\r\n" + kT21, "Nein", true},
    {3, kT22 + "\r\n", "OK", false},
};

TEST(GuidanceDialogTest, ARowClickShowsTheDialogForItsCodeAndClosesWithNein) {
    for (const DialogCase& c : kDialogs) {
        SCOPED_TRACE("row " + std::to_string(c.row));
        Fixture f("double-assignments.json");
        f.LoadShowAndTick();
        g_fixture = &f;
        g_seen = {};
        SetTimer(nullptr, 0, 50, ReadAndCloseDialog);
        f.presenter->lvwPorts_ItemClick(c.row);
        g_fixture = nullptr;

        ASSERT_TRUE(g_seen.found);
        EXPECT_EQ(g_seen.title, "Velmaro");
        EXPECT_EQ(g_seen.text.substr(0, c.text.size()), c.text);
        EXPECT_EQ(g_seen.nein, c.nein);
        EXPECT_EQ(g_seen.ja, "Ja");
        EXPECT_EQ(g_seen.jaVisible, c.jaVisible);
        EXPECT_FALSE(g_seen.timerEnabled);  // no refresh under the dialog
        EXPECT_TRUE(f.window.tmrRefresh().Enabled());
        EXPECT_FALSE(f.presenter->InfoDialog().IsLoaded());
        // 7980 x 5100 twips is 532 x 340 px; txtInfo 60, 360, 7815, 3975; cmdNein 6675, 4530, 1215, 495;
        // cmdJa 5340, 4530.
        const RECT client{0, 0, 532, 340}, text{4, 24, 525, 289}, nein{445, 302, 526, 335}, ja{356, 302, 437, 335};
        EXPECT_TRUE(EqualRect(&g_seen.client, &client));
        EXPECT_TRUE(EqualRect(&g_seen.textRect, &text));
        EXPECT_TRUE(EqualRect(&g_seen.neinRect, &nein));
        EXPECT_TRUE(EqualRect(&g_seen.jaRect, &ja));
    }
}

// --- keyboard, z-order, selection and names ---

// Delivers what the window posted to itself, as the message loop would.
void PumpPosted() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Enter (as the dialog manager hands it on: IDOK with the list focused), Space and a double click on
// row 2 open its guidance; on row 1, without a problem, none opens.
TEST(KeyboardTest, EnterSpaceAndDoubleClickOpenTheGuidanceOfAProblemRow) {
    enum class Input { Enter, Space, DoubleClick };
    const struct {
        Input input;
        int row;
        bool opens;
    } cases[] = {
        {Input::Enter, 2, true},  {Input::Space, 2, true},        {Input::DoubleClick, 2, true},
        {Input::Enter, 1, false}, {Input::DoubleClick, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("row " + std::to_string(c.row) + " input " + std::to_string(static_cast<int>(c.input)));
        Fixture f("double-assignments.json");
        f.LoadShowAndTick();
        HWND list = f.window.ListView();
        LVITEMW state{};
        state.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
        state.state = LVIS_FOCUSED | LVIS_SELECTED;
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(c.row - 1), reinterpret_cast<LPARAM>(&state));
        SetFocus(list);
        g_fixture = &f;
        g_seen = {};
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, ReadAndCloseDialog);
        switch (c.input) {
            case Input::Enter:
                SendMessageW(f.window.Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                break;
            case Input::Space: {
                NMLVKEYDOWN key{};
                key.hdr = {list, static_cast<UINT_PTR>(kIdLvwPorts), static_cast<UINT>(LVN_KEYDOWN)};
                key.wVKey = VK_SPACE;
                SendMessageW(f.window.Handle(), WM_NOTIFY, kIdLvwPorts, reinterpret_cast<LPARAM>(&key));
                break;
            }
            case Input::DoubleClick: {
                NMITEMACTIVATE activate{};
                activate.hdr = {list, static_cast<UINT_PTR>(kIdLvwPorts), static_cast<UINT>(NM_DBLCLK)};
                activate.iItem = c.row - 1;
                SendMessageW(f.window.Handle(), WM_NOTIFY, kIdLvwPorts, reinterpret_cast<LPARAM>(&activate));
                break;
            }
        }
        PumpPosted();
        KillTimer(nullptr, timer);
        g_fixture = nullptr;
        EXPECT_EQ(g_seen.found, c.opens);
        EXPECT_FALSE(f.presenter->InfoDialog().IsLoaded());
    }
}

// The dialog manager tabs from the list through the links to the buttons and back; Enter on a
// focused link opens its address; the refresh time lies behind the list.
TEST(KeyboardTest, TabOrderReadsTheWindowAndTheRefreshTimeLiesBehindTheList) {
    Fixture f("typical-desktop.json");
    f.LoadShowAndTick();
    HWND main = f.window.Handle();
    std::vector<int> order;
    HWND control = f.window.ListView();
    for (int i = 0; i < 6; ++i) {
        order.push_back(GetDlgCtrlID(control));
        control = GetNextDlgTabItem(main, control, FALSE);
    }
    EXPECT_EQ(order,
              (std::vector<int>{kIdLvwPorts, kIdLblUrl0, kIdLblUrl1, kIdCmdOpenDevMan, kIdCmdExit, kIdLvwPorts}));

    SetFocus(f.Child(kIdLblUrl1));
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_EQ(f.shell.ExecuteCalls().size(), 1u);
    EXPECT_EQ(f.shell.ExecuteCalls()[0].file, "mailto:feedback@velmaro.example");

    bool behind = false;
    for (HWND below = GetWindow(f.window.ListView(), GW_HWNDNEXT); below; below = GetWindow(below, GW_HWNDNEXT)) {
        behind = behind || below == f.Child(kIdLblLastRefresh);
    }
    EXPECT_TRUE(behind);
    EXPECT_NE(GetWindowLongPtrW(f.Child(kIdLblLastRefresh), GWL_STYLE) & WS_CLIPSIBLINGS, 0);
}

// A selected red row is drawn red on the face colour, not in the highlight's colours; a selected
// plain row keeps the list's own selection.
TEST(SelectionTest, ASelectedProblemRowKeepsItsColour) {
    Fixture f("double-assignments.json");
    f.LoadShowAndTick();
    HDC dc = GetDC(f.window.ListView());
    for (const auto& [row, color, keepsSelection] : {std::tuple(1, kDefault, true), std::tuple(2, kRed, false)}) {
        NMLVCUSTOMDRAW draw{};
        draw.nmcd.hdr = {f.window.ListView(), static_cast<UINT_PTR>(kIdLvwPorts), static_cast<UINT>(NM_CUSTOMDRAW)};
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
        draw.nmcd.hdc = dc;
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row - 1);
        draw.nmcd.uItemState = CDIS_SELECTED;
        draw.iSubItem = 1;
        SendMessageW(f.window.Handle(), WM_NOTIFY, kIdLvwPorts, reinterpret_cast<LPARAM>(&draw));
        EXPECT_EQ((draw.nmcd.uItemState & CDIS_SELECTED) != 0, keepsSelection) << row;
        if (color != kDefault) {
            EXPECT_EQ(draw.clrText, color);
            EXPECT_EQ(draw.clrTextBk, GetSysColor(COLOR_BTNFACE));
        }
    }
    ReleaseDC(f.window.ListView(), dc);
}

// Screen readers name the headline by its caption; the labels and buttons by their texts.
TEST(AccessibleNamesTest, WindowTextsNameTheControls) {
    Fixture f("double-assignments.json");
    f.LoadShowAndTick();
    const std::pair<int, std::string> cases[] = {
        {kIdHdlMain, "Physikalische && virtuelle COM Ports auf diesem PC"},
        {kIdLblUrl0, "https://www.velmaro.example"},
        {kIdCmdOpenDevMan, "Gerätemanager öffnen"},
    };
    for (const auto& [id, text] : cases) {
        EXPECT_EQ(WindowText(f.Child(id)), text) << id;
    }
    EXPECT_EQ(WindowText(f.Child(kIdLblProblem)).substr(0, 17), "Problem entdeckt!");
}

// The role and name a screen reader gets through MSAA for a control or one of its items.
std::pair<long, std::string> ReadAccessible(HWND window, long item) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object)))) {
        return {-1, ""};
    }
    VARIANT child{};
    child.vt = VT_I4;
    child.lVal = item;
    VARIANT role{};
    BSTR name = nullptr;
    const bool read = SUCCEEDED(object->get_accRole(child, &role)) && SUCCEEDED(object->get_accName(child, &name));
    std::pair<long, std::string> result{role.vt == VT_I4 ? role.lVal : 0,
                                        read && name ? WideToUtf8(std::wstring(name, SysStringLen(name))) : ""};
    SysFreeString(name);
    object->Release();
    return result;
}

// Through the accessibility interface: the headline as text by its caption, the addresses as links,
// the rows with their description and, for a problem row, the word "Problem".
TEST(AccessibleNamesTest, ScreenReadersGetRolesAndNames) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    {
        Fixture f("double-assignments.json");
        f.LoadShowAndTick();
        const struct {
            HWND window;
            long item;
            long role;
            std::string name;
        } cases[] = {
            {f.Child(kIdHdlMain), CHILDID_SELF, ROLE_SYSTEM_STATICTEXT,
             "Physikalische & virtuelle COM Ports auf diesem PC"},
            {f.Child(kIdLblUrl0), CHILDID_SELF, ROLE_SYSTEM_LINK, "https://www.velmaro.example"},
            {f.Child(kIdLblUrl1), CHILDID_SELF, ROLE_SYSTEM_LINK, f.window.lblUrl(1).Caption()},
            {f.window.ListView(), 1, ROLE_SYSTEM_LISTITEM, "COM 1, Standard COM Port"},
            {f.window.ListView(), 2, ROLE_SYSTEM_LISTITEM,
             "COM 5, Siemens USB Kabel DCA-510 - COM Port doppelt belegt, Problem"},
        };
        for (const auto& c : cases) {
            EXPECT_EQ(ReadAccessible(c.window, c.item), std::pair(c.role, c.name)) << c.name;
        }
    }
    CoUninitialize();
}

// --- a monitor of another resolution ---

// WM_DPICHANGED: the window takes the suggested frame, the row icons of that resolution, fonts of
// 8.25 points and every control at its twips in the new pixels; and back again.
TEST(DpiTest, AnotherResolutionRescalesIconsFontsAndControls) {
    Fixture f("typical-desktop.json");
    f.LoadShowAndTick();
    const struct {
        int dpi, icon, fontHeight, exitWidth;  // cmdExit 1455 twips wide
    } cases[] = {{144, 24, -17, 146}, {192, 32, -22, 194}, {96, 16, -11, 97}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        // 9000 x 7500 twips, above the smallest frame at any of these resolutions.
        RECT suggested{10, 20, 10 + TwipsToPixels(9000, c.dpi), 20 + TwipsToPixels(7500, c.dpi)};
        SendMessageW(f.window.Handle(), WM_DPICHANGED, MAKEWPARAM(c.dpi, c.dpi), reinterpret_cast<LPARAM>(&suggested));
        RECT frame{};
        GetWindowRect(f.window.Handle(), &frame);
        // The test screen (1024 x 768) holds no frame of the smallest size at 192 DPI.
        const int suggestedWidth = suggested.right - suggested.left, suggestedHeight = suggested.bottom - suggested.top;
        if (suggestedWidth <= GetSystemMetrics(SM_CXMAXTRACK) && suggestedHeight <= GetSystemMetrics(SM_CYMAXTRACK)) {
            EXPECT_EQ(std::pair(frame.right - frame.left, frame.bottom - frame.top),
                      (std::pair<LONG, LONG>(suggestedWidth, suggestedHeight)));
        }
        int width = 0, height = 0;
        auto* images = reinterpret_cast<HIMAGELIST>(SendMessageW(f.window.ListView(), LVM_GETIMAGELIST, LVSIL_SMALL, 0));
        ASSERT_TRUE(ImageList_GetIconSize(images, &width, &height));
        EXPECT_EQ(std::pair(width, height), std::pair(c.icon, c.icon));
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(f.Child(kIdCmdExit), WM_GETFONT, 0, 0)), sizeof(font), &font);
        EXPECT_EQ(font.lfHeight, c.fontHeight);
        const RECT exit = ChildRect(f.Child(kIdCmdExit));
        EXPECT_EQ(exit.right - exit.left, c.exitWidth);
        // Laid out at the new resolution: the exit button one margin (60 twips) from the right edge.
        RECT client{};
        GetClientRect(f.window.Handle(), &client);
        EXPECT_NEAR(client.right - exit.right, TwipsToPixels(60, c.dpi), 1);  // each edge rounded on its own
    }
}

// --- small pieces ---

TEST(ViewSupportTest, TwipsAndPointsConvertAtTheWindowsDpi) {
    struct Case {
        float twips;
        int dpi;
        int pixels;
    };
    const Case cases[] = {{1440, 96, 96}, {15, 96, 1}, {7815, 96, 521}, {2280, 120, 190}, {255, 144, 26}};
    for (const Case& c : cases) {
        EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
    }
    EXPECT_EQ(FontHeightForPoints(8.25f, 96), -11);
    EXPECT_EQ(FontHeightForPoints(9.75f, 96), -13);
    EXPECT_EQ(FontHeightForPoints(8.25f, 120), -14);  // 13.75 rounds up
}

}  // namespace
}  // namespace velmaro::win32
