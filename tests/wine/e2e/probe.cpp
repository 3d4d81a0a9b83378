// Looks into a running Velmaro.exe from outside, as a user would see it: the window titles, the
// labels, the rows of the port list with their icons and the colour of their text on screen, the
// guidance dialog and message boxes; and clicks a row or a button. Output is UTF-8, one record a
// line, fields split by tabs, with \\, \t, \r and \n written as escapes.
//
//   probe wait PREFIX MILLISECONDS     waits for a visible top-level window whose title starts so
//   probe title PREFIX                 prints the whole titles of all such windows
//   probe labels PREFIX                prints the visible static texts
//   probe rows PREFIX                  prints the list rows: text, sub item 1, icon key, colours,
//                                      a fingerprint of the icon's pixels
//   probe click PREFIX ROW             clicks a row (1-based) in its description column
//   probe dialog TITLE                 prints the edit text and the visible buttons of a window
//   probe press TITLE CAPTION          presses a button of a window or message box
//   probe close PREFIX                 asks a window to close
#include <windows.h>
// windows.h first: the common controls build on its types.
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// The image keys of the port list in the order the window adds the images.
const char* const kImageKeys[] = {"USB", "WARNING", "BT", "IRDA", "COM"};

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::string Escaped(const std::wstring& text) {
    std::string out;
    for (char c : Utf8(text)) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// Straight to the handle: the C runtime would translate the UTF-8 bytes.
void Line(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        line += (i ? "\t" : "") + fields[i];
    }
    line += "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

std::wstring WindowText(HWND window) {
    wchar_t text[4096] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return name;
}

struct Search {
    std::wstring title;
    bool prefix;
    std::vector<HWND> found;
};

// The visible top-level windows whose title is the given one or, with prefix, starts with it.
std::vector<HWND> FindTopLevels(const std::wstring& title, bool prefix) {
    Search search{title, prefix, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            const std::wstring text = IsWindowVisible(window) ? WindowText(window) : std::wstring();
            if (IsWindowVisible(window) && (s.prefix ? text.rfind(s.title, 0) == 0 : text == s.title)) {
                s.found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindTopLevel(const std::wstring& title, bool prefix) {
    const std::vector<HWND> found = FindTopLevels(title, prefix);
    return found.empty() ? nullptr : found.front();
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

HWND ChildOfClass(HWND parent, const wchar_t* className) {
    for (HWND child : Children(parent)) {
        if (_wcsicmp(ClassOf(child).c_str(), className) == 0) {
            return child;
        }
    }
    return nullptr;
}

// Memory in the window's process, for the list view messages that carry pointers.
class RemoteBuffer {
  public:
    RemoteBuffer(HWND window, std::size_t size) : size_(size) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (process_ != nullptr) {
            address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        }
    }
    ~RemoteBuffer() {
        if (address_ != nullptr) {
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        }
        if (process_ != nullptr) {
            CloseHandle(process_);
        }
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    bool Ok() const { return address_ != nullptr; }
    char* At(std::size_t offset) const { return static_cast<char*>(address_) + offset; }
    void Write(std::size_t offset, const void* data, std::size_t size) const {
        WriteProcessMemory(process_, At(offset), data, size, nullptr);
    }
    void Read(std::size_t offset, void* data, std::size_t size) const {
        ReadProcessMemory(process_, At(offset), data, size, nullptr);
    }

  private:
    std::size_t size_;
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
};

constexpr std::size_t kTextOffset = 1024;
constexpr int kTextChars = 1024;

std::wstring ItemText(HWND list, const RemoteBuffer& remote, int item, int subItem, int* image) {
    LVITEMW request{};
    request.mask = LVIF_TEXT | (image ? LVIF_IMAGE : 0);
    request.iItem = item;
    request.iSubItem = subItem;
    request.pszText = reinterpret_cast<wchar_t*>(remote.At(kTextOffset));
    request.cchTextMax = kTextChars;
    remote.Write(0, &request, sizeof(request));
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.At(0)));
    remote.Read(0, &request, sizeof(request));
    std::vector<wchar_t> text(kTextChars + 1, L'\0');
    remote.Read(kTextOffset, text.data(), kTextChars * sizeof(wchar_t));
    if (image) {
        *image = request.iImage;
    }
    return text.data();
}

RECT RemoteRect(HWND list, const RemoteBuffer& remote, UINT message, int item, RECT request) {
    remote.Write(0, &request, sizeof(request));
    SendMessageW(list, message, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(remote.At(0)));
    RECT answer{};
    remote.Read(0, &answer, sizeof(answer));
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&answer), 2);
    return answer;
}

// The pixels of a screen rectangle, 0x00RRGGBB, row by row.
std::vector<std::uint32_t> ScreenPixels(const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) {
        return {};
    }
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    const auto* first = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(first, first + width * height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    for (std::uint32_t& pixel : pixels) {
        pixel &= 0xFFFFFF;
    }
    return pixels;
}

// The colour of the text drawn in a screen rectangle: "red" or "green" when such ink dominates,
// "plain" for the list's default dark text, "none" without ink.
std::string InkColour(const RECT& area) {
    int red = 0, green = 0, dark = 0;
    for (std::uint32_t pixel : ScreenPixels(area)) {
        const int b = pixel & 0xFF, g = (pixel >> 8) & 0xFF, r = (pixel >> 16) & 0xFF;
        if (r > g + 80 && r > b + 80) {
            ++red;
        } else if (g > r + 50 && g > b + 50) {
            ++green;
        } else if (r < 90 && g < 90 && b < 90) {
            ++dark;
        }
    }
    if (red > green && red > dark) {
        return "red";
    }
    if (green > red && green > dark) {
        return "green";
    }
    return dark > 0 ? "plain" : "none";
}

// A fingerprint of the picture in a screen rectangle (FNV-1a over its pixels), so that icons can
// be told apart without knowing how they look.
std::string Fingerprint(const RECT& area) {
    std::uint64_t hash = 14695981039346656037ull;
    for (std::uint32_t pixel : ScreenPixels(area)) {
        hash = (hash ^ pixel) * 1099511628211ull;
    }
    char text[17] = {};
    std::snprintf(text, sizeof(text), "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

HWND ListOf(const std::wstring& prefix) {
    HWND window = FindTopLevel(prefix, true);
    return window ? ChildOfClass(window, WC_LISTVIEWW) : nullptr;
}

int Rows(const std::wstring& prefix) {
    HWND list = ListOf(prefix);
    if (list == nullptr) {
        return 1;
    }
    RemoteBuffer remote(list, kTextOffset + (kTextChars + 1) * sizeof(wchar_t));
    if (!remote.Ok()) {
        return 1;
    }
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    const int firstWidth = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
    for (int item = 0; item < count; ++item) {
        int image = -1;
        const std::wstring first = ItemText(list, remote, item, 0, &image);
        const std::wstring second = ItemText(list, remote, item, 1, nullptr);
        RECT label = RemoteRect(list, remote, LVM_GETITEMRECT, item, RECT{LVIR_LABEL, 0, 0, 0});
        RECT row = RemoteRect(list, remote, LVM_GETITEMRECT, item, RECT{LVIR_BOUNDS, 0, 0, 0});
        label.right = row.left + firstWidth;
        const RECT description = RemoteRect(list, remote, LVM_GETSUBITEMRECT, item, RECT{LVIR_LABEL, 1, 0, 0});
        const RECT icon = RemoteRect(list, remote, LVM_GETITEMRECT, item, RECT{LVIR_ICON, 0, 0, 0});
        const std::string key = image >= 0 && image < 5 ? kImageKeys[image] : "image" + std::to_string(image);
        Line({std::to_string(item + 1), Escaped(first), Escaped(second), key, InkColour(label), InkColour(description),
              Fingerprint(icon)});
    }
    return 0;
}

int Click(const std::wstring& prefix, int row) {
    HWND list = ListOf(prefix);
    if (list == nullptr) {
        return 1;
    }
    RemoteBuffer remote(list, sizeof(RECT));
    const RECT cell = RemoteRect(list, remote, LVM_GETSUBITEMRECT, row - 1, RECT{LVIR_LABEL, 1, 0, 0});
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

int Labels(const std::wstring& prefix) {
    HWND window = FindTopLevel(prefix, true);
    if (window == nullptr) {
        return 1;
    }
    for (HWND child : Children(window)) {
        if (IsWindowVisible(child) && _wcsicmp(ClassOf(child).c_str(), L"Static") == 0) {
            Line({"label", Escaped(WindowText(child))});
        }
    }
    return 0;
}

int Dialog(const std::wstring& title) {
    HWND window = FindTopLevel(title, false);
    if (window == nullptr) {
        return 1;
    }
    Line({"class", Escaped(ClassOf(window))});
    for (HWND child : Children(window)) {
        if (!IsWindowVisible(child)) {
            continue;
        }
        const std::wstring kind = ClassOf(child);
        if (_wcsicmp(kind.c_str(), L"Edit") == 0) {
            Line({"text", Escaped(WindowText(child))});
        } else if (_wcsicmp(kind.c_str(), L"Button") == 0) {
            Line({"button", Escaped(WindowText(child))});
        } else if (_wcsicmp(kind.c_str(), L"Static") == 0 && !WindowText(child).empty()) {
            Line({"static", Escaped(WindowText(child))});
        }
    }
    return 0;
}

int Press(const std::wstring& title, const std::wstring& caption) {
    HWND window = FindTopLevel(title, false);
    if (window == nullptr) {
        return 1;
    }
    for (HWND child : Children(window)) {
        if (_wcsicmp(ClassOf(child).c_str(), L"Button") == 0 && IsWindowVisible(child)) {
            std::wstring text = WindowText(child);
            text.erase(std::remove(text.begin(), text.end(), L'&'), text.end());
            if (text == caption) {
                PostMessageW(child, BM_CLICK, 0, 0);
                return 0;
            }
        }
    }
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        return 2;
    }
    const std::wstring command = argv[1];
    const std::wstring name = argv[2];
    if (command == L"wait" && argc == 4) {
        const DWORD until = GetTickCount() + static_cast<DWORD>(_wtoi(argv[3]));
        while (FindTopLevel(name, true) == nullptr) {
            if (static_cast<LONG>(GetTickCount() - until) > 0) {
                return 1;
            }
            Sleep(100);
        }
        return 0;
    }
    if (command == L"title") {
        const std::vector<HWND> windows = FindTopLevels(name, true);
        for (HWND window : windows) {
            Line({Escaped(WindowText(window))});
        }
        return windows.empty() ? 1 : 0;
    }
    if (command == L"labels") {
        return Labels(name);
    }
    if (command == L"rows") {
        return Rows(name);
    }
    if (command == L"click" && argc == 4) {
        return Click(name, _wtoi(argv[3]));
    }
    if (command == L"dialog") {
        return Dialog(name);
    }
    if (command == L"press" && argc == 4) {
        return Press(name, argv[3]);
    }
    if (command == L"close") {
        HWND window = FindTopLevel(name, true);
        if (window) {
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
        return window ? 0 : 1;
    }
    return 2;
}
