// The Qt window driven by the real presenter over scenario machines: what one refresh draws into
// the tree, where the controls sit, the links, the guidance dialog a problem row opens, the message
// boxes and the busy pointer. Which rows a machine gives is the core's; here it is how they look.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "headline_widget.h"
#include "linux_services.h"
#include "main_window.h"
#include "window_fixture.h"

namespace velmaro::qt {
namespace {

const QColor kRed(192, 0, 0);
const QColor kGreen(0, 128, 0);

using Fixture = WindowFixture;

// Runs look on the next modal window once the event loop shows it.
void OnNextModal(std::function<void(QWidget&)> look) {
    QTimer::singleShot(0, [look] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            look(*modal);
        }
    });
}

// --- the rows one refresh draws, and where the list ends ---

// Problem rows, the driver scan's too, are bold red in both columns, a lone Siemens cable bold green,
// other rows plain in the tree's own colour; a row's picture is the image list's picture for its key.
// The list ends above the problem line when that is shown.
TEST(RowsTest, OneRefreshDrawsTheRowsAndSizesTheList) {
    const struct {
        const char* scenario;
        std::string text, subItem, icon, tag;
        QColor color;  // invalid: plain
        bool problemLine;
    } rows[] = {
        // clang-format off
        {"double-assignments.json", "COM 1", "Standard COM Port", "COM", "", QColor(), true},
        {"double-assignments.json", "COM 5", "Siemens USB Kabel DCA-510 - COM Port doppelt belegt", "WARNING", "PROBLEM_2XUSED_510", kRed, true},
        {"missing-drivers.json", "Warnung", "USB Wandler / Datenkabel Typ CP210x mit Treiberproblem", "WARNING", "PROBLEM_CP210X", kRed, true},
        {"typical-desktop.json", "COM 3", "Siemens USB Kabel DCA-140/540, DSC-100/600", "USB", "", kGreen, false},
        {"typical-desktop.json", "COM 4", "Standard-Seriell-über-Bluetooth-Verbindung", "BT", "", QColor(), false},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.subItem);
        Fixture f(row.scenario);
        f.LoadAndTick();
        QTreeWidget& tree = f.window.Tree();
        const auto found = tree.findItems(QString::fromStdString(row.subItem), Qt::MatchExactly, 1);
        ASSERT_EQ(found.size(), 1);
        const QTreeWidgetItem& item = *found[0];
        const int position = tree.indexOfTopLevelItem(found[0]) + 1;
        EXPECT_EQ(item.text(0).toStdString(), row.text);
        EXPECT_EQ(std::pair(f.window.lvwPorts().Icon(position), f.window.lvwPorts().Tag(position)),
                  std::pair(row.icon, row.tag));
        // The picture of each size, for the tree's icon size at 96, 144 and 192 DPI.
        for (const auto& [pixels, suffix] : {std::pair(16, ""), std::pair(24, "24"), std::pair(32, "32")}) {
            const QImage image = QImage(QStringLiteral(":/images/%1%2.png").arg(QString::fromStdString(row.icon), suffix));
            ASSERT_EQ(image.size(), QSize(pixels, pixels));
            EXPECT_EQ(item.icon(0).pixmap(pixels, pixels).toImage().convertToFormat(QImage::Format_ARGB32),
                      image.convertToFormat(QImage::Format_ARGB32))
                << pixels;
        }
        const QColor plain = tree.palette().color(QPalette::Text);
        for (int column : {0, 1}) {
            const QBrush brush = item.foreground(column);
            EXPECT_EQ(item.font(column).bold(), row.color.isValid()) << "column " << column;
            EXPECT_EQ(brush.style() == Qt::NoBrush ? plain : brush.color(), row.color.isValid() ? row.color : plain)
                << "column " << column;
        }
        EXPECT_EQ(f.window.ProblemLabel().isVisible(), row.problemLine);
        EXPECT_EQ(f.window.lblLastRefresh().Caption(), "Aktualisiert am 04.12.2026 um 09:05:07 Uhr");

        // At 96 dpi (15 twips a pixel) the design's client area with any frame is below the minimum
        // outer size 8130 x 6720. At a client size of 600 x 500 px (9000 x 7500 twips): cmdExit top
        // 7500 - 615 - 60 = 6825, linBut at 6825 - 60 = 6765, lblProblem top 6765 - 615 - 60 = 6090.
        // The list ends one headline gap (60) above the problem line, 6090 - 60 - 2280 = 3750 twips
        // (250 px), or above linBut, 6765 - 60 - 2280 = 4425 twips (295 px).
        ASSERT_EQ(f.window.logicalDpiX(), 96);
        EXPECT_EQ(f.window.frameGeometry().size(), QSize(542, 448));
        f.window.resize(600, 500);
        QApplication::processEvents();
        EXPECT_EQ(tree.geometry(), QRect(4, 152, 592, row.problemLine ? 250 : 295));  // width 9000 - 2 * 60 twips
        EXPECT_EQ(tree.columnWidth(0), 80);                                           // 1200 twips
        EXPECT_EQ(tree.columnWidth(1), 488);                                          // 8880 - 1200 - 360 twips
        const auto at = [&f](const char* name) { return f.window.findChild<QWidget*>(name)->geometry(); };
        EXPECT_EQ(at("cmdExit"), QRect(499, 455, 97, 41));
        EXPECT_EQ(at("cmdOpenDevMan"), QRect(394, 455, 97, 41));
        EXPECT_EQ(at("linBut"), QRect(4, 451, 592, 1));
        EXPECT_EQ(f.window.Headline()->geometry(), QRect(4, 4, 592, 17));  // 255 twips high
    }
}

