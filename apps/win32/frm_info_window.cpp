#include "frm_info_window.h"

#include "uc_headline_window.h"
#include "view_resources.h"
#include "win32/win32_text.h"

namespace velmaro::win32 {

// One showing of the dialog: the model it draws and what the window owns while it is open.
struct FrmInfoWindow::Session {
    frmInfo& dialog;
    int dpi;
    // A copy: the model's own headline belongs to a state that unloads while the window still paints.
    ucHeadline headline;
    FontHandle font;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
};

namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

// An in-memory template without controls: they are built in code once the dialog exists.
struct alignas(4) EmptyDialogTemplate {
    DLGTEMPLATE header{kDialogStyle, 0, 0, 0, 0, 0, 0};
    WORD menu = 0;
    WORD windowClass = 0;
    WORD title = 0;
};

HWND MakeChild(HWND parent,
               const wchar_t* className,
               const std::string& text,
               DWORD style,
               DWORD exStyle,
               const TwipsRect& rect,
               int id,
               int dpi,
               HFONT font) {
    const RECT pixels = TwipsRectToPixels(rect, dpi);
    HWND child = CreateWindowExW(exStyle, className, Utf8ToWide(text).c_str(), WS_CHILD | style, pixels.left,
                                 pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

HICON LoadInfoIcon(int size) {
    return static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_INFO), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

}  // namespace

void FrmInfoWindow::ShowModal(frmInfo& dialog, WindowHandle owner) {
    Session session{dialog, dpi_, dialog.State().ucHeadline1,
                    CreateDesignFont(Font{"MS Sans Serif", 8.25f, 400}, dpi_)};
    EmptyDialogTemplate dialogTemplate;
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &dialogTemplate.header, reinterpret_cast<HWND>(owner),
                            DialogProc, reinterpret_cast<LPARAM>(&session));
    // The close button, Escape or a failed window end the dialog without the model: unload it too.
    dialog.OnUnload({});
    if (dialog.IsLoaded()) {
        dialog.cmdNein_Click();
    }
    if (session.bigIcon) {
        DestroyIcon(session.bigIcon);
    }
    if (session.smallIcon) {
        DestroyIcon(session.smallIcon);
    }
}

INT_PTR CALLBACK FrmInfoWindow::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* session = reinterpret_cast<Session*>(GetWindowLongPtrW(window, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG: {
            session = reinterpret_cast<Session*>(lParam);
            SetWindowLongPtrW(window, DWLP_USER, lParam);
            const int dpi = session->dpi;
            const InfoDialogState& state = session->dialog.State();

            RECT frame{0, 0, TwipsToPixels(kInfoClientWidth, dpi), TwipsToPixels(kInfoClientHeight, dpi)};
            AdjustWindowRectEx(&frame, kDialogStyle, FALSE, 0);
            SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            CenterOnScreen(window);
            SetWindowTextUtf8(window, state.title);
            session->bigIcon = LoadInfoIcon(32);
            session->smallIcon = LoadInfoIcon(16);
            SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(session->bigIcon));
            SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(session->smallIcon));

            // Built in tab order.
            HFONT font = session->font.Get();
            HWND text = MakeChild(window, L"EDIT", state.text,
                                  WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                                  WS_EX_CLIENTEDGE, kInfoTxtInfo.rect, kIdTxtInfo, dpi, font);
            MakeChild(window, L"BUTTON", state.neinCaption, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0,
                      kInfoCmdNein.rect, kIdCmdNein, dpi, font);
            MakeChild(window, L"BUTTON", state.jaCaption,
                      (state.jaVisible ? WS_VISIBLE : 0) | WS_TABSTOP | BS_PUSHBUTTON, 0, kInfoCmdJa.rect, kIdCmdJa,
                      dpi, font);
            const TwipsRect& place = kInfoHeadline.rect;
            session->headline.Move(place.left, place.top, place.width, place.height);
            CreateHeadlineWindow(window, kIdUcHeadline1, session->headline, dpi);

            session->dialog.OnUnload([window] { EndDialog(window, 0); });
            session->dialog.AttachWindow(reinterpret_cast<WindowHandle>(window));
            // The text has the first tab index; the caret starts at its top, nothing selected.
            SetFocus(text);
            SendMessageW(text, EM_SETSEL, 0, 0);
            return FALSE;
        }
        case WM_CTLCOLORSTATIC:
            // The read-only text keeps the white of an editable one.
            if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == kIdTxtInfo) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
                SetBkColor(dc, GetSysColor(COLOR_WINDOW));
                return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
            }
            return FALSE;
        case WM_COMMAND:
            if (!session || HIWORD(wParam) != BN_CLICKED) {
                return FALSE;
            }
            switch (LOWORD(wParam)) {
                case kIdCmdJa:
                    session->dialog.cmdJa_Click();
                    return TRUE;
                case kIdCmdNein:
                    session->dialog.cmdNein_Click();
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}

}  // namespace velmaro::win32
