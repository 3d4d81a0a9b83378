#pragma once
// What the "Ja" button of the guidance dialog opens: the local help page for the help marker, the
// page at a section for the marker followed by '#' and the section's anchor, anything else as an
// address handed to the desktop unchanged.
#include <string>

#include "services/file_system.h"
#include "services/program_identity.h"
#include "services/user_services.h"
#include "shell/desktop.h"

namespace velmaro {

// Opens what action names, with parentWindow as the parent of any window the shell shows. Returns
// false only when action is the help marker (exactly, letter case included), alone or with a
// section, and no help page is
// installed; the user has then been told "Hilfedatei nicht gefunden" and nothing was opened.
bool OpenGuidanceAction(const std::string& action,
                        WindowHandle parentWindow,
                        const IProgramIdentity& identity,
                        const IFileSystem& files,
                        IDesktop& desktop,
                        IMessageBox& messages);

}  // namespace velmaro
