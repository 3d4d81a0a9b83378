#pragma once
// Who the running program is: its executable's name, its folder and its version. The main window
// shows it in its title, the guidance dialog in its title and the help pages live below the folder.
#include <string>

namespace velmaro {

struct ProgramVersion {
    int major = 0;
    int minor = 0;
    int revision = 0;
    friend bool operator==(const ProgramVersion&, const ProgramVersion&) = default;
};

class IProgramIdentity {
  public:
    virtual ~IProgramIdentity() = default;
    // The executable's file name without its extension, e.g. "Velmaro".
    virtual std::string ExecutableName() const = 0;
    // The folder that holds the executable, without a trailing separator.
    virtual std::string ExecutableFolder() const = 0;
    virtual ProgramVersion Version() const = 0;
};

}  // namespace velmaro
