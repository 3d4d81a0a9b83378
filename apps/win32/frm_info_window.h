#pragma once
// frmInfo as a native modal dialog: fixed size, centred, built in code from the dialog model each
// time it is shown, and closed whenever the model unloads.
#include <windows.h>

#include "guidance/frm_info.h"
#include "view_support.h"

namespace velmaro::win32 {

// Child window ids of the dialog.
enum InfoControlId : int {
    kIdTxtInfo = 2001,
    kIdCmdNein = IDCANCEL,  // Escape and the close button act as "Nein"
    kIdCmdJa = 2003,
    kIdUcHeadline1 = 2004,
};

class FrmInfoWindow : public IInfoDialogView {
  public:
    explicit FrmInfoWindow(int dpi) : dpi_(dpi) {}
    // Returns once the dialog has unloaded.
    void ShowModal(frmInfo& dialog, WindowHandle owner) override;
    // The owner's resolution, for the next showing.
    void SetDpi(int dpi) { dpi_ = dpi; }

  private:
    struct Session;
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    int dpi_;
};

}  // namespace velmaro::win32
