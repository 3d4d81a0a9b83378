#include "guidance/guidance_action.h"

#include "common/problem_codes.h"
#include "guidance/help_pages.h"
#include "shell/shell_helpers.h"

namespace velmaro {

bool OpenGuidanceAction(const std::string& action,
                        WindowHandle parentWindow,
                        const IProgramIdentity& identity,
                        const IFileSystem& files,
                        IShellService& shell,
                        IMessageBox& messages) {
    if (action != kHelpMarker) {
        ShellOpen(shell, parentWindow, action);
        return true;
    }
    auto page = FindHelpPage(files, identity.ExecutableFolder());
    if (!page) {
        messages.Show(kMsgHelpFileNotFound, MessageStyle::PromptOnly);
        return false;
    }
    ShellOpen(shell, parentWindow, *page);
    return true;
}

}  // namespace velmaro
