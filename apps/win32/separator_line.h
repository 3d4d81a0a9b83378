#pragma once
#include <windows.h>

#include "services/controls.h"

namespace velmaro::win32 {

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
    void SetDpi(int dpi) { dpi_ = dpi; }

  private:
    void Move(float& end, float value);
    HWND parent_;
    int dpi_;
    float x1_, y1_, x2_, y2_;
};

}  // namespace velmaro::win32
