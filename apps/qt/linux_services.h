#pragma once
// The platform services of the main window on a Linux desktop: the single-instance claim as a lock
// file, the program's identity, files, clocks and the event pump.
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

namespace velmaro::qt {

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
    // programName: the name the windows show, "" for the executable's file name.
    explicit ApplicationIdentity(std::string programName = {}) : programName_(std::move(programName)) {}
    std::string ExecutableName() const override;
    std::string ExecutableFolder() const override;
    ProgramVersion Version() const override;

  private:
    std::string programName_;
};

// Directories, hidden files (a name that starts with a dot) and other entries that are not plain
// files are reported as such.
class LocalFileSystem : public IFileSystem {
  public:
    std::optional<FileEntry> Lookup(const std::string& path) const override;
    char Separator() const override { return '/'; }
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
