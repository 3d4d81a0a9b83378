#include "guidance/guidance_action.h"

#include "common/problem_codes.h"
#include "guidance/help_pages.h"

namespace velmaro {

bool OpenGuidanceAction(const std::string& action,
                        WindowHandle parentWindow,
                        const IProgramIdentity& identity,
                        const IFileSystem& files,
                        IDesktop& desktop,
                        IMessageBox& messages) {
    if (action != kHelpMarker) {
        desktop.OpenAddress(parentWindow, action);
        return true;
    }
    auto page = FindHelpPage(files, identity.ExecutableFolder());
    if (!page) {
        messages.Show(kMsgHelpFileNotFound, MessageStyle::PromptOnly);
        return false;
    }
    desktop.OpenDocument(parentWindow, *page);
    return true;
}

}  // namespace velmaro
