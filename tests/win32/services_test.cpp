// The Windows services against the real system calls (run under Wine in a fresh prefix).
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include "shell/shell_helpers.h"
#include "win32/win32_services.h"
#include "win32/win32_shell.h"
#include "win32/win32_text.h"

namespace velmaro::win32 {
namespace {

// --- message boxes ---

TEST(Win32MessageBoxTest, StylesMapToIconsAndButtons) {
    struct Row {
        MessageStyle style;
        std::uint32_t flags;
    };
    // MB_OK 0, MB_OKCANCEL 1, MB_YESNO 4; MB_ICONQUESTION 0x20, MB_ICONEXCLAMATION 0x30,
    // MB_ICONINFORMATION 0x40.
    const Row rows[] = {
        {MessageStyle::PromptOnly, 0x00},
        {MessageStyle::InformationOk, 0x40},
        {MessageStyle::ExclamationOkCancel, 0x31},
        {MessageStyle::QuestionYesNo, 0x24},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(MessageBoxFlags(row.style), row.flags) << static_cast<int>(row.style);
    }
}

TEST(Win32MessageBoxTest, AnswersMapToResults) {
    struct Row {
        int answer;
        MessageStyle style;
        MessageResult result;
    };
    // IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7; 0 is a box that could not be shown.
    const Row rows[] = {
        {1, MessageStyle::InformationOk, MessageResult::Ok},
        {2, MessageStyle::ExclamationOkCancel, MessageResult::Cancel},
        {6, MessageStyle::QuestionYesNo, MessageResult::Yes},
        {7, MessageStyle::QuestionYesNo, MessageResult::No},
        {0, MessageStyle::QuestionYesNo, MessageResult::No},
        {0, MessageStyle::ExclamationOkCancel, MessageResult::Cancel},
        {0, MessageStyle::PromptOnly, MessageResult::Ok},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(MessageBoxResult(row.answer, row.style), row.result) << row.answer;
    }
}

// Finds the box by its caption, notes its text and presses one button, as a user would.
class BoxPresser {
  public:
    BoxPresser(std::wstring caption, int button)
        : thread_([this, caption = std::move(caption), button] {
              for (int attempt = 0; attempt < 500; ++attempt) {
                  HWND box = FindWindowW(L"#32770", caption.c_str());
                  if (box != nullptr) {
                      wchar_t text[256] = {};
                      GetDlgItemTextW(box, 0xFFFF, text, 256);
                      text_ = WideToUtf8(text);
                      PostMessageW(box, WM_COMMAND, button, 0);
                      return;
                  }
                  Sleep(20);
              }
          }) {}
    ~BoxPresser() { Join(); }
    std::string Text() {
        Join();
        return text_;
    }

