#pragma once
// Draws a ucHeadline model: its caption on the button face and the grey rule, and hands clicks back.
#include <QWidget>

#include "headline/uc_headline.h"

namespace velmaro::qt {

class HeadlineWidget : public QWidget {
    Q_OBJECT
  public:
    HeadlineWidget(ucHeadline& model, QWidget* parent);
    ~HeadlineWidget() override;
    // Places the widget where the model says, in the parent's pixels.
    void SyncGeometry();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    ucHeadline& model_;
};

}  // namespace velmaro::qt