// The image list is loaded once: every row of a key shows the same icon, in every refresh, so
// refreshes add no icons and no pixmaps to Qt's cache.
TEST(RowsTest, RowsShareTheImageListsIconsAcrossRefreshes) {
    Fixture f("typical-desktop.json");
    f.LoadAndTick();
    QTreeWidget& tree = f.window.Tree();
    const auto iconKeys = [&tree] {
        std::map<QString, std::set<qint64>> keys;  // image key -> cache keys of its rows' icons
        for (int i = 0; i < tree.topLevelItemCount(); ++i) {
            const QTreeWidgetItem& item = *tree.topLevelItem(i);
            keys[item.data(0, Qt::UserRole + 1).toString()].insert(item.icon(0).cacheKey());
        }
        return keys;
    };
    const auto first = iconKeys();
    ASSERT_GE(first.size(), 2u);  // USB and BT rows at least, to tell icons apart
    for (const auto& [key, cacheKeys] : first) {
        EXPECT_EQ(cacheKeys.size(), 1u) << key.toStdString();
    }
    f.presenter->tmrRefresh_Timer();
    f.presenter->tmrRefresh_Timer();
    EXPECT_EQ(iconKeys(), first);
}

// --- the two links ---

// Navy, underlined, a hand over them; the tooltip names the web address without its scheme, or the
// mail address.
TEST(LinksTest, NavyUnderlinedWithHandAndTooltip) {
    Fixture f("empty.json");
    f.LoadAndTick();
    for (int index : {0, 1}) {
        auto* label = f.window.findChild<QLabel*>(QStringLiteral("lblUrl%1").arg(index));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(std::tuple(label->palette().color(QPalette::WindowText), label->font().underline(),
                             label->cursor().shape()),
                  std::tuple(QColor(0, 0, 128), true, Qt::PointingHandCursor))
            << index;
        const QString text = label->text();
        EXPECT_EQ(label->toolTip(), index == 0 ? text.section(QStringLiteral("://"), 1) + QStringLiteral(" besuchen")
                                               : QStringLiteral("eMail an ") + text + QStringLiteral(" schreiben"));
    }
    // "&&" in a caption shows one "&".
    EXPECT_EQ(f.window.findChild<QLabel*>(QStringLiteral("lblUrlPre1"))->text().toStdString(),
              "Feedback & Bugmeldungen bitte an");
}

// --- a click on a problem row opens the guidance dialog ---

void ClickRow(QTreeWidget& tree, int row) {
    QWidget* viewport = tree.viewport();
    const QPoint at = tree.visualItemRect(tree.topLevelItem(row - 1)).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    QApplication::sendEvent(viewport, &release);
}

