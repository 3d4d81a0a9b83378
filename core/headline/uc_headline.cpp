#include "headline/uc_headline.h"

namespace velmaro {

ucHeadline::ucHeadline() {
    labelBackColor_ = kBackColor;
    lblHeader_.SetCaption(std::string(kDefaultCaption));
    Layout();
}

void ucHeadline::SetWidth(float value) {
    Resize(value, height_);
}

void ucHeadline::SetHeight(float value) {
    Resize(width_, value);
}

void ucHeadline::Move(float left, float top, float width, float height) {
    left_ = left;
    top_ = top;
    Resize(width, height);
}

void ucHeadline::SetLineBorderRight(float value) {
    lineBorderRight_ = value;
    Layout();
}

void ucHeadline::Resize(float width, float height) {
    width_ = width;
    height_ = height;
    Layout();
}

void ucHeadline::Layout() {
    if (height_ != kHeight) {
        // Correcting the height is itself a resize, which lays the control out again.
        SetHeight(kHeight);
    }
    lblHeader_.SetLeft(0);
    lblHeader_.SetTop(0);
    lblHeader_.SetWidth(width_);
    lblHeader_.SetHeight(height_);
    line1_.SetY1(height_ - kLineAboveBottom);
    line1_.SetY2(height_ - kLineAboveBottom);
    line1_.SetX1(0);
    line1_.SetX2(width_ - lineBorderRight_);
    if (layout_) {
        layout_();
    }
}

void ucHeadline::ReadProperties(const IPropertyBag& bag) {
    lblHeader_.SetCaption(ReadProperty(bag, kCaptionKey, kDefaultCaption));
}

void ucHeadline::WriteProperties(IPropertyBag& bag) const {
    WriteProperty(bag, kCaptionKey, lblHeader_.Caption(), kDefaultCaption);
}

void ucHeadline::ForwardClick() {
    if (click_) {
        click_();
    }
}

void ucHeadline::ForwardDblClick() {
    if (dblClick_) {
        dblClick_();
    }
}

}  // namespace velmaro
