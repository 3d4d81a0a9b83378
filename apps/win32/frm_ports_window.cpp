#include "frm_ports_window.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include <oleacc.h>

#include "accessible_control.h"
#include "uc_headline_window.h"
#include "view_resources.h"
#include "win32/win32_text.h"

namespace velmaro::win32 {
namespace {

constexpr UINT_PTR kRefreshTimerId = 1;
// A row click is handed on after the ListView has finished its own click handling.
constexpr UINT kMsgItemClick = WM_APP + 1;
constexpr UINT kMsgItemDblClick = WM_APP + 2;
constexpr UINT kMsgItemKey = WM_APP + 3;  // wParam the row, lParam the ListKey
constexpr DWORD kMainStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

constexpr std::array<int, 5> kImageResources = {IDI_LIST_USB, IDI_LIST_WARNING, IDI_LIST_BT, IDI_LIST_IRDA,
                                                IDI_LIST_COM};

}  // namespace

FrmPortsWindow::FrmPortsWindow(std::string programTitle, bool endsProgram)
    : title_(programTitle),
      endsProgram_(endsProgram),
      dpi_(SystemDpi()),
      timer_(kRefreshTimerId),
      messages_(std::move(programTitle)),
      infoDialog_(dpi_) {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kMainWindowClassName;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;

    CreateFonts();

    RECT frame{0, 0, TwipsToPixels(kClientDesignWidth, dpi_), TwipsToPixels(kClientDesignHeight, dpi_)};
    AdjustWindowRectEx(&frame, kMainStyle, FALSE, WS_EX_CONTROLPARENT);
    CreateWindowExW(WS_EX_CONTROLPARENT, kMainWindowClassName, Utf8ToWide(title_).c_str(), kMainStyle, CW_USEDEFAULT,
                    CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                    GetModuleHandleW(nullptr), this);
    if (!window_) {
        throw std::runtime_error("the main window could not be created");
    }
    // A cable plugged in refreshes the list at once; without the registration the timer alone does.
    notifications_ = std::make_unique<ComPortNotifications>(reinterpret_cast<WindowHandle>(window_));
    icon_ = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VELMARO), IMAGE_ICON, 0, 0,
                                          LR_DEFAULTSIZE | LR_SHARED));
    if (icon_) {
        SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
        SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    }
    timer_.Bind(window_);
    messages_.SetOwner(reinterpret_cast<WindowHandle>(window_));
    clipboard_.SetOwner(reinterpret_cast<WindowHandle>(window_));
    BuildControls();
}

FrmPortsWindow::~FrmPortsWindow() {
    if (window_) {
        DestroyWindow(window_);
    }
    if (images_) {
        ImageList_Destroy(images_);
    }
}

void FrmPortsWindow::CreateFonts() {
    dialogFont_ = CreateDesignFont(kDialogFont, dpi_);
    Font bold = kDialogFont;
    bold.weight = 700;
    boldFont_ = CreateDesignFont(bold, dpi_);
    linkFont_ = CreateDesignFont(kLinkFont, dpi_);
}

void FrmPortsWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    // The old fonts stay selected into the controls until each has its new one.
    FontHandle oldDialog = std::move(dialogFont_), oldBold = std::move(boldFont_), oldLink = std::move(linkFont_);
    dpi_ = dpi;
    CreateFonts();
    for (ChildControl* control : {lblStatic_.get(), lblLastRefresh_.get(), lvwPortsBox_.get(), lblProblem_.get(),
                                  cmdOpenDevMan_.get(), cmdExit_.get(), lblUrlPre_[0].get(), lblUrlPre_[1].get(),
                                  lblUrl_[0].get(), lblUrl_[1].get()}) {
        if (control) {
            control->SetDpi(dpi_, control == lblUrl_[0].get() || control == lblUrl_[1].get() ? linkFont_.Get()
                                                                                              : dialogFont_.Get());
        }
    }
    linBut_->SetDpi(dpi_);
    SetHeadlineDpi(headline_, dpi_);
    infoDialog_.SetDpi(dpi_);
    for (int column : {1, 2}) {
        SetColumnWidth(column, ColumnWidth(column));
    }
    if (images_) {
        // Icons of the size for this resolution; the rows keep their image indexes.
        SendMessageW(listView_, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
        ImageList_Destroy(std::exchange(images_, nullptr));
        AttachImageList();
    }
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame may keep its pixel size while every twip has a new one.
    if (shown_ && presenter_) {
        presenter_->Form_Resize();
    }
    InvalidateRect(window_, nullptr, TRUE);
}

