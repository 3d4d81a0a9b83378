// The user services and the shell against the real system calls (Wine's, in a fresh prefix).
#include <windows.h>

#include <gtest/gtest.h>

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

// The handle the process would get next: the lowest free slot of its table, so it moves when a
// handle has been left open in between.
HANDLE NextFreeHandle() {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(event);
    return event;
}

// Finds a box by its caption, notes its text and presses one button, as a user would.
std::string PressButtonOfBox(const wchar_t* caption, int button) {
    for (int attempt = 0; attempt < 500; ++attempt) {
        if (HWND box = FindWindowW(L"#32770", caption)) {
            wchar_t text[256] = {};
            GetDlgItemTextW(box, 0xFFFF, text, 256);  // the text's control in every message box
            PostMessageW(box, WM_COMMAND, button, 0);
            return WideToUtf8(text);
        }
        Sleep(20);
    }
    return "(no box)";
}

TEST(Win32MessageBoxTest, StylesButtonsAndAnswers) {
    struct Row {
        MessageStyle style;
        std::uint32_t flags;  // MB_OK 0, MB_OKCANCEL 1, MB_YESNO 4 | icon 0x20 ?, 0x30 !, 0x40 i
        const char* text;
        int button;  // IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7
        MessageResult pressed;
        MessageResult notShown;  // the answer when the box could not be shown (0)
    };
    const Row rows[] = {
        {MessageStyle::PromptOnly, 0x00, "Hilfedatei nicht gefunden", 1, MessageResult::Ok, MessageResult::Ok},
        {MessageStyle::InformationOk, 0x40, "Velmaro läuft bereits.", 1, MessageResult::Ok, MessageResult::Ok},
        {MessageStyle::ExclamationOkCancel, 0x31, "Gerätemanager nicht aufrufbar.", 2, MessageResult::Cancel,
         MessageResult::Cancel},
        {MessageStyle::QuestionYesNo, 0x24, "Alles Infos in die Zwischenablage?", 7, MessageResult::No,
         MessageResult::No},
        {MessageStyle::QuestionYesNo, 0x24, "Alles Infos in die Zwischenablage?", 6, MessageResult::Yes,
         MessageResult::No},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(MessageBoxFlags(row.style), row.flags) << row.text;
        EXPECT_EQ(MessageBoxResult(0, row.style), row.notShown) << row.text;
        std::string seen;
        std::thread user([&] { seen = PressButtonOfBox(L"Velmaro Testbox", row.button); });
        EXPECT_EQ(Win32MessageBox("Velmaro Testbox").Show(row.text, row.style), row.pressed) << row.text;
        user.join();
        EXPECT_EQ(seen, row.text);
    }
}

TEST(Win32ClipboardTest, TextRoundTripsWithUmlautsAndClears) {
    Win32Clipboard clipboard;
    for (const char* text : {"Gerätemanager öffnen", "Grüße\r\nÄÖÜ äöü ß", "COM 3\tProlific", ""}) {
        clipboard.Clear();
        clipboard.SetText(text);
        EXPECT_EQ(clipboard.Text(), text);
    }
    clipboard.SetText("bleibt nicht");
    clipboard.Clear();
    EXPECT_EQ(clipboard.Text(), "");
}

TEST(Win32ShellTest, SpecialFoldersByBothRoutes) {
    struct Row {
        std::int32_t folder;
        const char* path;  // "" when there is no such folder
    };
    // Wine keeps Windows in C:\windows; 0x24 is CSIDL_WINDOWS, 0x7F names no folder.
    const Row rows[] = {{0x25, "C:\\windows\\system32"}, {0x24, "C:\\windows"}, {0x7F, ""}};
    Win32ShellService shell;
    for (const Row& row : rows) {
        EXPECT_EQ(GetSpecialFolderPath(shell, row.folder, false), row.path) << row.folder;

        const LibraryHandle shfolder = shell.LoadLibraryNamed("shfolder");
        ASSERT_NE(shfolder, 0u);
        char buffer[kMaxPath] = {};
        const bool found = shell.GetFolderPathFromLibrary(shfolder, 0, row.folder, 0, 0, buffer) == kSOk;
        EXPECT_EQ(found ? std::string(buffer) : std::string(), row.path) << row.folder;
        EXPECT_NE(shell.FreeLoadedLibrary(shfolder), 0);
    }
}

TEST(Win32ShellTest, LibrariesGoBackAndTextsCrossInTheAnsiCodePage) {
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
        EXPECT_FALSE(Win32SingleInstance("Local\\VelmaroInstanceTestOther").AnotherInstanceRunning());

        first.reset();
        EXPECT_FALSE(Win32SingleInstance(name).AnotherInstanceRunning()) << "the claim ends with its owner";
    };
    claims();  // the system keeps a handle of the session's namespace from the first named object on
    const HANDLE freeBefore = NextFreeHandle();
    claims();
    EXPECT_EQ(NextFreeHandle(), freeBefore) << "every mutex is closed";
}

