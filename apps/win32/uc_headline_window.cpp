#include "uc_headline_window.h"

#include <oleacc.h>

#include <memory>

#include "accessible_control.h"
#include "common/access_key.h"
#include "view_support.h"
#include "win32/win32_text.h"

namespace velmaro::win32 {
namespace {

struct HeadlineState {
    ucHeadline* model = nullptr;
    int dpi = 96;
    FontHandle font;
};

HeadlineState* StateOf(HWND window) {
    return reinterpret_cast<HeadlineState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void Paint(HWND window, const HeadlineState& state) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    RECT client{};
    GetClientRect(window, &client);
    const ucHeadline& model = *state.model;

    // Back to front: the label on the button face, then the rule line over it.
    HBRUSH back = GetSysColorBrush(static_cast<int>(model.LabelBackColor().value));
    FillRect(dc, &client, back);
    const LabelModel& label = model.lblHeader();
    RECT labelRect{TwipsToPixels(label.Left(), state.dpi), TwipsToPixels(label.Top(), state.dpi),
                   TwipsToPixels(label.Left() + label.Width(), state.dpi),
                   TwipsToPixels(label.Top() + label.Height(), state.dpi)};
    HGDIOBJ oldFont = SelectObject(dc, state.font.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(
        dc, ThemedTextColor(ucHeadline::kTextColor, static_cast<int>(model.LabelBackColor().value), COLOR_BTNTEXT));
    const std::wstring caption = Utf8ToWide(model.Caption());
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &labelRect,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOCLIP);
    SelectObject(dc, oldFont);

    const HeadlinePixels pixels = HeadlineWindowPixels(window);
    RECT line{TwipsToPixels(model.Line1().X1(), state.dpi), pixels.lineY, pixels.lineRight,
              pixels.lineY + ucHeadline::kLineWidth};
    FillRect(dc, &line, GetSysColorBrush(static_cast<int>(ucHeadline::kLineColor.value)));
    EndPaint(window, &paint);
}

LRESULT CALLBACK HeadlineProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE: {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
            break;
        }
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT fills everything
        case WM_PAINT:
            if (HeadlineState* state = StateOf(window)) {
                Paint(window, *state);
                return 0;
            }
            break;
        case WM_LBUTTONDOWN:
            if (HeadlineState* state = StateOf(window)) {
                state->model->ForwardClick();
            }
            return 0;
        case WM_LBUTTONDBLCLK:
            if (HeadlineState* state = StateOf(window)) {
                state->model->ForwardDblClick();
            }
            return 0;
        case WM_GETOBJECT:
            // Read as text by its caption as shown ("&&" one ampersand).
            if (HeadlineState* state = StateOf(window)) {
                AccessibleLook look;
                look.role = ROLE_SYSTEM_STATICTEXT;
                look.name = Utf8ToWide(DisplayedCaption(state->model->Caption()));
                if (const LRESULT answer = AnswerGetObject(window, wParam, lParam, look)) {
                    return answer;
                }
            }
            break;
        case WM_NCDESTROY:
            // The model may be gone already (its owner ends first); only the window's own state goes.
            delete StateOf(window);
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterHeadlineClass() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = HeadlineProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kHeadlineClassName;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

bool IsHeadline(HWND window) {
    wchar_t className[64] = {};
    return IsWindow(window) && GetClassNameW(window, className, 64) > 0 &&
           std::wstring_view(className) == kHeadlineClassName && StateOf(window) != nullptr;
}

}  // namespace

HWND CreateHeadlineWindow(HWND parent, int controlId, ucHeadline& model, int dpi) {
    RegisterHeadlineClass();
    auto state = std::make_unique<HeadlineState>();
    state->model = &model;
    state->dpi = dpi;
    state->font = CreateDesignFont(ucHeadline::kFont, dpi);
    // The caption as the window's text is what screen readers read as its name ("&&" an ampersand).
    const std::wstring name = Utf8ToWide(model.Caption());
    HWND window = CreateWindowExW(0, kHeadlineClassName, name.c_str(), WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), GetModuleHandleW(nullptr),
                                  state.get());
    if (!window) {
        return nullptr;
    }
    state.release();  // the window owns it now
    // The handler holds the window handle only: after the window is gone it finds nothing to move.
    model.OnLayout([window] { SyncHeadlineWindow(window); });
    SyncHeadlineWindow(window);
    return window;
}

void SyncHeadlineWindow(HWND headline) {
    if (!IsHeadline(headline)) {
        return;
    }
    const HeadlineState& state = *StateOf(headline);
    const ucHeadline& model = *state.model;
    const RECT rect = TwipsRectToPixels({model.Left(), model.Top(), model.Width(), model.Height()}, state.dpi);
    SetWindowPos(headline, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(headline, nullptr, FALSE);
}

void SetHeadlineDpi(HWND headline, int dpi) {
    if (!IsHeadline(headline)) {
        return;
    }
    HeadlineState& state = *StateOf(headline);
    state.dpi = dpi;
    state.font = CreateDesignFont(ucHeadline::kFont, dpi);
    SyncHeadlineWindow(headline);
}

HeadlinePixels HeadlineWindowPixels(HWND headline) {
    HeadlinePixels pixels{ChildRect(headline)};
    if (!IsHeadline(headline)) {
        return pixels;
    }
    const HeadlineState& state = *StateOf(headline);
    pixels.lineY = TwipsToPixels(state.model->Line1().Y1(), state.dpi);
    pixels.lineRight = TwipsToPixels(state.model->Line1().X2(), state.dpi);
    return pixels;
}

}  // namespace velmaro::win32
