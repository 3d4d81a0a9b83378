#pragma once
// ucHeadline as a window class: draws the headline model (caption, button face, rule line) and
// hands clicks and double clicks back to it. The model is the presenter's; it places the window.
#include <windows.h>

#include "headline/uc_headline.h"

namespace velmaro::win32 {

inline constexpr const wchar_t* kHeadlineClassName = L"VelmaroHeadline";

// Creates the headline as a child of parent at the model's place; the window follows every layout
// of the model from then on. The model must outlive the window's use of it: its layouts after the
// window is gone are harmless, but it must not be destroyed while the window still paints.
HWND CreateHeadlineWindow(HWND parent, int controlId, ucHeadline& model, int dpi);

// Moves the window to its model's rectangle and repaints it.
void SyncHeadlineWindow(HWND headline);

// Draws at another resolution from now on (its font made anew), and moves to match.
void SetHeadlineDpi(HWND headline, int dpi);

// Pixel positions the window draws, for tests: the rule line's row and its end, in client pixels.
struct HeadlinePixels {
    RECT window;  // in the parent's client coordinates
    int lineY = 0;
    int lineRight = 0;
};
HeadlinePixels HeadlineWindowPixels(HWND headline);

}  // namespace velmaro::win32