// The dialog shows the code's text and buttons, is titled with the program's name and closes with its
// own button; a row without a problem opens nothing.
TEST(DialogTest, ProblemRowOpensTheDialogWithItsText) {
    const struct {
        std::string scenario;
        int row;
        std::string opening;  // of the text; "": no dialog
        bool jaVisible;
        std::string neinCaption;
    } cases[] = {
        {"double-assignments.json", 2, "An Ihrem PC ist ein Siemens USB Datenkabel DCA-510 angeschlossen, jedoch ist",
         true, "Nein"},
        {"missing-drivers.json", 3, "An Ihrem PC ist ein Siemens DCA-510 bzw. ein baugleiche Prolific PL2303", false,
         "OK"},
        {"double-assignments.json", 1, "", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario + " row " + std::to_string(c.row));
        Fixture f(c.scenario);
        f.LoadAndTick();
        QString title, text, nein;
        bool jaVisible = false;
        OnNextModal([&](QWidget& dialog) {
            auto* neinButton = dialog.findChild<QPushButton*>(QStringLiteral("cmdNein"));
            std::tie(title, text, jaVisible, nein) = std::tuple(
                dialog.windowTitle(), dialog.findChild<QPlainTextEdit*>(QStringLiteral("txtInfo"))->toPlainText(),
                dialog.findChild<QPushButton*>(QStringLiteral("cmdJa"))->isVisible(), neinButton->text());
            neinButton->click();
        });
        ClickRow(f.window.Tree(), c.row);
        QApplication::processEvents();
        EXPECT_EQ(text.left(static_cast<int>(QString::fromStdString(c.opening).size())).toStdString(), c.opening);
        EXPECT_EQ(title.toStdString(), c.opening.empty() ? "" : f.identity.ExecutableName());
        EXPECT_EQ(std::pair(jaVisible, nein.toStdString()), std::pair(c.jaVisible, c.neinCaption));
        EXPECT_FALSE(f.presenter->InfoDialog().IsLoaded());
    }
}

// --- message boxes and the busy pointer ---

// Each style's icon and buttons with German captions, the program's name as caption, CR LF as a line
// break and the button pressed as the answer; the Device Manager button reaches its box.
TEST(MessageBoxTest, StylesIconsButtonsAndAnswers) {
    const struct {
        MessageStyle style;
        QMessageBox::StandardButton press;
        QMessageBox::Icon icon;
        QStringList captions;
        MessageResult answer;
    } cases[] = {
        // clang-format off
        {MessageStyle::PromptOnly, QMessageBox::Ok, QMessageBox::NoIcon, {"OK"}, MessageResult::Ok},
        {MessageStyle::InformationOk, QMessageBox::Ok, QMessageBox::Information, {"OK"}, MessageResult::Ok},
        {MessageStyle::ExclamationOkCancel, QMessageBox::Cancel, QMessageBox::Warning, {"OK", "Abbrechen"}, MessageResult::Cancel},
        {MessageStyle::QuestionYesNo, QMessageBox::Yes, QMessageBox::Question, {"Ja", "Nein"}, MessageResult::Yes},
        {MessageStyle::QuestionYesNo, QMessageBox::No, QMessageBox::Question, {"Ja", "Nein"}, MessageResult::No},
        // clang-format on
    };
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList captions;  // left to right
    const auto answerNextBox = [&](QMessageBox::StandardButton press) {
        OnNextModal([&, press](QWidget& modal) {
            auto* box = qobject_cast<QMessageBox*>(&modal);
            ASSERT_NE(box, nullptr);
            QList<QAbstractButton*> buttons = box->buttons();
            std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
            std::tie(title, text, icon, captions) =
                std::tuple(box->windowTitle(), box->text(), box->icon(), QStringList());
            for (QAbstractButton* button : buttons) {
                captions << button->text();
            }
            box->button(press)->click();
        });
    };
    Fixture f("empty.json");
    for (const auto& c : cases) {
        answerNextBox(c.press);
        EXPECT_EQ(f.window.Messages().Show("Zeile 1\r\nZeile 2", c.style), c.answer);
        EXPECT_EQ(std::pair(title.toStdString(), text.toStdString()),
                  std::pair(std::string("Velmaro"), std::string("Zeile 1\nZeile 2")));
        EXPECT_EQ(std::pair(icon, captions), std::pair(c.icon, c.captions));
    }
    f.LoadAndTick();
    answerNextBox(QMessageBox::Ok);
    f.window.findChild<QPushButton*>(QStringLiteral("cmdOpenDevMan"))->click();
    EXPECT_EQ(text.toStdString(), "Gerätemanager nicht aufrufbar.");
    EXPECT_EQ(f.desktop.opened, std::vector<std::string>{"device manager"});
}

// The busy pointer shows while a refresh draws the rows, on an empty list and on a filled one, and
// is gone after it.
TEST(PointerTest, BusyWhileARefreshDrawsTheRows) {
    Fixture f("typical-desktop.json");
    std::vector<bool> busy;
    QObject::connect(f.window.Tree().model(), &QAbstractItemModel::rowsInserted, &f.window, [&busy] {
        busy.push_back(QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
    });
    f.LoadAndTick();
    f.presenter->tmrRefresh_Timer();
    EXPECT_EQ(busy, std::vector<bool>(2 * static_cast<std::size_t>(f.window.Tree().topLevelItemCount()), true));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace velmaro::qt
