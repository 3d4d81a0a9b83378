#pragma once
// ucHeadline: the caption bar at the top of the main window and the guidance dialog. A bold
// caption on the button face with a thin grey rule near the bottom; the height is fixed.
#include <functional>
#include <string>
#include <string_view>

#include "common/appearance.h"
#include "headline/property_bag.h"
#include "services/controls.h"

namespace velmaro {

class ucHeadline : public IBox {
  public:
    static constexpr float kHeight = 255;          // twips
    static constexpr float kLineAboveBottom = 40;  // twips between the rule and the bottom edge
    static constexpr int kLineWidth = 1;           // pixels
    static constexpr std::string_view kCaptionKey = "Caption";
    static constexpr std::string_view kDefaultCaption = "ucHeadline";

    static constexpr Color kTextColor = Color::Rgb(0, 0, 128);  // navy, 8388608
    static constexpr Color kBackColor = Color::System(kSysColorBtnFace);
    static constexpr Color kLineColor = Color::System(kSysColorGrayText);
    static constexpr Font kFont{"MS Sans Serif", 9.75f, 700};

    // Creation: the label gets the button-face background and the default caption; the layout runs
    // once.
    ucHeadline();

    // The container places the control. Moving keeps the layout; any size change runs it.
    float Left() const override { return left_; }
    float Top() const override { return top_; }
    float Width() const override { return width_; }
    float Height() const override { return height_; }
    void SetLeft(float value) override { left_ = value; }
    void SetTop(float value) override { top_ = value; }
    void SetWidth(float value) override;
    void SetHeight(float value) override;
    // Position and size at once, with one resize.
    void Move(float left, float top, float width, float height);

    // The label's text, access-key ampersands included. Writing does not touch the saved properties.
    std::string Caption() const { return lblHeader_.Caption(); }
    void SetCaption(const std::string& text) { lblHeader_.SetCaption(text); }

    // Gap in twips between the rule's right end and the control's right edge; takes effect at once.
    float LineBorderRight() const { return lineBorderRight_; }
    void SetLineBorderRight(float value);

    void ReadProperties(const IPropertyBag& bag);
    void WriteProperties(IPropertyBag& bag) const;

    // The parts a view draws, back to front, in the control's own twips.
    const LabelModel& lblHeader() const { return lblHeader_; }
    const LineModel& Line1() const { return line1_; }
    Color LabelBackColor() const { return labelBackColor_; }

    // Events to the container.
    void OnClick(std::function<void()> handler) { click_ = std::move(handler); }
    void OnDblClick(std::function<void()> handler) { dblClick_ = std::move(handler); }
    // Called after every layout run, so that a view can redraw.
    void OnLayout(std::function<void()> handler) { layout_ = std::move(handler); }

    // The view forwards clicks on the caption label or on the control's surface.
    void ForwardClick();
    void ForwardDblClick();

  private:
    void Resize(float width, float height);
    void Layout();

    float left_ = 0, top_ = 0, width_ = 0, height_ = kHeight;
    float lineBorderRight_ = 0;
    Color labelBackColor_{};
    LabelModel lblHeader_;
    LineModel line1_;
    std::function<void()> click_, dblClick_, layout_;
};

}  // namespace velmaro
