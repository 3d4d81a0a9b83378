// Looks into a running Velmaro.exe from outside, as a user would see it: window titles, the texts
// of a window's controls, the rows of the port list with their icons and the colour of their text
// on screen; and clicks a row or a button. Output is UTF-8, one record a line, fields split by
// tabs, with \\, \t, \r and \n written as escapes. A TITLE ending in "*" matches every title that
// starts with what comes before.
//
//   probe title TITLE                  the whole titles of all such windows (exit 1 when none)
//   probe controls TITLE               class (in small letters) and text of the visible controls
//   probe rows TITLE                   the list rows: text, sub item 1, icon key, colour of either
//                                      column, a fingerprint of the icon's pixels
//   probe click TITLE ROW              clicks a row (1-based) in its description column
//   probe press TITLE CAPTION          presses a button of a window or message box
//   probe close TITLE                  asks a window to close
#include <windows.h>
// windows.h first: the common controls build on its types.
#include <commctrl.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

// The image keys of the port list in the order the window adds the images.
const wchar_t* const kImageKeys[] = {L"USB", L"WARNING", L"BT", L"IRDA", L"COM"};

// Straight to the handle: the C runtime would translate the UTF-8 bytes.
void Line(const std::vector<std::wstring>& fields) {
    std::wstring line;
    for (const std::wstring& field : fields) {
        line += line.empty() ? L"" : L"\t";
        for (const wchar_t c : field) {
            const wchar_t* escape = c == L'\\' ? L"\\\\" : c == L'\t' ? L"\\t" : c == L'\r' ? L"\\r" : nullptr;
            line += escape ? escape : c == L'\n' ? L"\\n" : std::wstring(1, c);
        }
    }
    line += L"\n";
    char bytes[65536];
    const int size = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), bytes, sizeof(bytes),
                                         nullptr, nullptr);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes, static_cast<DWORD>(size), &written, nullptr);
}

std::wstring TextOf(HWND window) {
    wchar_t text[4096] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    CharLowerW(name);
    return name;
}

// The visible top-level windows whose title matches.
std::vector<HWND> Windows(const std::wstring& title) {
    const bool prefix = !title.empty() && title.back() == L'*';
    const std::wstring wanted = prefix ? title.substr(0, title.size() - 1) : title;
    std::vector<HWND> found;
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, nullptr, nullptr)) != nullptr;) {
        const std::wstring text = IsWindowVisible(window) ? TextOf(window) : L"";
        if (IsWindowVisible(window) && (prefix ? text.starts_with(wanted) : text == wanted)) {
            found.push_back(window);
        }
    }
    return found;
}

// The visible controls of a window, its descendants included.
std::vector<HWND> Controls(HWND parent, const wchar_t* className = nullptr) {
    std::vector<HWND> children;
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    std::erase_if(children, [&](HWND child) {
        return !IsWindowVisible(child) || (className != nullptr && ClassOf(child) != className);
    });
    return children;
}

// Sends the list a message whose lParam points at `data` in the list's process; returns `data` as
// the list left it, and an item's text.
template <typename T>
std::pair<T, std::wstring> Remote(HWND list, UINT message, WPARAM wParam, T data) {
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    auto* address =
        static_cast<char*>(VirtualAllocEx(process, nullptr, 8192, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    wchar_t chars[1024] = {};
    if constexpr (std::is_same_v<T, LVITEMW>) {
        data.pszText = reinterpret_cast<wchar_t*>(address + 1024);
        data.cchTextMax = 1023;
    }
    WriteProcessMemory(process, address, &data, sizeof(data), nullptr);
    SendMessageW(list, message, wParam, reinterpret_cast<LPARAM>(address));
    ReadProcessMemory(process, address, &data, sizeof(data), nullptr);
    ReadProcessMemory(process, address + 1024, chars, sizeof(chars) - sizeof(wchar_t), nullptr);
    VirtualFreeEx(process, address, 0, MEM_RELEASE);
    CloseHandle(process);
    return {data, chars};
}

RECT ScreenRect(HWND list, UINT message, int item, RECT request) {
    RECT answer = Remote(list, message, static_cast<WPARAM>(item), request).first;
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&answer), 2);
    return answer;
}

// The pixels of a screen rectangle, 0x..RRGGBB, row by row.
std::vector<std::uint32_t> ScreenPixels(const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) {
        return {};
    }
    std::vector<std::uint32_t> pixels(width * height);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// The colour of the text drawn in a screen rectangle: "red" or "green" when such ink dominates,