std::unique_ptr<ChildControl> FrmPortsWindow::MakeControl(const ControlDesign& design, int id) {
    const wchar_t* className = L"STATIC";
    DWORD style = WS_CHILD | (design.visible ? WS_VISIBLE : 0);
    HFONT font = dialogFont_.Get();
    switch (design.kind) {
        case ControlKind::Button:
            className = L"BUTTON";
            style |= WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE;
            break;
        case ControlKind::LinkLabel:
            // Drawn by the window itself, with exactly the text extent the label was sized to; a tab
            // stop, so that the keyboard reaches it and Enter opens it.
            style |= SS_OWNERDRAW | SS_NOTIFY | WS_TABSTOP;
            font = linkFont_.Get();
            break;
        case ControlKind::ListView:
            className = WC_LISTVIEWW;
            style |= WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS;
            break;
        default:
            style |= design.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP;
            break;
    }
    const RECT pixels = TwipsRectToPixels(design.rect, dpi_);
    HWND child =
        CreateWindowExW(design.kind == ControlKind::ListView ? WS_EX_CLIENTEDGE : 0, className, L"", style, pixels.left,
                        pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top, window_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!child) {
        throw std::runtime_error("a control of the main window could not be created");
    }
    return std::make_unique<ChildControl>(child, design, dpi_, font);
}

void FrmPortsWindow::BuildControls() {
    // Created in tab order, which is the order the dialog manager tabs through.
    for (const ControlDesign& design : kMainControls) {
        if (design.kind == ControlKind::Headline) {
            continue;  // drawn from the presenter's model, see Attach
        }
        if (design.name == kLvwPorts.name) {
            lvwPortsBox_ = MakeControl(design, kIdLvwPorts);
        } else if (design.name == kLblStatic.name) {
            lblStatic_ = MakeControl(design, kIdLblStatic);
        } else if (design.name == kLblLastRefresh.name) {
            lblLastRefresh_ = MakeControl(design, kIdLblLastRefresh);
        } else if (design.name == kLblProblem.name) {
            lblProblem_ = MakeControl(design, kIdLblProblem);
        } else if (design.name == kCmdOpenDevMan.name) {
            cmdOpenDevMan_ = MakeControl(design, kIdCmdOpenDevMan);
        } else if (design.name == kCmdExit.name) {
            cmdExit_ = MakeControl(design, kIdCmdExit);
        } else if (design.name == kLblUrlPreWeb.name) {
            lblUrlPre_.at(static_cast<std::size_t>(design.index)) =
                MakeControl(design, design.index == 0 ? kIdLblUrlPre0 : kIdLblUrlPre1);
        } else if (design.name == kLblUrlWeb.name) {
            lblUrl_.at(static_cast<std::size_t>(design.index)) =
                MakeControl(design, design.index == 0 ? kIdLblUrl0 : kIdLblUrl1);
        }
    }

    // The dialog manager tabs in z-order: the keyboard's controls go to the top in reading order.
    // The refresh time sits behind the list, whose top border it would otherwise paint over.
    HWND previous = HWND_TOP;
    for (const ControlDesign* design : kFocusOrder) {
        HWND control = FocusControl(*design);
        SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = control;
    }
    HWND lastRefresh = lblLastRefresh_->Window();
    SetWindowLongPtrW(lastRefresh, GWL_STYLE, GetWindowLongPtrW(lastRefresh, GWL_STYLE) | WS_CLIPSIBLINGS);
    SetWindowPos(lastRefresh, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    for (int index : {0, 1}) {
        SetWindowSubclass(lblUrl_.at(static_cast<std::size_t>(index))->Window(), LinkFocusProc, 1, 0);
    }
    SetWindowSubclass(lvwPortsBox_->Window(), ListAccessProc, 1, reinterpret_cast<DWORD_PTR>(this));

    listView_ = lvwPortsBox_->Window();
    SendMessageW(listView_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP,
                 LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        std::wstring header = Utf8ToWide(kColumns[i].header);
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.pszText = header.data();
        column.iSubItem = static_cast<int>(i);
        column.cx = TwipsToPixels(kColumns[i].width, dpi_);
        SendMessageW(listView_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
        columnWidths_[i] = kColumns[i].width;
    }
    portList_ = std::make_unique<ListViewPortList>(listView_);
    linBut_ = std::make_unique<SeparatorLine>(window_, dpi_);

    toolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    for (int index : {0, 1}) {
        AddToolTip(lblUrl_.at(static_cast<std::size_t>(index))->Window(), LinkToolTip(index));
    }
}

HWND FrmPortsWindow::FocusControl(const ControlDesign& design) const {
    if (design.name == kLvwPorts.name) {
        return lvwPortsBox_->Window();
    }
    if (design.name == kLblUrlWeb.name) {
        return lblUrl_.at(static_cast<std::size_t>(design.index))->Window();
    }
    return (design.name == kCmdExit.name ? cmdExit_ : cmdOpenDevMan_)->Window();
}

LRESULT CALLBACK
FrmPortsWindow::LinkFocusProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS) {
        InvalidateRect(link, nullptr, TRUE);  // the focus rectangle comes and goes
    }
    if (message == WM_GETOBJECT) {
        // A screen reader reads the address as a link, not as plain text.
        AccessibleLook look;
        look.role = ROLE_SYSTEM_LINK;
        if (const LRESULT answer = AnswerGetObject(link, wParam, lParam, look)) {
            return answer;
        }
    }
    return DefSubclassProc(link, message, wParam, lParam);
}

