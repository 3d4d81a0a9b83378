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

#include "frm_info_window.h"
#include "main_window/frm_ports.h"
#include "main_window/frm_ports_design.h"
#include "main_window/main_window_view.h"
#include "view_support.h"
#include "win32/win32_services.h"

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

// A child control as a box and label: the twips written are kept and read back; the window follows
// them in pixels. A label sized to its text takes the size of its text instead.
class ChildControl : public ILabel {
  public:
    ChildControl(HWND window, const ControlDesign& design, int dpi, HFONT font);
    float Left() const override { return left_; }
    float Top() const override { return top_; }
    float Width() const override { return width_; }
    float Height() const override { return height_; }
    void SetLeft(float value) override;
    void SetTop(float value) override;
    void SetWidth(float value) override;
    void SetHeight(float value) override;
    std::string Caption() const override { return caption_; }
    void SetCaption(const std::string& text) override;
    bool Visible() const override { return visible_; }
    void SetVisible(bool visible) override;

    HWND Window() const { return window_; }
    // The text colour WM_CTLCOLORSTATIC gives it; nothing for the system's button text.
    const std::optional<Color>& ForeColor() const { return foreColor_; }

  private:
    void Place();
    HWND window_;
    int dpi_;
    HFONT font_;
    bool autoSize_;
    std::optional<Color> foreColor_;
    float left_, top_, width_, height_;
    std::string caption_;
    bool visible_;
};

// linBut, painted by the main window as a one-pixel bar in the grey-text colour.
class SeparatorLine : public ILine {
  public:
    SeparatorLine(HWND parent, int dpi);
    float X1() const override { return x1_; }
    float Y1() const override { return y1_; }
    float X2() const override { return x2_; }
    float Y2() const override { return y2_; }
    void SetX1(float value) override { Move(x1_, value); }
    void SetY1(float value) override { Move(y1_, value); }
    void SetX2(float value) override { Move(x2_, value); }
    void SetY2(float value) override { Move(y2_, value); }
    // Where it is drawn, in client pixels.
    RECT PixelRect() const;
    void Paint(HDC dc) const;

  private:
    void Move(float& end, float value);
    HWND parent_;
    int dpi_;
    float x1_, y1_, x2_, y2_;
};

// What custom draw gives one cell: the font's weight and the text colour.
struct CellLook {
    bool bold = false;
    COLORREF color = 0;
};

// lvwPorts on a report-view ListView. Texts and icons live in the control and are read back from
// it; tag, icon key, bold and colours are kept per row for custom draw.
class ListViewPortList : public IPortList {
  public:
    explicit ListViewPortList(HWND listView) : listView_(listView) {}
    void Clear() override;
    int AddRow(const std::string& text, const std::string& iconKey) override;
    int Count() const override;
    std::string Text(int row) const override;
    std::string SubItem(int row) const override;
    void SetSubItem(int row, const std::string& text) override;
    std::string Icon(int row) const override;
    void SetIcon(int row, const std::string& iconKey) override;
    std::string Tag(int row) const override;
    void SetTag(int row, const std::string& tag) override;
    void SetBold(int row, bool bold) override;
    void SetSubItemBold(int row, bool bold) override;
    void SetForeColor(int row, std::uint32_t color) override;
    void SetSubItemForeColor(int row, std::uint32_t color) override;

    // The image index the control holds for the row (-2, I_IMAGENONE, for none).
    int ImageIndex(int row) const;
    // The look of column 0 (the row) or 1 (sub item 1) of a row.
    CellLook Look(int row, int column) const;

  private:
    struct RowStyle {
        std::string icon;
        std::string tag;
        bool bold = false;
        bool subItemBold = false;
        std::optional<std::uint32_t> foreColor;
        std::optional<std::uint32_t> subItemForeColor;
    };
    RowStyle& At(int row);
    const RowStyle& At(int row) const;
    std::string CellText(int row, int column) const;
    void SetCellText(int row, int column, const std::string& text);
    void Redraw(int row);

    HWND listView_;
    std::vector<RowStyle> rows_;
};

// tmrRefresh as a window timer: enabling (re)starts the count, disabling drops a due tick.
class WindowTimer : public ITimer {
  public:
    explicit WindowTimer(UINT_PTR id) : id_(id) {}
    void Bind(HWND window) { window_ = window; }
    UINT_PTR Id() const { return id_; }
    int Interval() const override { return interval_; }
    void SetInterval(int milliseconds) override;
    bool Enabled() const override { return enabled_; }
    void SetEnabled(bool enabled) override;

  private:
    void Arm();
    HWND window_ = nullptr;
    UINT_PTR id_;
    int interval_ = 0;
    bool enabled_ = false;
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
    LRESULT OnControlColor(HDC dc, HWND control);
    void DrawLink(const DRAWITEMSTRUCT& item);
    void OnCommand(int id, int code);
    void OnTimer();
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
    std::array<float, 2> columnWidths_{};
    WindowTimer timer_;
    Win32MessageBox messages_;
    Win32Clipboard clipboard_;
    Win32MousePointer pointer_;
    FrmInfoWindow infoDialog_;
};

}  // namespace velmaro::win32