  private:
    void Join() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    std::string text_;
    std::thread thread_;
};

TEST(Win32MessageBoxTest, ShowsTextUnderTheTitleAndReturnsTheButtonPressed) {
    struct Row {
        const char* text;
        MessageStyle style;
        int button;
        MessageResult result;
    };
    const Row rows[] = {
        {"Velmaro läuft bereits.", MessageStyle::InformationOk, IDOK, MessageResult::Ok},
        {"Alles Infos in die Zwischenablage?", MessageStyle::QuestionYesNo, IDNO, MessageResult::No},
        {"Gerätemanager nicht aufrufbar.", MessageStyle::ExclamationOkCancel, IDCANCEL, MessageResult::Cancel},
    };
    for (const Row& row : rows) {
        Win32MessageBox messages("Velmaro Testbox");
        BoxPresser presser(L"Velmaro Testbox", row.button);
        EXPECT_EQ(messages.Show(row.text, row.style), row.result) << row.text;
        EXPECT_EQ(presser.Text(), row.text);
    }
}

// --- clipboard ---

TEST(Win32ClipboardTest, TextRoundTripsWithUmlautsAndClears) {
    const char* texts[] = {"Gerätemanager öffnen", "Grüße\r\nÄÖÜ äöü ß", "COM 3\tProlific USB-to-Serial", ""};
    Win32Clipboard clipboard;
    for (const char* text : texts) {
        clipboard.Clear();
        clipboard.SetText(text);
        EXPECT_EQ(clipboard.Text(), text);
    }
    clipboard.SetText("bleibt nicht");
    clipboard.Clear();
    EXPECT_EQ(clipboard.Text(), "");
}

// --- shell and folders ---

TEST(Win32ShellTest, SpecialFoldersByBothRoutes) {
    struct Row {
        std::int32_t folder;
        const char* path;  // "" when the folder does not exist
    };
    // Wine's prefix keeps Windows in C:\windows; 0x24 is CSIDL_WINDOWS, 0x7F no folder at all.
    const Row rows[] = {
        {0x25, "C:\\windows\\system32"},
        {0x24, "C:\\windows"},
        {0x7F, ""},
    };
    Win32ShellService shell;
    for (const Row& row : rows) {
        EXPECT_EQ(GetSpecialFolderPath(shell, row.folder, false), row.path) << row.folder;

        const LibraryHandle shfolder = shell.LoadLibraryNamed("shfolder");
        ASSERT_NE(shfolder, 0u);
        char buffer[kMaxPath] = {};
        const std::int32_t result =
            shell.GetFolderPathFromLibrary(shfolder, 0, row.folder, 0, kShgfpTypeCurrent, buffer);
        EXPECT_EQ(result == kSOk, *row.path != '\0') << row.folder;
        EXPECT_EQ(result == kSOk ? std::string(buffer) : std::string(), row.path) << row.folder;
        EXPECT_NE(shell.FreeLoadedLibrary(shfolder), 0);
    }
}

TEST(Win32ShellTest, LibrariesAreReleasedAndMissingOnesFail) {
    Win32ShellService shell;
    ASSERT_EQ(GetModuleHandleA("shfolder"), nullptr);
    const LibraryHandle shfolder = shell.LoadLibraryNamed("shfolder");
    EXPECT_NE(GetModuleHandleA("shfolder"), nullptr);
    shell.FreeLoadedLibrary(shfolder);
    EXPECT_EQ(GetModuleHandleA("shfolder"), nullptr);

    EXPECT_EQ(shell.LoadLibraryNamed("velmaro_no_such_library"), 0u);
    // A library without the export fails instead of calling into nowhere.
    const LibraryHandle kernel = shell.LoadLibraryNamed("kernel32");
    char buffer[kMaxPath] = {};
    EXPECT_NE(shell.GetFolderPathFromLibrary(kernel, 0, kCsidlSystem, 0, kShgfpTypeCurrent, buffer), kSOk);
    shell.FreeLoadedLibrary(kernel);
}

TEST(Win32ShellTest, TextsCrossInTheAnsiCodePage) {
    // A fresh prefix runs with code page 1252 for German: "ä" is the byte E4 there.
    Win32ShellService shell;
    EXPECT_EQ(shell.Utf8ToAnsi("Gerät"), "Ger\xE4t");
    EXPECT_EQ(shell.AnsiToUtf8("Ger\xE4t"), "Gerät");
}

// --- single instance ---

TEST(Win32SingleInstanceTest, ASecondClaimSeesTheFirstUntilItEnds) {
    const std::string name = "Local\\VelmaroInstanceTest";
    std::optional<Win32SingleInstance> first(std::in_place, name);
    EXPECT_FALSE(first->AnotherInstanceRunning());
    EXPECT_TRUE(first->HoldsClaim());
    EXPECT_FALSE(first->AnotherInstanceRunning()) << "its own claim is not another copy";

    Win32SingleInstance second(name);
    EXPECT_TRUE(second.AnotherInstanceRunning());
    EXPECT_FALSE(second.HoldsClaim());
    Win32SingleInstance other("Local\\VelmaroInstanceTestOther");
    EXPECT_FALSE(other.AnotherInstanceRunning());

    first.reset();
    Win32SingleInstance third(name);
    EXPECT_FALSE(third.AnotherInstanceRunning()) << "the claim ends with its owner";
}

// --- program identity ---

TEST(Win32ProgramIdentityTest, NameAndFolderFromThePath) {
    struct Row {
        const char* path;
        const char* name;
        const char* folder;
    };
    const Row rows[] = {
        {"C:\\Programme\\Velmaro\\Velmaro.exe", "Velmaro", "C:\\Programme\\Velmaro"},
        {"C:\\Tools 1.0\\Velmaro.Test.exe", "Velmaro.Test", "C:\\Tools 1.0"},
        {"D:\\Velmaro.exe", "Velmaro", "D:"},
        {"C:\\Übung\\Velmaro", "Velmaro", "C:\\Übung"},
    };
    for (const Row& row : rows) {
        Win32ProgramIdentity identity(row.path);
        EXPECT_EQ(identity.ExecutableName(), row.name) << row.path;
        EXPECT_EQ(identity.ExecutableFolder(), row.folder) << row.path;
    }
}

TEST(Win32ProgramIdentityTest, TheRunningProgramAndItsVersion) {
    Win32ProgramIdentity identity;
    EXPECT_EQ(identity.ExecutableName(), "test_win32");
    const std::string folder = identity.ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_TRUE(Win32FileSystem().Lookup(folder + "\\test_win32.exe").has_value());
    // The test program carries no version resource.
    EXPECT_EQ(identity.Version(), (ProgramVersion{0, 0, 0}));
}

TEST(Win32ProgramIdentityTest, VersionFromTheFixedFileInfo) {
    struct Row {
        std::uint32_t ms, ls;
        ProgramVersion version;
    };
    // FILEVERSION 1,0,7,0 | 2,3,4,11 | 65535,1,0,9
    const Row rows[] = {
        {0x00010000u, 0x00070000u, {1, 0, 7}},
        {0x00020003u, 0x0004000Bu, {2, 3, 4}},
        {0xFFFF0001u, 0x00000009u, {65535, 1, 0}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(VersionFromFileVersion(row.ms, row.ls), row.version) << row.ms << "." << row.ls;
    }
}

// --- files ---

class Win32FileSystemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"velmaro-files";
        CreateDirectoryW(folder_.c_str(), nullptr);
        Touch(L"\\Grüße.htm", FILE_ATTRIBUTE_NORMAL);
        Touch(L"\\versteckt.htm", FILE_ATTRIBUTE_HIDDEN);
        Touch(L"\\system.htm", FILE_ATTRIBUTE_SYSTEM);
        CreateDirectoryW((folder_ + L"\\Ordner.htm").c_str(), nullptr);
    }
    void TearDown() override {
        for (const wchar_t* name : {L"\\Grüße.htm", L"\\versteckt.htm", L"\\system.htm"}) {
            SetFileAttributesW((folder_ + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW((folder_ + name).c_str());
        }
        RemoveDirectoryW((folder_ + L"\\Ordner.htm").c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    void Touch(const wchar_t* name, DWORD attributes) {
        HANDLE file =
            CreateFileW((folder_ + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
    }
    std::string Folder() const { return WideToUtf8(folder_); }

    std::wstring folder_;
};

TEST_F(Win32FileSystemTest, EntriesWithTheirKind) {
    struct Row {
        const char* name;  // below the test folder
        bool found;
        FileEntry entry;
    };
    const Row rows[] = {
        {"\\Grüße.htm", true, {"Grüße.htm", false, false, false}},
        {"\\versteckt.htm", true, {"versteckt.htm", false, true, false}},
        {"\\system.htm", true, {"system.htm", false, false, true}},
        {"\\Ordner.htm", true, {"Ordner.htm", true, false, false}},
        {"\\fehlt.htm", false, {}},
        {"\\fehlt\\Grüße.htm", false, {}},
    };
    Win32FileSystem files;
    const DWORD handlesBefore = [] {
        DWORD count = 0;
        GetProcessHandleCount(GetCurrentProcess(), &count);
        return count;
    }();
    for (const Row& row : rows) {
        const std::optional<FileEntry> entry = files.Lookup(Folder() + row.name);
        ASSERT_EQ(entry.has_value(), row.found) << row.name;
        if (entry) {
            EXPECT_EQ(entry->name, row.entry.name);
            EXPECT_EQ(entry->directory, row.entry.directory) << row.name;
            EXPECT_EQ(entry->hidden, row.entry.hidden) << row.name;
            EXPECT_EQ(entry->system, row.entry.system) << row.name;
        }
    }
    DWORD handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    EXPECT_EQ(handlesAfter, handlesBefore) << "every lookup closes its search";
}

TEST_F(Win32FileSystemTest, AFailedLookupThrows) {
    // A device path names no directory entry: the lookup itself fails (invalid name) rather than
    // finding nothing.
    EXPECT_THROW(Win32FileSystem().Lookup("\\\\.\\COM1"), std::exception);
}

// --- clocks, pointer, event pump ---

TEST(Win32ClockTest, MonotonicSecondsCountFromConstruction) {
    Win32MonotonicClock clock;
    const float start = clock.Seconds();
    EXPECT_LT(start, 0.5f);
    Sleep(120);
    const float elapsed = clock.Seconds() - start;
    EXPECT_GE(elapsed, 0.1f);
    EXPECT_LT(elapsed, 2.0f);

    SYSTEMTIME before{};
    GetLocalTime(&before);
    const LocalTime now = Win32Clock().Now();
    EXPECT_EQ(now.year, before.wYear);
    EXPECT_EQ(now.month, before.wMonth);
    EXPECT_EQ(now.day, before.wDay);
}

TEST(Win32MousePointerTest, BusyAndNormalPointers) {
    struct Row {
        MousePointer pointer;
        LPCSTR cursor;
        bool busy;
    };
    const Row rows[] = {{MousePointer::Busy, IDC_WAIT, true}, {MousePointer::Default, IDC_ARROW, false}};
    Win32MousePointer pointer;
    for (const Row& row : rows) {
        pointer.Set(row.pointer);
        EXPECT_EQ(pointer.Busy(), row.busy);
        EXPECT_EQ(GetCursor(), LoadCursor(nullptr, row.cursor));
    }
}

TEST(Win32EventPumpTest, DispatchesWaitingMessagesAndKeepsTheQuit) {
    static int delivered = 0;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_APP) {
            delivered += static_cast<int>(wParam);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    };
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VelmaroPumpTest";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"VelmaroPumpTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);

    PostMessageW(window, WM_APP, 2, 0);
    PostMessageW(window, WM_APP, 3, 0);
    PostQuitMessage(5);
    Win32EventPump().ProcessPendingEvents();
    EXPECT_EQ(delivered, 5);

    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit is posted again";
    EXPECT_EQ(message.wParam, 5u);
    DestroyWindow(window);
    UnregisterClassW(L"VelmaroPumpTest", GetModuleHandleW(nullptr));
}

}  // namespace
}  // namespace velmaro::win32