LRESULT CALLBACK
FrmPortsWindow::ListAccessProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    if (message == WM_GETOBJECT) {
        // Each row reads with its description and whether it is a problem, not by its port alone.
        auto* self = reinterpret_cast<FrmPortsWindow*>(data);
        AccessibleLook look;
        look.itemName = [self](long item) {
            ListViewPortList& rows = self->PortList();
            const int row = static_cast<int>(item);
            return row <= rows.Count() ? Utf8ToWide(SpokenRow(rows.Text(row), rows.SubItem(row), rows.Tag(row)))
                                       : std::wstring();
        };
        look.itemRole = ROLE_SYSTEM_LISTITEM;
        if (const LRESULT answer = AnswerGetObject(list, wParam, lParam, look)) {
            return answer;
        }
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

void FrmPortsWindow::AddToolTip(HWND label, const std::string& text) {
    if (!toolTip_) {
        return;
    }
    std::wstring wide = Utf8ToWide(text);
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(label);
    tool.lpszText = wide.data();  // copied by the tooltip
    SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void FrmPortsWindow::Attach(frmPorts& presenter) {
    presenter_ = &presenter;
    headline_ = CreateHeadlineWindow(window_, kIdHdlMain, presenter.hdlMain(), dpi_);
}

void FrmPortsWindow::Show() {
    CenterOnScreen(window_);
    ShowWindow(window_, SW_SHOWNORMAL);
    shown_ = true;
    // The first showing is a resize of its own, whether or not the size changed.
    if (presenter_) {
        presenter_->Form_Resize();
    }
    UpdateWindow(window_);
}

float FrmPortsWindow::ColumnWidth(int column) const {
    return columnWidths_.at(static_cast<std::size_t>(column - 1));
}

void FrmPortsWindow::SetColumnWidth(int column, float width) {
    columnWidths_.at(static_cast<std::size_t>(column - 1)) = width;
    SendMessageW(listView_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column - 1),
                 MAKELPARAM(TwipsToPixels(width, dpi_), 0));
}

void FrmPortsWindow::AttachImageList() {
    if (!images_) {
        const int pixels = RowIconPixels(dpi_);
        images_ = ImageList_Create(pixels, pixels, ILC_COLOR32 | ILC_MASK, static_cast<int>(kImageResources.size()), 0);
        for (int resource : kImageResources) {
            auto* icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource),
                                                       IMAGE_ICON, pixels, pixels, LR_DEFAULTCOLOR));
            ImageList_AddIcon(images_, icon);
            if (icon) {
                DestroyIcon(icon);
            }
        }
    }
    SendMessageW(listView_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images_));
}

void FrmPortsWindow::SetTitle(const std::string& title) {
    SetWindowTextUtf8(window_, title);
}

bool FrmPortsWindow::IsMinimized() const {
    return IsIconic(window_) != FALSE;
}

