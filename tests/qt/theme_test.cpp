// The Qt window's text colours on a light, a dark and a high-contrast palette: the design's navy and
// red where they read, else colours of at least 4.5:1 against the background they are drawn on.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <memory>
#include <string>

#include "common/contrast.h"
#include "headline_widget.h"
#include "twips.h"
#include "window_fixture.h"

namespace velmaro::qt {
namespace {

QPalette MakePalette(QColor window, QColor text, QColor base, QColor button, QColor link) {
    QPalette palette;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Window, window);
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::Base, base);
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::Button, button);
        palette.setColor(group, QPalette::ButtonText, text);
        palette.setColor(group, QPalette::Link, link);
    }
    return palette;
}

double Ratio(const QColor& a, const QColor& b) {
    return ContrastRatio(ToRgb(a), ToRgb(b));
}

// The highest contrast any pixel of the headline's caption has against its background.
double HeadlineTextContrast(HeadlineWidget& headline, const QColor& background) {
    const QImage image = headline.grab().toImage();
    double best = 1.0;
    for (int y = 0; y < image.height() * 3 / 4; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            best = std::max(best, Ratio(image.pixelColor(x, y), background));
        }
    }
    return best;
}

TEST(ThemeTest, TextColoursReadOnLightDarkAndHighContrastPalettes) {
    const QColor navy(0, 0, 128), red(192, 0, 0);
    const struct {
        const char* name;
        QPalette palette;
        bool designColours;
    } cases[] = {
        {"light", MakePalette(QColor(240, 240, 240), Qt::black, Qt::white, QColor(240, 240, 240), QColor(0, 0, 255)),
         true},
        {"dark",
         MakePalette(QColor(50, 50, 50), QColor(238, 238, 236), QColor(45, 45, 45), QColor(50, 50, 50),
                     QColor(138, 180, 248)),
         false},
        {"high contrast", MakePalette(Qt::black, Qt::white, Qt::black, Qt::black, QColor(255, 255, 0)), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WindowFixture f("double-assignments.json");
        MainWindow& window = f.window;
        window.setPalette(c.palette);
        f.LoadAndTick();

        const QColor background = c.palette.color(QPalette::Window);
        for (const char* name : {"lblProblem", "lblUrl0", "lblUrl1"}) {
            const QColor shown =
                window.findChild<QLabel*>(QString::fromUtf8(name))->palette().color(QPalette::WindowText);
            EXPECT_GE(Ratio(shown, background), 4.5) << name;
            if (c.designColours) {
                EXPECT_EQ(shown, std::string(name) == "lblProblem" ? red : navy) << name;
            }
        }
        const QTreeWidgetItem* problemRow = window.Tree().topLevelItem(1);
        ASSERT_NE(problemRow, nullptr);
        for (int column : {0, 1}) {
            const QColor shown = problemRow->foreground(column).color();
            EXPECT_GE(Ratio(shown, c.palette.color(QPalette::Base)), 4.5) << column;
            if (c.designColours) {
                EXPECT_EQ(shown, red);
            }
        }
        ASSERT_NE(window.Headline(), nullptr);
        EXPECT_GE(HeadlineTextContrast(*window.Headline(), c.palette.color(QPalette::Button)), 4.5);
    }
}

}  // namespace
}  // namespace velmaro::qt
