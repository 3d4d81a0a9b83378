#pragma once
// IMainWindowView: everything frmPorts does to its window goes through here, so that a Win32 or
// Qt view only draws and forwards events, and a test fake can watch the order of operations.
// Positions and sizes are twips of the client area; a view converts them to its own units and
// reads back what was written, so that layout arithmetic does not drift through rounding.
#include <string>

#include "guidance/frm_info.h"
#include "main_window/list_follow.h"
#include "port_list/port_list.h"
#include "services/controls.h"
#include "services/timer.h"
#include "services/user_services.h"
#include "shell/shell_service.h"

namespace velmaro {

class IMainWindowView {
  public:
    virtual ~IMainWindowView() = default;

    // --- the controls (design in frm_ports_design.h; hdlMain is the presenter's own model) ---
    virtual ILabel& lblStatic() = 0;
    virtual ILabel& lblLastRefresh() = 0;
    virtual IPortList& lvwPorts() = 0;  // the rows
    virtual IBox& lvwPortsBox() = 0;    // the list's bounding box
    virtual ILabel& lblProblem() = 0;
    virtual ILine& linBut() = 0;
    virtual IBox& cmdOpenDevMan() = 0;
    virtual IBox& cmdExit() = 0;
    // Control arrays: element 0 belongs to the web site, element 1 to the feedback mail.
    virtual ILabel& lblUrlPre(int index) = 0;
    virtual ILabel& lblUrl(int index) = 0;
    virtual ITimer& tmrRefresh() = 0;

    // Column widths of lvwPorts, columns numbered from 1.
    virtual float ColumnWidth(int column) const = 0;
    virtual void SetColumnWidth(int column, float width) = 0;
    // Makes the image list ilst (kImageKeys) the small-icon list of lvwPorts.
    virtual void AttachImageList() = 0;
    // Following plugging: the selected and the first visible row of lvwPorts before a refresh; a
    // row's tooltip; after a refresh, what to select, scroll to and mark. A view without them keeps
    // the list as the refresh leaves it.
    virtual ListPlace lvwPortsPlace() const { return {}; }
    virtual void SetRowToolTip(int /*row*/, const std::string& /*text*/) {}
    virtual void FollowList(const ListFollow& /*follow*/) {}

    // --- the window ---
    virtual void SetTitle(const std::string& title) = 0;
    virtual bool IsMinimized() const = 0;
    virtual float ClientWidth() const = 0;
    virtual float ClientHeight() const = 0;
    // Frame and title bar included.
    virtual float OuterWidth() const = 0;
    virtual float OuterHeight() const = 0;
    // When the size really changes, the view raises the resize event (frmPorts::Form_Resize)
    // before this returns, as the toolkits do; setting the current size raises nothing.
    virtual void SetOuterSize(float width, float height) = 0;
    // The native window, parent of whatever the shell shows; 0 while there is none.
    virtual WindowHandle NativeHandle() const = 0;
    // Destroys the window; as it is the last one, the program ends.
    virtual void Unload() = 0;

    // --- user-facing services bound to the window ---
    // Boxes carry the program's title as caption.
    virtual IMessageBox& Messages() = 0;
    virtual IClipboard& Clipboard() = 0;
    virtual IMousePointer& Pointer() = 0;
    // Shows frmInfo modally; frmPorts passes its own NativeHandle as owner.
    virtual IInfoDialogView& InfoDialogView() = 0;
};

}  // namespace velmaro
