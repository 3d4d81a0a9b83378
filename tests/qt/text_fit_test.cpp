// No text of the window is cut off, whatever font the desktop has: every label's text fits its
// rectangle, the rows show their whole descriptions, and the mail address stands clear of its
// lead-in and of the buttons. ctest runs this once more with nothing but the DejaVu fonts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QStyle>
#include <QTreeWidget>
#include <climits>
#include <string>

#include "common/access_key.h"
#include "twips.h"
#include "window_fixture.h"

namespace velmaro::qt {
namespace {

// The text's wrapped size in the label's own font, measured independently of QLabel.
QSize TextSize(const QFont& font, int width, const QString& text, bool wrap) {
    return QFontMetrics(font)
        .boundingRect(QRect(0, 0, width, INT_MAX / 2), Qt::AlignLeft | Qt::AlignTop | (wrap ? Qt::TextWordWrap : 0),
                      text)
        .size();
}

TEST(TextFitTest, EveryTextFitsItsRectangle) {
    // The longest descriptions, bold, and the problem line.
    WindowFixture f("double-assignments.json");
    f.LoadAndTick();
    QApplication::processEvents();
    MainWindow& window = f.window;
    ASSERT_TRUE(window.ProblemLabel().isVisible());

    const QString family = qEnvironmentVariable("VELMARO_EXPECT_FAMILY");
    const auto labels = window.findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 9);  // seven labels, two button captions
    for (const QLabel* label : labels) {
        SCOPED_TRACE(label->objectName().toStdString() + ": " + label->text().left(30).toStdString());
        if (!family.isEmpty()) {
            EXPECT_EQ(QFontInfo(label->font()).family(), family);
        }
        const QSize need = TextSize(label->font(), label->width(), label->text(), label->wordWrap());
        EXPECT_LE(need.width(), label->width());
        EXPECT_LE(need.height(), label->height());
    }

    // The headline's caption in its label's rectangle.
    const ucHeadline& headline = f.presenter->hdlMain();
    const LabelModel& caption = headline.lblHeader();
    const QSize headlineNeed = TextSize(ToQFont(ucHeadline::kFont, window.font()), INT_MAX / 2,
                                        QString::fromStdString(DisplayedCaption(caption.Caption())), false);
    EXPECT_LE(headlineNeed.width(), ToPixels(window, caption.Width()));
    EXPECT_LE(headlineNeed.height(), ToPixels(window, caption.Height()));

    // Top to bottom without overlap: the intro above the refresh time, the problem line between the
    // list and the separator; the mail address between its lead-in and the device manager's button.
    const auto at = [&window](const char* name) { return window.findChild<QWidget*>(name)->geometry(); };
    EXPECT_LE(at("lblStatic").bottom(), at("lblLastRefresh").top());
    EXPECT_LE(at("lvwPorts").bottom(), at("lblProblem").top());
    EXPECT_LE(at("lblProblem").bottom(), at("linBut").top());
    EXPECT_LT(at("lblUrlPre1").right(), at("lblUrl1").left());
    EXPECT_LT(at("lblUrl1").right(), at("cmdOpenDevMan").left());
    EXPECT_LT(at("lblUrlPre0").right(), at("cmdOpenDevMan").left());

    // Each description wraps in its column, inside the delegate's text margins, onto a row tall
    // enough to hold it.
    QTreeWidget& tree = window.Tree();
    const int margin = tree.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &tree) + 1;
    ASSERT_GT(tree.topLevelItemCount(), 5);
    for (int row = 0; row < tree.topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = tree.topLevelItem(row);
        SCOPED_TRACE(item->text(1).toStdString());
        const QSize need = TextSize(item->font(1), tree.columnWidth(1) - 2 * margin, item->text(1), true);
        EXPECT_LE(need.height(), tree.visualItemRect(item).height());
    }
}

}  // namespace
}  // namespace velmaro::qt
