#pragma once
// frmPorts as a native window: every control is built in code at the presenter's twips converted
// with the window's DPI, keeps the twips it was given, and hands its events back to the presenter.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "child_control.h"
#include "frm_info_window.h"
#include "list_view_port_list.h"
#include "main_window/frm_ports.h"
#include "main_window/frm_ports_design.h"
#include "main_window/main_window_view.h"
#include "separator_line.h"
#include "view_support.h"
#include "win32/win32_device_changes.h"
#include "win32/win32_services.h"
#include "window_timer.h"

namespace velmaro::win32 {

// The caption of every message box, whatever the executable is called.
inline constexpr const char* kProgramTitle = "Velmaro";
inline constexpr const wchar_t* kMainWindowClassName = L"VelmaroPorts";

// Child window ids, so that the controls can be found with GetDlgItem.
enum MainControlId : int {
    kIdHdlMain = 1001,
    kIdLvwPorts,
    kIdLblStatic,
    kIdLblLastRefresh,
    kIdLblProblem,
    kIdCmdOpenDevMan,
    kIdCmdExit,
    kIdLblUrlPre0,
    kIdLblUrl0,
    kIdLblUrlPre1,
    kIdLblUrl1,
};

class FrmPortsWindow : public IMainWindowView {
  public:
    // endsProgram: destroying the window posts WM_QUIT (the program's window; tests keep running).
    explicit FrmPortsWindow(std::string programTitle = kProgramTitle, bool endsProgram = true);
    ~FrmPortsWindow() override;
    FrmPortsWindow(const FrmPortsWindow&) = delete;
    FrmPortsWindow& operator=(const FrmPortsWindow&) = delete;

    // Connects the events and builds the headline from the presenter's model; the presenter must
    // outlive the window's use of it.
    void Attach(frmPorts& presenter);
    // Centred, normal state; this first showing runs the first layout pass.
    void Show();

    ILabel& lblStatic() override { return *lblStatic_; }
    ILabel& lblLastRefresh() override { return *lblLastRefresh_; }
    IPortList& lvwPorts() override { return *portList_; }
    IBox& lvwPortsBox() override { return *lvwPortsBox_; }
    ILabel& lblProblem() override { return *lblProblem_; }
    ILine& linBut() override { return *linBut_; }
    IBox& cmdOpenDevMan() override { return *cmdOpenDevMan_; }
    IBox& cmdExit() override { return *cmdExit_; }
    ILabel& lblUrlPre(int index) override { return *lblUrlPre_.at(static_cast<std::size_t>(index)); }
    ILabel& lblUrl(int index) override { return *lblUrl_.at(static_cast<std::size_t>(index)); }
    ITimer& tmrRefresh() override { return timer_; }
    float ColumnWidth(int column) const override;
    void SetColumnWidth(int column, float width) override;
    void AttachImageList() override;
    ListPlace lvwPortsPlace() const override;
    void SetRowToolTip(int row, const std::string& text) override;
    void FollowList(const ListFollow& follow) override;
    void SetTitle(const std::string& title) override;
    bool IsMinimized() const override;
    float ClientWidth() const override;
    float ClientHeight() const override;
    float OuterWidth() const override;
    float OuterHeight() const override;
    void SetOuterSize(float width, float height) override;
    WindowHandle NativeHandle() const override;
    void Unload() override;
    IMessageBox& Messages() override { return messages_; }
    IClipboard& Clipboard() override { return clipboard_; }
    IMousePointer& Pointer() override { return pointer_; }
    IInfoDialogView& InfoDialogView() override { return infoDialog_; }

    HWND Handle() const { return window_; }
    HWND ListView() const { return listView_; }
    int Dpi() const { return dpi_; }
    ListViewPortList& PortList() { return *portList_; }
    const SeparatorLine& Separator() const { return *linBut_; }
    // The fonts custom draw selects for normal and bold cells.
    HFONT ListFont(bool bold) const { return bold ? boldFont_.Get() : dialogFont_.Get(); }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(const NMHDR& header, LPARAM lParam);
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw);
    // Enter or Space on the list's focused row, handed to the presenter after the key's message.
    void PostItemKey(ListKey key);
    HWND FocusControl(const ControlDesign& design) const;
    static LRESULT CALLBACK
    ListAccessProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data);
    static LRESULT CALLBACK
    LinkFocusProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data);
    LRESULT OnControlColor(HDC dc, HWND control);
    void DrawLink(const DRAWITEMSTRUCT& item);
    void OnCommand(int id, int code);
    void OnTimer();
    // WM_DPICHANGED: fonts, images and every control at the new resolution, in the suggested frame.
    void OnDpiChanged(int dpi, const RECT& suggested);
    void CreateFonts();
    // The list rebuilt by a refresh, drawn once at its end.
    void Refresh(void (frmPorts::*refresh)());
    void BuildControls();
    std::unique_ptr<ChildControl> MakeControl(const ControlDesign& design, int id);
    void AddToolTip(HWND label, const std::string& text);
    const ChildControl* ControlOf(HWND window) const;

    std::string title_;
    bool endsProgram_;
    int dpi_;
    HWND window_ = nullptr;
    HWND listView_ = nullptr;
    HWND toolTip_ = nullptr;
    HWND headline_ = nullptr;
    FontHandle dialogFont_, boldFont_, linkFont_;
    HIMAGELIST images_ = nullptr;
    HICON icon_ = nullptr;
    frmPorts* presenter_ = nullptr;
    bool shown_ = false;

    std::unique_ptr<ChildControl> lblStatic_, lblLastRefresh_, lvwPortsBox_, lblProblem_, cmdOpenDevMan_, cmdExit_;
    std::array<std::unique_ptr<ChildControl>, 2> lblUrlPre_, lblUrl_;
    std::unique_ptr<SeparatorLine> linBut_;
    std::unique_ptr<ListViewPortList> portList_;
    std::vector<std::string> rowToolTips_;
    int markedRow_ = 0;  // a port that appeared, marked until the next refresh
    std::unique_ptr<ComPortNotifications> notifications_;  // WM_DEVICECHANGE for COM ports
    std::array<float, 2> columnWidths_{};
    WindowTimer timer_;
    Win32MessageBox messages_;
    Win32Clipboard clipboard_;
    Win32MousePointer pointer_;
    FrmInfoWindow infoDialog_;
};

}  // namespace velmaro::win32
