// The user services and the shell against the real system calls (Wine's, in a fresh prefix).
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <tuple>

#include "guidance/help_pages.h"
#include "shell/shell_helpers.h"
#include "win32/win32_services.h"
#include "win32/win32_shell.h"
#include "win32/win32_text.h"

namespace velmaro::win32 {
namespace {

// Finds a box by its caption, notes its text and presses one button, as a user would.
std::string PressButtonOfBox(const wchar_t* caption, int button) {
    for (int attempt = 0; attempt < 500; ++attempt, Sleep(20)) {
        if (HWND box = FindWindowW(L"#32770", caption)) {
            wchar_t text[256] = {};
            GetDlgItemTextW(box, 0xFFFF, text, 256);  // the text's control in every message box
            PostMessageW(box, WM_COMMAND, button, 0);
            return WideToUtf8(text);
        }
    }
    return "(no box)";
}

TEST(Win32MessageBoxTest, StylesButtonsAndAnswers) {
    using enum MessageStyle;
    using enum MessageResult;
    const struct {
        MessageStyle style;
        std::uint32_t flags;  // MB_OK 0, MB_OKCANCEL 1, MB_YESNO 4 | icon 0x20 ?, 0x30 !, 0x40 i
        const char* text;
        int button;  // IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7
        MessageResult pressed;
        MessageResult notShown;  // the answer when the box could not be shown (0)
    } rows[] = {
        {PromptOnly, 0x00, "Hilfedatei nicht gefunden", 1, Ok, Ok},
        {InformationOk, 0x40, "Velmaro läuft bereits.", 1, Ok, Ok},
        {ExclamationOkCancel, 0x31, "Gerätemanager nicht aufrufbar.", 2, Cancel, Cancel},
        {QuestionYesNo, 0x24, "Alles Infos in die Zwischenablage?", 7, No, No},
        {QuestionYesNo, 0x24, "Alles Infos in die Zwischenablage?", 6, Yes, No},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(MessageBoxFlags(row.style), row.flags);
        EXPECT_EQ(MessageBoxResult(0, row.style), row.notShown);
        std::string seen;
        std::thread user([&] { seen = PressButtonOfBox(L"Velmaro Testbox", row.button); });
        EXPECT_EQ(Win32MessageBox("Velmaro Testbox").Show(row.text, row.style), row.pressed);
        user.join();
        EXPECT_EQ(seen, row.text);
    }
}

TEST(Win32ClipboardTest, TextRoundTripsWithUmlautsAndClears) {
    Win32Clipboard clipboard;
    for (const char* text : {"", "Grüße\r\nÄÖÜ äöü ß", "COM 3\tProlific"}) {
        clipboard.Clear();
        clipboard.SetText(text);
        EXPECT_EQ(clipboard.Text(), text);
    }
    clipboard.Clear();
    EXPECT_EQ(clipboard.Text(), "");
}

TEST(Win32ShellTest, SpecialFoldersLibrariesAndTheAnsiCodePage) {
    // Wine keeps Windows in C:\windows; 0x25 is CSIDL_SYSTEM, 0x24 CSIDL_WINDOWS, 0x7F names no folder.
    const std::tuple<std::int32_t, std::string> rows[] = {
        {0x25, "C:\\windows\\system32"}, {0x24, "C:\\windows"}, {0x7F, ""}};
    Win32ShellService shell;
    for (const auto& [folder, path] : rows) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(GetSpecialFolderPath(shell, folder, false), path);
        ASSERT_EQ(GetModuleHandleA("shfolder"), nullptr);
        const LibraryHandle shfolder = shell.LoadLibraryNamed("shfolder");
        char buffer[kMaxPath] = {};
        const bool found = shell.GetFolderPathFromLibrary(shfolder, 0, folder, 0, 0, buffer) == kSOk;
        EXPECT_EQ(found ? std::string(buffer) : std::string(), path);
        EXPECT_NE(shell.FreeLoadedLibrary(shfolder), 0);
        EXPECT_EQ(GetModuleHandleA("shfolder"), nullptr) << "the library goes back";
    }
    EXPECT_EQ(shell.LoadLibraryNamed("velmaro_no_such_library"), 0u);
    // A library without the export fails instead of calling into nowhere.
    const LibraryHandle kernel = shell.LoadLibraryNamed("kernel32");
    char buffer[kMaxPath] = {};
    EXPECT_NE(shell.GetFolderPathFromLibrary(kernel, 0, kCsidlSystem, 0, 0, buffer), kSOk);
    shell.FreeLoadedLibrary(kernel);
    // The prefix runs with the Western code page 1252, where "ä" is the byte E4.
    EXPECT_EQ(shell.Utf8ToAnsi("Gerät"), "Ger\xE4t");
    EXPECT_EQ(shell.AnsiToUtf8("Ger\xE4t"), "Gerät");
}

TEST(Win32SingleInstanceTest, ASecondClaimSeesTheFirstUntilItEnds) {
    const std::string name = "Local\\VelmaroInstanceTest";
    const auto claims = [&] {
        std::optional<Win32SingleInstance> first(std::in_place, name);
        EXPECT_FALSE(first->AnotherInstanceRunning());
        EXPECT_FALSE(first->AnotherInstanceRunning()) << "its own claim is no other copy";
        Win32SingleInstance second(name);
        EXPECT_TRUE(second.AnotherInstanceRunning());
        EXPECT_FALSE(second.HoldsClaim());
        first.reset();
        EXPECT_FALSE(Win32SingleInstance(name).AnotherInstanceRunning()) << "the claim ends with its owner";
    };
    // The handle the process gets next is its table's lowest free slot: it moves when one stays open.
    const auto nextFreeHandle = [] {
        HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        CloseHandle(event);
        return event;
    };
    claims();  // the system keeps a handle of the session's namespace from the first named object on
    const HANDLE freeBefore = nextFreeHandle();
    claims();
    EXPECT_EQ(nextFreeHandle(), freeBefore) << "every mutex is closed";
}

TEST(Win32ProgramIdentityTest, NameFolderAndVersion) {
    const std::tuple<const char*, const char*, const char*> rows[] = {
        {"C:\\Tools 1.0\\Velmaro.Test.exe", "Velmaro.Test", "C:\\Tools 1.0"},
        {"D:\\Velmaro", "Velmaro", "D:"},
    };
    for (const auto& [path, name, folder] : rows) {
        EXPECT_EQ(Win32ProgramIdentity(path).ExecutableName(), name) << path;
        EXPECT_EQ(Win32ProgramIdentity(path).ExecutableFolder(), folder) << path;
    }
    Win32ProgramIdentity running;
    EXPECT_EQ(running.ExecutableName(), "test_win32");
    EXPECT_TRUE(Win32FileSystem().Lookup(running.ExecutableFolder() + "\\test_win32.exe").has_value());
    EXPECT_EQ(running.Version(), (ProgramVersion{0, 0, 0})) << "the test program has no version resource";
    // FILEVERSION 2,3,4,11: the third number is the revision.
    EXPECT_EQ(VersionFromFileVersion(0x00020003u, 0x0004000Bu), (ProgramVersion{2, 3, 4}));
}

TEST(Win32FileSystemTest, EntriesWithTheirKind) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / L"velmaro-files";
    std::filesystem::create_directories(folder / L"Ordner.htm");
    for (const auto& [name, kind] : {std::pair{L"Grüße.htm", FILE_ATTRIBUTE_NORMAL},
                                     {L"versteckt.htm", FILE_ATTRIBUTE_HIDDEN},
                                     {L"system.htm", FILE_ATTRIBUTE_SYSTEM}}) {
        CloseHandle(CreateFileW((folder / name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, kind, nullptr));
    }
    // The entry as "name directory hidden system".
    const std::pair<const char*, const char*> rows[] = {
        {"Grüße.htm", "Grüße.htm 0 0 0"},   {"versteckt.htm", "versteckt.htm 0 1 0"},
        {"system.htm", "system.htm 0 0 1"}, {"Ordner.htm", "Ordner.htm 1 0 0"},
        {"Grü*.htm", "Grüße.htm 0 0 0"},    {"fehlt.htm", "none"},
    };
    Win32FileSystem files;
    for (const auto& [name, entry] : rows) {
        const std::optional<FileEntry> found = files.Lookup(WideToUtf8(folder.wstring()) + "\\" + name);
        EXPECT_EQ(found ? found->name + " " + std::to_string(found->directory) + " " + std::to_string(found->hidden) +
                              " " + std::to_string(found->system)
                        : "none",
                  entry);
    }
    // A device names no directory entry: the lookup itself fails rather than finding nothing.
    EXPECT_THROW(files.Lookup("\\\\.\\COM1"), std::exception);
    EXPECT_FALSE(FileExists(files, "\\\\.\\COM1"));
    std::filesystem::remove_all(folder);
}

TEST(Win32ClockTest, MonotonicSecondsFromConstructionAndTheLocalDate) {
    Win32MonotonicClock clock;
    EXPECT_LT(clock.Seconds(), 0.5f);
    Sleep(500);
    EXPECT_NEAR(clock.Seconds(), 1.2f, 0.75f) << "half a second, give or take a busy machine";
    SYSTEMTIME today{};
    GetLocalTime(&today);
    const LocalTime now = Win32Clock().Now();
    EXPECT_EQ(now.year * 10000 + now.month * 100 + now.day, today.wYear * 10000 + today.wMonth * 100 + today.wDay);
}

TEST(Win32EventPumpTest, DispatchesWaitingMessagesAndKeepsTheQuit) {
    static int delivered = 0;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        delivered += message == WM_APP ? static_cast<int>(wParam) : 0;
        return DefWindowProcW(window, message, wParam, lParam);
    };
    windowClass.lpszClassName = L"VelmaroPumpTest";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"VelmaroPumpTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
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
}

}  // namespace
}  // namespace velmaro::win32
