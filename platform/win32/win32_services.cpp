#include "win32/win32_services.h"

#include <windows.h>
// windows.h first: the version functions build on its types.
#include <winver.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "win32/win32_text.h"

namespace velmaro::win32 {
namespace {

HWND ToHwnd(WindowHandle handle) {
    return reinterpret_cast<HWND>(handle);
}

// Another program may hold the clipboard for a moment (a clipboard viewer, Wine's X11 bridge).
class ScopedClipboard {
  public:
    explicit ScopedClipboard(HWND owner) {
        for (int attempt = 0; attempt < 20 && !open_; ++attempt) {
            open_ = OpenClipboard(owner) != 0;
            if (!open_) {
                Sleep(10);
            }
        }
    }
    ~ScopedClipboard() {
        if (open_) {
            CloseClipboard();
        }
    }
    ScopedClipboard(const ScopedClipboard&) = delete;
    ScopedClipboard& operator=(const ScopedClipboard&) = delete;
    bool IsOpen() const { return open_; }

  private:
    bool open_ = false;
};

struct GlobalFreer {
    void operator()(void* memory) const { GlobalFree(memory); }
};
using ScopedGlobal = std::unique_ptr<void, GlobalFreer>;

struct FindCloser {
    void operator()(HANDLE find) const { FindClose(find); }
};
using ScopedFind = std::unique_ptr<void, FindCloser>;

std::wstring ModuleFileName() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return std::wstring(buffer.data(), length);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::size_t LastSeparator(const std::string& path) {
    return path.find_last_of("\\/");
}

}  // namespace

std::uint32_t MessageBoxFlags(MessageStyle style) {
    switch (style) {
        case MessageStyle::PromptOnly:
            return MB_OK;
        case MessageStyle::InformationOk:
            return MB_OK | MB_ICONINFORMATION;
        case MessageStyle::ExclamationOkCancel:
            return MB_OKCANCEL | MB_ICONEXCLAMATION;
        case MessageStyle::QuestionYesNo:
            return MB_YESNO | MB_ICONQUESTION;
    }
    return MB_OK;
}

MessageResult MessageBoxResult(int answer, MessageStyle style) {
    switch (answer) {
        case IDOK:
            return MessageResult::Ok;
        case IDCANCEL:
            return MessageResult::Cancel;
        case IDYES:
            return MessageResult::Yes;
        case IDNO:
            return MessageResult::No;
        default:
            break;
    }
    switch (style) {
        case MessageStyle::ExclamationOkCancel:
            return MessageResult::Cancel;
        case MessageStyle::QuestionYesNo:
            return MessageResult::No;
        default:
            return MessageResult::Ok;
    }
}

MessageResult Win32MessageBox::Show(const std::string& text, MessageStyle style) {
    const int answer =
        MessageBoxW(ToHwnd(owner_), Utf8ToWide(text).c_str(), Utf8ToWide(title_).c_str(), MessageBoxFlags(style));
    return MessageBoxResult(answer, style);
}

void Win32Clipboard::Clear() {
    ScopedClipboard clipboard(ToHwnd(owner_));
    if (clipboard.IsOpen()) {
        EmptyClipboard();
    }
}

void Win32Clipboard::SetText(const std::string& text) {
    const std::wstring wide = Utf8ToWide(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    ScopedGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) {
        return;
    }
    void* target = GlobalLock(memory.get());
    if (target == nullptr) {
        return;
    }
    CopyMemory(target, wide.c_str(), bytes);
    GlobalUnlock(memory.get());

    ScopedClipboard clipboard(ToHwnd(owner_));
    if (!clipboard.IsOpen()) {
        return;
    }
    // Only the clipboard's owner may add data: emptying makes this program the owner.
    EmptyClipboard();
    if (SetClipboardData(CF_UNICODETEXT, memory.get()) != nullptr) {
        memory.release();  // the clipboard owns it now
    }
}

std::string Win32Clipboard::Text() const {
    ScopedClipboard clipboard(ToHwnd(owner_));
    if (!clipboard.IsOpen()) {
        return {};
    }
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (data == nullptr) {
        return {};
    }
    const auto* chars = static_cast<const wchar_t*>(GlobalLock(data));
    if (chars == nullptr) {
        return {};
    }
    const std::size_t capacity = GlobalSize(data) / sizeof(wchar_t);
    std::size_t length = 0;
    while (length < capacity && chars[length] != L'\0') {
        ++length;
    }
    std::string text = WideToUtf8(std::wstring_view(chars, length));
    GlobalUnlock(data);
    return text;
}

void Win32MousePointer::Set(MousePointer pointer) {
    busy_ = pointer == MousePointer::Busy;
    Apply();
}

void Win32MousePointer::Apply() const {
    SetCursor(LoadCursor(nullptr, busy_ ? IDC_WAIT : IDC_ARROW));
}

LocalTime Win32Clock::Now() const {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

Win32MonotonicClock::Win32MonotonicClock() {
    LARGE_INTEGER value{};
    QueryPerformanceFrequency(&value);
    frequency_ = value.QuadPart > 0 ? value.QuadPart : 1;
    QueryPerformanceCounter(&value);
    start_ = value.QuadPart;
}

float Win32MonotonicClock::Seconds() const {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return static_cast<float>(static_cast<double>(now.QuadPart - start_) / static_cast<double>(frequency_));
}

void Win32EventPump::ProcessPendingEvents() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

Win32SingleInstance::Win32SingleInstance(std::string name) : name_(std::move(name)) {}

Win32SingleInstance::~Win32SingleInstance() {
    if (mutex_ != nullptr) {
        CloseHandle(mutex_);
    }
}

bool Win32SingleInstance::AnotherInstanceRunning() {
    if (mutex_ != nullptr) {
        return false;
    }
    HANDLE mutex = CreateMutexW(nullptr, FALSE, Utf8ToWide(name_).c_str());
    const DWORD error = GetLastError();
    if (mutex == nullptr) {
        // A copy started by another user holds a mutex this one may not open.
        return error == ERROR_ACCESS_DENIED;
    }
    if (error == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return true;
    }
    mutex_ = mutex;
    return false;
}

Win32ProgramIdentity::Win32ProgramIdentity() : path_(WideToUtf8(ModuleFileName())) {}

std::string Win32ProgramIdentity::ExecutableName() const {
    const std::size_t separator = LastSeparator(path_);
    std::string name = separator == std::string::npos ? path_ : path_.substr(separator + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return name;
}

std::string Win32ProgramIdentity::ExecutableFolder() const {
    const std::size_t separator = LastSeparator(path_);
    return separator == std::string::npos ? std::string() : path_.substr(0, separator);
}

ProgramVersion Win32ProgramIdentity::Version() const {
    const std::wstring path = Utf8ToWide(path_);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) {
        return {};
    }
    std::vector<unsigned char> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) {
        return {};
    }
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length) || info == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        return {};
    }
    return VersionFromFileVersion(info->dwFileVersionMS, info->dwFileVersionLS);
}

ProgramVersion VersionFromFileVersion(std::uint32_t versionMs, std::uint32_t versionLs) {
    return {static_cast<int>(versionMs >> 16), static_cast<int>(versionMs & 0xFFFFu),
            static_cast<int>(versionLs >> 16)};
}

std::optional<FileEntry> Win32FileSystem::Lookup(const std::string& path) const {
    WIN32_FIND_DATAW found{};
    ScopedFind find(FindFirstFileW(Utf8ToWide(path).c_str(), &found));
    if (find.get() == INVALID_HANDLE_VALUE) {
        find.release();
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_NO_MORE_FILES) {
            return std::nullopt;
        }
        throw std::runtime_error("file lookup failed with error " + std::to_string(error));
    }
    FileEntry entry;
    entry.name = WideToUtf8(found.cFileName);
    entry.directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.hidden = (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
    entry.system = (found.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
    return entry;
}

}  // namespace velmaro::win32
