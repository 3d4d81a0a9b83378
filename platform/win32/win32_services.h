#pragma once
// The user services of the main window on Windows (user32, kernel32, version):
//   Win32MessageBox      IMessageBox       MessageBoxW, the program's title as caption, an owner window
//   Win32Clipboard       IClipboard        CF_UNICODETEXT
//   Win32MousePointer    IMousePointer     busy (IDC_WAIT) or normal (IDC_ARROW) pointer
//   Win32Clock           IClock            GetLocalTime
//   Win32MonotonicClock  IMonotonicClock   QueryPerformanceCounter, counted from construction
//   Win32EventPump       IEventPump        PeekMessage/DispatchMessage until the queue is empty
//   Win32SingleInstance  ISingleInstance   a named mutex
//   Win32ProgramIdentity IProgramIdentity  GetModuleFileName and the module's version resource
//   Win32FileSystem      IFileSystem       FindFirstFileW
// Window handles cross as WindowHandle so that this header needs no windows.h.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "services/event_pump.h"
#include "services/file_system.h"
#include "services/monotonic_clock.h"
#include "services/program_identity.h"
#include "services/single_instance.h"
#include "services/user_services.h"
#include "shell/shell_service.h"

namespace velmaro::win32 {

class Win32MessageBox : public IMessageBox {
  public:
    // title: the caption of every box; owner: the window the boxes belong to, 0 for none.
    explicit Win32MessageBox(std::string title, WindowHandle owner = 0) : title_(std::move(title)), owner_(owner) {}
    MessageResult Show(const std::string& text, MessageStyle style) override;
    // The owner is known only once the main window exists.
    void SetOwner(WindowHandle owner) { owner_ = owner; }
    WindowHandle Owner() const { return owner_; }

  private:
    std::string title_;
    WindowHandle owner_;
};

// MB_... flags for a style; kept apart so the mapping can be checked without showing a box.
std::uint32_t MessageBoxFlags(MessageStyle style);
// IDOK, IDCANCEL, IDYES, IDNO -> the result. A box that could not be shown (0) answers with the
// style's last button: OK, Cancel or No.
MessageResult MessageBoxResult(int answer, MessageStyle style);

class Win32Clipboard : public IClipboard {
  public:
    explicit Win32Clipboard(WindowHandle owner = 0) : owner_(owner) {}
    void Clear() override;
    void SetText(const std::string& text) override;
    void SetOwner(WindowHandle owner) { owner_ = owner; }
    // The clipboard's CF_UNICODETEXT as UTF-8, "" when there is none.
    std::string Text() const;

  private:
    WindowHandle owner_;
};

// SetCursor alone lasts only until the next WM_SETCURSOR: a window procedure asks Busy() there and
// calls Apply() instead of the default handling while it is true.
class Win32MousePointer : public IMousePointer {
  public:
    void Set(MousePointer pointer) override;
    bool Busy() const { return busy_; }
    void Apply() const;

  private:
    bool busy_ = false;
};

class Win32Clock : public IClock {
  public:
    LocalTime Now() const override;
};

class Win32MonotonicClock : public IMonotonicClock {
  public:
    Win32MonotonicClock();
    float Seconds() const override;

  private:
    std::int64_t start_ = 0;
    std::int64_t frequency_ = 1;
};

// Dispatches every waiting message. A WM_QUIT met on the way is posted again, so that the
// program's own message loop still ends.
class Win32EventPump : public IEventPump {
  public:
    void ProcessPendingEvents() override;
};

// A named mutex (e.g. "Local\\Velmaro", one per session); the claim lives as long as the object.
class Win32SingleInstance : public ISingleInstance {
  public:
    explicit Win32SingleInstance(std::string name);
    ~Win32SingleInstance() override;
    Win32SingleInstance(const Win32SingleInstance&) = delete;
    Win32SingleInstance& operator=(const Win32SingleInstance&) = delete;
    bool AnotherInstanceRunning() override;
    bool HoldsClaim() const { return mutex_ != nullptr; }

  private:
    std::string name_;
    void* mutex_ = nullptr;
};

// The running executable, or any module file given by path.
class Win32ProgramIdentity : public IProgramIdentity {
  public:
    Win32ProgramIdentity();
    explicit Win32ProgramIdentity(std::string modulePath) : path_(std::move(modulePath)) {}
    std::string ExecutableName() const override;
    std::string ExecutableFolder() const override;
    // FILEVERSION a,b,c,d reads as major a, minor b, revision c; 0.0.0 without a version resource.
    ProgramVersion Version() const override;
    const std::string& ModulePath() const { return path_; }

  private:
    std::string path_;  // UTF-8, "\" separators
};

// The version from VS_FIXEDFILEINFO's dwFileVersionMS and dwFileVersionLS.
ProgramVersion VersionFromFileVersion(std::uint32_t versionMs, std::uint32_t versionLs);

// "Not found" (no file, no folder) is no entry; any other failure of the lookup throws.
class Win32FileSystem : public IFileSystem {
  public:
    std::optional<FileEntry> Lookup(const std::string& path) const override;
};

}  // namespace velmaro::win32
