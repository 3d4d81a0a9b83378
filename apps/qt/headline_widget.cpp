#include "headline_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include "common/access_key.h"
#include "twips.h"

namespace velmaro::qt {

HeadlineWidget::HeadlineWidget(ucHeadline& model, QWidget* parent) : QWidget(parent), model_(model) {
    // The model belongs to the presenter, which may go before or after this widget: the guard
    // keeps a layout after the widget's end harmless, and the widget never touches a gone model.
    model_.OnLayout([self = QPointer<HeadlineWidget>(this)] {
        if (self) {
            self->SyncGeometry();
        }
    });
    SyncGeometry();
}

HeadlineWidget::~HeadlineWidget() = default;

void HeadlineWidget::SyncGeometry() {
    const QWidget& frame = parentWidget() ? *parentWidget() : *this;
    setGeometry(ToPixels(frame, model_.Left()), ToPixels(frame, model_.Top()), ToPixels(frame, model_.Width()),
                ToPixels(frame, model_.Height()));
    update();
}

void HeadlineWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& pal = palette();
    const QColor back = ToQColor(model_.LabelBackColor(), pal);
    painter.fillRect(rect(), back);

    const LabelModel& label = model_.lblHeader();
    const QRect labelRect(ToPixels(*this, label.Left()), ToPixels(*this, label.Top()), ToPixels(*this, label.Width()),
                          ToPixels(*this, label.Height()));
    painter.setFont(ToQFont(ucHeadline::kFont, font()));
    painter.setPen(ReadableColor(ucHeadline::kTextColor.value, back));
    painter.drawText(labelRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     QString::fromStdString(DisplayedCaption(label.Caption())));

    const LineModel& line = model_.Line1();
    painter.setPen(QPen(ToQColor(ucHeadline::kLineColor, pal), ucHeadline::kLineWidth));
    painter.drawLine(ToPixels(*this, line.X1()), ToPixels(*this, line.Y1()), ToPixels(*this, line.X2()),
                     ToPixels(*this, line.Y2()));
}

void HeadlineWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        model_.ForwardClick();
    }
}

void HeadlineWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        model_.ForwardDblClick();
    }
}

}  // namespace velmaro::qt
