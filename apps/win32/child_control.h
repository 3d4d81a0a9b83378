#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "main_window/frm_ports_design.h"
#include "services/controls.h"

namespace velmaro::win32 {

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
    // The window moved to a monitor of another resolution: same twips, new pixels, a font of that
    // resolution (the caller keeps it alive).
    void SetDpi(int dpi, HFONT font);
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

}  // namespace velmaro::win32
