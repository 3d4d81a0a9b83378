#pragma once
// The platform services of the main window on a Linux desktop: the shell through xdg-open, the
// single-instance claim as a lock file, the program's identity, files, clocks and the event pump.
#include <QElapsedTimer>
#include <QLockFile>
#include <memory>
#include <string>

#include "services/event_pump.h"
#include "services/file_system.h"
#include "services/monotonic_clock.h"
#include "services/program_identity.h"
#include "services/single_instance.h"
#include "services/user_services.h"
#include "shell/shell_service.h"

namespace velmaro::qt {

// The device viewers looked for in PATH, in order, to stand in for the Device Manager: a general
// hardware browser first, then one that shows the USB tree with each device's driver.
inline constexpr const char* kDeviceViewers[] = {"hardinfo", "usbview", "kinfocenter", "lshw-gtk"};

// Documents, web and mail addresses go to xdg-open. The system folder exists only when a device
// viewer is installed; "devmgmt.msc" in it starts that viewer. Texts are UTF-8 on both sides.
class XdgShellService : public IShellService {
  public:
    // viewer: the device viewer's full path, "" for none; by default looked up in PATH.
    XdgShellService();
    explicit XdgShellService(std::string viewer) : viewer_(std::move(viewer)) {}

    std::int32_t GetSpecialFolderLocation(WindowHandle owner, std::int32_t folder, ItemIdList& list) override;
    std::int32_t GetPathFromIdList(ItemIdList list, char* path) override;
    void FreeIdList(ItemIdList) override {}
    LibraryHandle LoadLibraryNamed(const std::string&) override { return 0; }
    std::int32_t GetFolderPathFromLibrary(LibraryHandle,
                                          WindowHandle,
                                          std::int32_t,
                                          std::uintptr_t,
                                          std::uint32_t,
                                          char*) override;
    std::int32_t FreeLoadedLibrary(LibraryHandle) override { return 0; }
    std::intptr_t Execute(WindowHandle parent,
                          const std::string& verb,
                          const std::string& file,
                          const std::string& parameters,
                          const std::string& directory,
                          std::int32_t showCommand) override;
    std::string AnsiToUtf8(std::string_view ansi) const override { return std::string(ansi); }
    std::string Utf8ToAnsi(std::string_view utf8) const override { return std::string(utf8); }

    const std::string& Viewer() const { return viewer_; }

  private:
    std::string viewer_;
};

// A lock file in $XDG_RUNTIME_DIR (else the temporary folder), held while the object lives.
class LockFileInstance : public ISingleInstance {
  public:
    // name: the lock's file name without folder.
    explicit LockFileInstance(const std::string& name);
    LockFileInstance(const std::string& folder, const std::string& name);
    bool AnotherInstanceRunning() override;

  private:
    QLockFile lock_;
};

class ApplicationIdentity : public IProgramIdentity {
  public:
    std::string ExecutableName() const override;
    std::string ExecutableFolder() const override;
    ProgramVersion Version() const override;
};

// Paths with "\" as separator; only plain files count, directories and hidden files are reported
// as such.
class LocalFileSystem : public IFileSystem {
  public:
    std::optional<FileEntry> Lookup(const std::string& path) const override;
};

class ElapsedClock : public IMonotonicClock {
  public:
    ElapsedClock() { timer_.start(); }
    float Seconds() const override { return static_cast<float>(timer_.nsecsElapsed() / 1e9); }

  private:
    QElapsedTimer timer_;
};

class LocalWallClock : public IClock {
  public:
    LocalTime Now() const override;
};

class QtEventPump : public IEventPump {
  public:
    void ProcessPendingEvents() override;
};

// "1.0.7" -> {1, 0, 7}; missing parts are 0.
ProgramVersion ParseVersion(const std::string& text);

}  // namespace velmaro::qt