// "plain" for the list's default dark text, "none" without ink.
std::wstring InkColour(const RECT& area) {
    int red = 0, green = 0, dark = 0;
    for (std::uint32_t pixel : ScreenPixels(area)) {
        const int b = pixel & 0xFF, g = (pixel >> 8) & 0xFF, r = (pixel >> 16) & 0xFF;
        red += r > g + 80 && r > b + 80;
        green += g > r + 50 && g > b + 50;
        dark += r < 90 && g < 90 && b < 90;
    }
    return red > green && red > dark ? L"red" : green > red && green > dark ? L"green" : dark ? L"plain" : L"none";
}

// A fingerprint of the picture in a screen rectangle (FNV-1a over its pixels), so that icons can
// be told apart without knowing how they look.
std::wstring Fingerprint(const RECT& area) {
    std::uint64_t hash = 14695981039346656037ull;
    for (std::uint32_t pixel : ScreenPixels(area)) {
        hash = (hash ^ pixel) * 1099511628211ull;
    }
    wchar_t text[17] = {};
    swprintf(text, 17, L"%016llx", static_cast<unsigned long long>(hash));
    return text;
}

// An item's text in one column, and its image.
std::pair<std::wstring, int> Item(HWND list, int item, int column) {
    LVITEMW request{};
    request.mask = LVIF_TEXT | LVIF_IMAGE;
    request.iItem = item;
    request.iSubItem = column;
    const auto [answer, text] = Remote(list, LVM_GETITEMW, 0, request);
    return {text, answer.iImage};
}

int Rows(HWND list) {
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    const int firstWidth = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
    for (int item = 0; item < count; ++item) {
        const auto [first, image] = Item(list, item, 0);
        const std::wstring second = Item(list, item, 1).first;
        const RECT row = ScreenRect(list, LVM_GETITEMRECT, item, RECT{LVIR_BOUNDS, 0, 0, 0});
        RECT label = ScreenRect(list, LVM_GETITEMRECT, item, RECT{LVIR_LABEL, 0, 0, 0});
        label.right = row.left + firstWidth;
        const RECT description = ScreenRect(list, LVM_GETSUBITEMRECT, item, RECT{LVIR_LABEL, 1, 0, 0});
        const RECT icon = ScreenRect(list, LVM_GETITEMRECT, item, RECT{LVIR_ICON, 0, 0, 0});
        const std::wstring key = image >= 0 && image < 5 ? kImageKeys[image] : L"image" + std::to_wstring(image);
        Line({std::to_wstring(item + 1), first, second, key, InkColour(label), InkColour(description),
              Fingerprint(icon)});
    }
    return 0;
}

int Click(HWND list, int row) {
    const RECT cell = ScreenRect(list, LVM_GETSUBITEMRECT, row - 1, RECT{LVIR_LABEL, 1, 0, 0});
    SetForegroundWindow(GetAncestor(list, GA_ROOT));
    SetCursorPos((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    Sleep(100);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, clicks, sizeof(INPUT));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc >= 3 ? argv[1] : L"";
    const std::vector<HWND> windows = argc >= 3 ? Windows(argv[2]) : std::vector<HWND>{};
    if (command == L"title") {
        for (HWND window : windows) {
            Line({TextOf(window)});
        }
    }
    if (windows.empty()) {
        return 1;
    }
    const std::vector<HWND> lists = Controls(windows.front(), L"syslistview32");
    if (command == L"controls") {
        for (HWND control : Controls(windows.front())) {
            Line({ClassOf(control), TextOf(control)});
        }
    } else if (command == L"rows" || (command == L"click" && argc == 4)) {
        return lists.empty() ? 1 : command == L"rows" ? Rows(lists.front()) : Click(lists.front(), _wtoi(argv[3]));
    } else if (command == L"press" && argc == 4) {
        for (HWND button : Controls(windows.front(), L"button")) {
            std::wstring text = TextOf(button);
            std::erase(text, L'&');
            if (text == argv[3]) {
                PostMessageW(button, BM_CLICK, 0, 0);
                return 0;
            }
        }
        return 1;
    } else if (command == L"close") {
        PostMessageW(windows.front(), WM_CLOSE, 0, 0);
    }
    return command == L"title" || command == L"controls" || command == L"close" ? 0 : 2;
}