TEST(Win32ProgramIdentityTest, NameFolderAndVersion) {
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
        EXPECT_EQ(Win32ProgramIdentity(row.path).ExecutableName(), row.name) << row.path;
        EXPECT_EQ(Win32ProgramIdentity(row.path).ExecutableFolder(), row.folder) << row.path;
    }

    Win32ProgramIdentity running;
    EXPECT_EQ(running.ExecutableName(), "test_win32");
    EXPECT_TRUE(Win32FileSystem().Lookup(running.ExecutableFolder() + "\\test_win32.exe").has_value());
    EXPECT_EQ(running.Version(), (ProgramVersion{0, 0, 0})) << "the test program has no version resource";

    // FILEVERSION 1,0,7,0 and 2,3,4,11: the third number is the revision.
    EXPECT_EQ(VersionFromFileVersion(0x00010000u, 0x00070000u), (ProgramVersion{1, 0, 7}));
    EXPECT_EQ(VersionFromFileVersion(0x00020003u, 0x0004000Bu), (ProgramVersion{2, 3, 4}));
}

TEST(Win32FileSystemTest, EntriesWithTheirKind) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"velmaro-files";
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW((folder + L"\\Ordner.htm").c_str(), nullptr);
    struct Made {
        const wchar_t* name;
        DWORD attributes;
    };
    const Made made[] = {{L"\\Grüße.htm", FILE_ATTRIBUTE_NORMAL},
                         {L"\\versteckt.htm", FILE_ATTRIBUTE_HIDDEN},
                         {L"\\system.htm", FILE_ATTRIBUTE_SYSTEM}};
    for (const Made& file : made) {
        CloseHandle(CreateFileW((folder + file.name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, file.attributes,
                                nullptr));
    }

    struct Row {
        const char* name;  // below the folder
        std::optional<FileEntry> entry;
        bool exists;  // as the help pages count: a plain file only
    };
    const Row rows[] = {
        {"\\Grüße.htm", FileEntry{"Grüße.htm", false, false, false}, true},
        {"\\versteckt.htm", FileEntry{"versteckt.htm", false, true, false}, false},
        {"\\system.htm", FileEntry{"system.htm", false, false, true}, false},
        {"\\Ordner.htm", FileEntry{"Ordner.htm", true, false, false}, false},
        {"\\Grü*.htm", FileEntry{"Grüße.htm", false, false, false}, true},
        {"\\fehlt.htm", std::nullopt, false},
        {"\\fehlt\\Grüße.htm", std::nullopt, false},
    };
    Win32FileSystem files;
    for (const Row& row : rows) {
        const std::optional<FileEntry> entry = files.Lookup(WideToUtf8(folder) + row.name);
        EXPECT_EQ(FileExists(files, WideToUtf8(folder) + row.name), row.exists) << row.name;
        ASSERT_EQ(entry.has_value(), row.entry.has_value()) << row.name;
        if (entry) {
            EXPECT_EQ(entry->name, row.entry->name);
            EXPECT_EQ((std::tuple{entry->directory, entry->hidden, entry->system}),
                      (std::tuple{row.entry->directory, row.entry->hidden, row.entry->system}))
                << row.name;
        }
    }
    // A device names no directory entry: the lookup itself fails rather than finding nothing.
    EXPECT_THROW(files.Lookup("\\\\.\\COM1"), std::exception);
    EXPECT_FALSE(FileExists(files, "\\\\.\\COM1"));

    for (const Made& file : made) {
        SetFileAttributesW((folder + file.name).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW((folder + file.name).c_str());
    }
    RemoveDirectoryW((folder + L"\\Ordner.htm").c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST(Win32ClockTest, MonotonicSecondsFromConstructionAndTheLocalDate) {
    Win32MonotonicClock clock;
    const float start = clock.Seconds();
    EXPECT_LT(start, 0.5f);
    Sleep(120);
    EXPECT_GE(clock.Seconds() - start, 0.1f);
    EXPECT_LT(clock.Seconds() - start, 2.0f);

    SYSTEMTIME today{};
    GetLocalTime(&today);
    const LocalTime now = Win32Clock().Now();
    EXPECT_EQ((std::tuple{now.year, now.month, now.day}),
              (std::tuple<int, int, int>{today.wYear, today.wMonth, today.wDay}));
}

TEST(Win32MousePointerTest, BusyAndNormalPointers) {
    Win32MousePointer pointer;
    pointer.Set(MousePointer::Busy);
    EXPECT_TRUE(pointer.Busy());
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_WAIT));
    pointer.Set(MousePointer::Default);
    EXPECT_FALSE(pointer.Busy());
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));
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