float FrmPortsWindow::ClientWidth() const {
    RECT client{};
    GetClientRect(window_, &client);
    return PixelsToTwips(client.right - client.left, dpi_);
}

float FrmPortsWindow::ClientHeight() const {
    RECT client{};
    GetClientRect(window_, &client);
    return PixelsToTwips(client.bottom - client.top, dpi_);
}

float FrmPortsWindow::OuterWidth() const {
    RECT frame{};
    GetWindowRect(window_, &frame);
    return PixelsToTwips(frame.right - frame.left, dpi_);
}

float FrmPortsWindow::OuterHeight() const {
    RECT frame{};
    GetWindowRect(window_, &frame);
    return PixelsToTwips(frame.bottom - frame.top, dpi_);
}

void FrmPortsWindow::SetOuterSize(float width, float height) {
    RECT frame{};
    GetWindowRect(window_, &frame);
    const int pixelWidth = TwipsToPixels(width, dpi_);
    const int pixelHeight = TwipsToPixels(height, dpi_);
    if (pixelWidth == frame.right - frame.left && pixelHeight == frame.bottom - frame.top) {
        return;
    }
    // WM_SIZE arrives before SetWindowPos returns, and with it the nested layout pass.
    SetWindowPos(window_, nullptr, 0, 0, pixelWidth, pixelHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

WindowHandle FrmPortsWindow::NativeHandle() const {
    return reinterpret_cast<WindowHandle>(window_);
}

void FrmPortsWindow::Unload() {
    timer_.SetEnabled(false);
    if (window_) {
        DestroyWindow(window_);
    }
}

const ChildControl* FrmPortsWindow::ControlOf(HWND window) const {
    for (const auto* control : {lblStatic_.get(), lblLastRefresh_.get(), lblProblem_.get(), lblUrlPre_[0].get(),
                                lblUrlPre_[1].get(), lblUrl_[0].get(), lblUrl_[1].get()}) {
        if (control && control->Window() == window) {
            return control;
        }
    }
    return nullptr;
}

LRESULT CALLBACK FrmPortsWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<FrmPortsWindow*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<FrmPortsWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Dispatch(window, message, wParam, lParam);
}

LRESULT FrmPortsWindow::Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            // Until the first showing there is nothing to lay out; minimised, the presenter does nothing.
            if (shown_ && presenter_) {
                presenter_->Form_Resize();
            }
            return 0;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            const float minimumWidth = presenter_ ? presenter_->MinimumOuterWidth() : kMinOuterWidth;
            info->ptMinTrackSize = {TwipsToPixels(minimumWidth, dpi_), TwipsToPixels(kMinOuterHeight, dpi_)};
            return 0;
        }
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_TIMER:
            if (wParam == timer_.Id()) {
                OnTimer();
            }
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam), lParam);
        case kMsgItemClick:
            if (presenter_) {
                presenter_->lvwPorts_ItemClick(static_cast<int>(wParam));
            }
            return 0;
        case kMsgItemDblClick:
            if (presenter_) {
                presenter_->lvwPorts_DblClick(static_cast<int>(wParam));
            }
            return 0;
        case kMsgItemKey:
            if (presenter_) {
                presenter_->lvwPorts_KeyDown(static_cast<int>(wParam), static_cast<ListKey>(lParam));
            }
            return 0;
        case WM_CTLCOLORSTATIC:
            return OnControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_DRAWITEM:
            DrawLink(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_SETCURSOR: {
            if (pointer_.Busy()) {
                pointer_.Apply();
                return TRUE;
            }
            const ChildControl* control = ControlOf(reinterpret_cast<HWND>(wParam));
            if (control && (control == lblUrl_[0].get() || control == lblUrl_[1].get()) && LOWORD(lParam) == HTCLIENT) {
                SetCursor(LoadCursorA(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        }
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            HDC dc = BeginPaint(window, &paint);
            if (linBut_) {
                linBut_->Paint(dc);
            }
            EndPaint(window, &paint);
            return 0;
        }
        case WM_CLOSE:
            // The title bar's close unloads the window like cmdExit, the timer with it.
            Unload();
            return 0;
        case WM_DEVICECHANGE:
            if (IsDeviceChange(wParam, lParam) && presenter_) {
                Refresh(&frmPorts::DeviceChanged);
            }
            return TRUE;
        case WM_DESTROY:
            timer_.SetEnabled(false);
            notifications_.reset();  // given back while the window it names still exists
            if (endsProgram_) {
                PostQuitMessage(0);
            }
            return 0;
        case WM_NCDESTROY:
            window_ = nullptr;
            timer_.Bind(nullptr);
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void FrmPortsWindow::OnTimer() {
    if (!timer_.Enabled() || !presenter_) {
        return;  // a tick that was due when the timer went off
    }
    Refresh(&frmPorts::tmrRefresh_Timer);
}

void FrmPortsWindow::Refresh(void (frmPorts::*refresh)()) {
    // The whole list is rebuilt: draw it once, at the end.
    SendMessageW(listView_, WM_SETREDRAW, FALSE, 0);
    (presenter_->*refresh)();
    SendMessageW(listView_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(listView_, nullptr, TRUE);
}

ListPlace FrmPortsWindow::lvwPortsPlace() const {
    const auto selected = SendMessageW(listView_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    const bool rows = SendMessageW(listView_, LVM_GETITEMCOUNT, 0, 0) > 0;
    return {static_cast<int>(selected) + 1, rows ? static_cast<int>(SendMessageW(listView_, LVM_GETTOPINDEX, 0, 0)) + 1 : 0};
}

void FrmPortsWindow::SetRowToolTip(int row, const std::string& text) {
    if (row >= 1) {
        rowToolTips_.resize(std::max(rowToolTips_.size(), static_cast<std::size_t>(row)));
        rowToolTips_[static_cast<std::size_t>(row - 1)] = text;
    }
}

void FrmPortsWindow::FollowList(const ListFollow& follow) {
    const auto count = static_cast<int>(SendMessageW(listView_, LVM_GETITEMCOUNT, 0, 0));
    rowToolTips_.resize(static_cast<std::size_t>(count));
    markedRow_ = 0;
    if (follow.top > 1 && follow.top <= count) {
        // Down to the end, then back up: the row comes to the top. (LVM_SCROLL by the row height
        // scrolled too far under Wine.)
        SendMessageW(listView_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(count - 1), FALSE);
        SendMessageW(listView_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(follow.top - 1), FALSE);
    }
    if (follow.select < 1 || follow.select > count) {
        return;
    }
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(listView_, LVM_SETITEMSTATE, static_cast<WPARAM>(follow.select - 1), reinterpret_cast<LPARAM>(&state));
    if (follow.appeared) {
        SendMessageW(listView_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(follow.select - 1), FALSE);
        markedRow_ = follow.select;
    }
}

void FrmPortsWindow::OnCommand(int id, int code) {
    if (!presenter_) {
        return;
    }
    switch (id) {
        case IDOK: {
            // Enter, as the dialog manager hands it on: it acts on the control with the focus.
            HWND focus = GetFocus();
            if (focus == listView_) {
                PostItemKey(ListKey::Enter);
            } else if (lblUrl_[0] && focus == lblUrl_[0]->Window()) {
                presenter_->lblUrl_Click(0);
            } else if (lblUrl_[1] && focus == lblUrl_[1]->Window()) {
                presenter_->lblUrl_Click(1);
            }
            break;
        }
        case kIdCmdExit:
            if (code == BN_CLICKED) {
                presenter_->cmdExit_Click();
            }
            break;
        case kIdCmdOpenDevMan:
            if (code == BN_CLICKED) {
                presenter_->cmdOpenDevMan_Click();
            }
            break;
        case kIdLblUrl0:
        case kIdLblUrl1:
            if (code == STN_CLICKED) {
                presenter_->lblUrl_Click(id == kIdLblUrl0 ? 0 : 1);
            }
            break;
        default:
            break;
    }
}

LRESULT FrmPortsWindow::OnNotify(const NMHDR& header, LPARAM lParam) {
    if (header.hwndFrom != listView_) {
        return 0;
    }
    switch (header.code) {
        case NM_CUSTOMDRAW:
            return OnCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
        case NM_CLICK:
        case NM_DBLCLK: {
            // Posted: the dialog opens after the list has finished with the mouse.
            const auto& activate = *reinterpret_cast<const NMITEMACTIVATE*>(lParam);
            if (activate.iItem >= 0) {
                PostMessageW(window_, header.code == NM_CLICK ? kMsgItemClick : kMsgItemDblClick,
                             static_cast<WPARAM>(activate.iItem + 1), 0);
            }
            return 0;
        }
        case NM_RETURN:
            PostItemKey(ListKey::Enter);
            return 0;
        case LVN_GETINFOTIPW: {
            auto& tip = *reinterpret_cast<NMLVGETINFOTIPW*>(lParam);
            if (tip.iItem >= 0 && static_cast<std::size_t>(tip.iItem) < rowToolTips_.size() && tip.cchTextMax > 0) {
                const std::wstring text = Utf8ToWide(rowToolTips_[static_cast<std::size_t>(tip.iItem)]);
                const std::size_t length = std::min(text.size(), static_cast<std::size_t>(tip.cchTextMax - 1));
                std::copy_n(text.begin(), length, tip.pszText);
                tip.pszText[length] = L'\0';
            }
            return 0;
        }
        case LVN_KEYDOWN:
            if (reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey == VK_SPACE) {
                PostItemKey(ListKey::Space);
            }
            return 0;
        default:
            return 0;
    }
}

void FrmPortsWindow::PostItemKey(ListKey key) {
    const auto focused =
        static_cast<int>(SendMessageW(listView_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (focused >= 0) {
        PostMessageW(window_, kMsgItemKey, static_cast<WPARAM>(focused + 1), static_cast<LPARAM>(key));
    }
}

LRESULT FrmPortsWindow::OnCustomDraw(NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            return CDRF_NOTIFYSUBITEMDRAW;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
            const int row = static_cast<int>(draw.nmcd.dwItemSpec) + 1;
            if (row < 1 || row > portList_->Count()) {
                return CDRF_DODEFAULT;
            }
            // Every cell sets its own font and colour: the control keeps the last ones otherwise.
            const CellLook look = portList_->Look(row, draw.iSubItem == 0 ? 0 : 1);
            SelectObject(draw.nmcd.hdc, ListFont(look.bold));
            draw.clrText = look.ownColor ? ThemedTextColor(Color{Color::Kind::Rgb, look.color}, COLOR_WINDOW,
                                                           HighContrastOn() ? COLOR_WINDOWTEXT : -1)
                                         : look.color;
            if (row == markedRow_) {
                // A port that just appeared: on the tooltips' colours, selected or not.
                draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED);
                draw.clrTextBk = GetSysColor(COLOR_INFOBK);
                if (!look.ownColor) {
                    draw.clrText = GetSysColor(COLOR_INFOTEXT);
                }
            } else if (look.ownColor && (draw.nmcd.uItemState & CDIS_SELECTED)) {
                // A selected problem row keeps its colour, on the light face colour instead of the
                // highlight, which would paint it over in the highlight's text colour.
                draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED);
                draw.clrTextBk = GetSysColor(COLOR_BTNFACE);
            }
            return CDRF_NEWFONT;
        }
        default:
            return CDRF_DODEFAULT;
    }
}

void FrmPortsWindow::DrawLink(const DRAWITEMSTRUCT& item) {
    const ChildControl* link = ControlOf(item.hwndItem);
    if (!link) {
        return;
    }
    RECT rect = item.rcItem;
    FillRect(item.hDC, &rect, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ oldFont = SelectObject(item.hDC, linkFont_.Get());
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, link->ForeColor() ? ThemedTextColor(*link->ForeColor(), COLOR_BTNFACE, COLOR_HOTLIGHT)
                                             : GetSysColor(COLOR_BTNTEXT));
    const std::wstring text = Utf8ToWide(link->Caption());
    DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &rect, DT_LEFT | DT_TOP | DT_SINGLELINE);
    if (GetFocus() == item.hwndItem) {
        DrawFocusRect(item.hDC, &item.rcItem);
    }
    SelectObject(item.hDC, oldFont);
}

LRESULT FrmPortsWindow::OnControlColor(HDC dc, HWND control) {
    const ChildControl* label = ControlOf(control);
    // In high contrast the problem line takes the system's text colour, elsewhere its red made readable.
    SetTextColor(dc, label && label->ForeColor()
                         ? ThemedTextColor(*label->ForeColor(), COLOR_BTNFACE, HighContrastOn() ? COLOR_BTNTEXT : -1)
                         : GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace velmaro::win32
