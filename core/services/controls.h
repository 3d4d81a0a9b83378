#pragma once
// The window controls as the core sees them: positions and sizes in twips (single precision, as
// the layout arithmetic works in them), captions and visibility.
#include <string>

namespace velmaro {

// A control's bounding box.
class IBox {
  public:
    virtual ~IBox() = default;
    virtual float Left() const = 0;
    virtual float Top() const = 0;
    virtual float Width() const = 0;
    virtual float Height() const = 0;
    virtual void SetLeft(float value) = 0;
    virtual void SetTop(float value) = 0;
    virtual void SetWidth(float value) = 0;
    virtual void SetHeight(float value) = 0;
};

class ILabel : public IBox {
  public:
    virtual std::string Caption() const = 0;
    virtual void SetCaption(const std::string& text) = 0;
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
};

// A straight line from (X1, Y1) to (X2, Y2).
class ILine {
  public:
    virtual ~ILine() = default;
    virtual float X1() const = 0;
    virtual float Y1() const = 0;
    virtual float X2() const = 0;
    virtual float Y2() const = 0;
    virtual void SetX1(float value) = 0;
    virtual void SetY1(float value) = 0;
    virtual void SetX2(float value) = 0;
    virtual void SetY2(float value) = 0;
};

// Plain in-memory controls: what the command-line lister draws into, and what a view reads from.
class BoxModel : public IBox {
  public:
    BoxModel() = default;
    BoxModel(float left, float top, float width, float height)
        : left_(left), top_(top), width_(width), height_(height) {}
    float Left() const override { return left_; }
    float Top() const override { return top_; }
    float Width() const override { return width_; }
    float Height() const override { return height_; }
    void SetLeft(float value) override { left_ = value; }
    void SetTop(float value) override { top_ = value; }
    void SetWidth(float value) override { width_ = value; }
    void SetHeight(float value) override { height_ = value; }

  private:
    float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

class LabelModel : public ILabel {
  public:
    LabelModel() = default;
    LabelModel(float left, float top, float width, float height, std::string caption = {}, bool visible = true)
        : box_(left, top, width, height), caption_(std::move(caption)), visible_(visible) {}
    float Left() const override { return box_.Left(); }
    float Top() const override { return box_.Top(); }
    float Width() const override { return box_.Width(); }
    float Height() const override { return box_.Height(); }
    void SetLeft(float value) override { box_.SetLeft(value); }
    void SetTop(float value) override { box_.SetTop(value); }
    void SetWidth(float value) override { box_.SetWidth(value); }
    void SetHeight(float value) override { box_.SetHeight(value); }
    std::string Caption() const override { return caption_; }
    void SetCaption(const std::string& text) override { caption_ = text; }
    bool Visible() const override { return visible_; }
    void SetVisible(bool visible) override { visible_ = visible; }

  private:
    BoxModel box_;
    std::string caption_;
    bool visible_ = true;
};

class LineModel : public ILine {
  public:
    LineModel() = default;
    LineModel(float x1, float y1, float x2, float y2) : x1_(x1), y1_(y1), x2_(x2), y2_(y2) {}
    float X1() const override { return x1_; }
    float Y1() const override { return y1_; }
    float X2() const override { return x2_; }
    float Y2() const override { return y2_; }
    void SetX1(float value) override { x1_ = value; }
    void SetY1(float value) override { y1_ = value; }
    void SetX2(float value) override { x2_ = value; }
    void SetY2(float value) override { y2_ = value; }

  private:
    float x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
};

}  // namespace velmaro
