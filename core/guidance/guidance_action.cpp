#include "guidance/guidance_action.h"

#include <optional>
#include <string_view>

#include "common/problem_codes.h"
#include "guidance/help_pages.h"

namespace velmaro {
namespace {

// A file address for a page, so that the shell keeps the section's anchor: a plain path loses it.
std::string FileAddress(const std::string& path, std::string_view anchor) {
    std::string address = "file://";
    if (!path.starts_with('/')) {
        address += '/';  // a drive letter: file:///C:/...
    }
    for (const char c : path) {
        if (c == '\\') {
            address += '/';
        } else if (c == ' ') {
            address += "%20";
        } else if (c == '%') {
            address += "%25";
        } else if (c == '#') {
            address += "%23";
        } else {
            address += c;
        }
    }
    address += kHelpSectionSeparator;
    address += anchor;
    return address;
}

// The anchor of a help-section action, or nothing for any other action.
std::optional<std::string_view> HelpSectionOf(std::string_view action) {
    if (action.size() <= kHelpMarker.size() + 1 || !action.starts_with(kHelpMarker) ||
        action[kHelpMarker.size()] != kHelpSectionSeparator) {
        return std::nullopt;
    }
    return action.substr(kHelpMarker.size() + 1);
}

}  // namespace

bool OpenGuidanceAction(const std::string& action,
                        WindowHandle parentWindow,
                        const IProgramIdentity& identity,
                        const IFileSystem& files,
                        IDesktop& desktop,
                        IMessageBox& messages) {
    const std::optional<std::string_view> section = HelpSectionOf(action);
    if (action != kHelpMarker && !section) {
        desktop.OpenAddress(parentWindow, action);
        return true;
    }
    auto page = FindHelpPage(files, identity.ExecutableFolder());
    if (!page) {
        messages.Show(kMsgHelpFileNotFound, MessageStyle::PromptOnly);
        return false;
    }
    if (section) {
        desktop.OpenAddress(parentWindow, FileAddress(*page, *section));
    } else {
        desktop.OpenDocument(parentWindow, *page);
    }
    return true;
}

}  // namespace velmaro
