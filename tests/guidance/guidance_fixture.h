#pragma once
// A guidance dialog wired to in-memory services: program folder, help pages, shell, message box,
// and a clock that moves a quarter second on every round of the event loop.
#include <string>

#include "guidance/frm_info.h"
#include "memory/memory_file_system.h"
#include "memory/memory_program.h"
#include "memory/memory_shell.h"
#include "support/fakes.h"

namespace velmaro::testing {

inline constexpr const char* kProgramFolder = "C:\\Programme\\Velmaro";
inline constexpr const char* kHelpFolder = "C:\\Programme\\Velmaro\\Hilfe\\";

inline std::string HelpPage(const std::string& windows) {
    return std::string(kHelpFolder) + "Siemens_DCA-140-540_USB_Hinweise_" + windows + ".htm";
}

class GuidanceFixture {
  public:
    GuidanceFixture() : pump(clock, 0.25f), dialog({identity, shell, messages, files, clock, pump}) {
        dialog.OnUnload([this] { ++unloads; });
    }

    memory::FixedProgramIdentity identity{"Velmaro", kProgramFolder};
    memory::MemoryShell shell;
    RecordingMessageBox messages;
    memory::MemoryFileSystem files;
    memory::ManualClock clock;
    memory::SteppingEventPump pump;
    frmInfo dialog;
    int unloads = 0;
};

}  // namespace velmaro::testing
