// The Qt window for a keyboard and a screen reader: the guidance opens by Enter, Space and double
// click as by a click, the links take the focus and open by Enter, Tab walks the window in reading
// order, and the accessibility interface reads names and roles back.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "headline_widget.h"
#include "window_fixture.h"

namespace velmaro::qt {
namespace {

// Loaded, shown and refreshed once.
struct Window : WindowFixture {
    explicit Window(const std::string& scenario) : WindowFixture(scenario) { LoadAndTick(); }
};

void SendKey(QWidget& widget, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
}

// The text of the guidance dialog the action opens, closed by its own button; "" for none.
QString GuidanceOpenedBy(const std::function<void()>& action) {
    QString text;
    QTimer::singleShot(0, [&text] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            text = modal->findChild<QPlainTextEdit*>(QStringLiteral("txtInfo"))->toPlainText();
            modal->findChild<QPushButton*>(QStringLiteral("cmdNein"))->click();
        }
    });
    action();
    QApplication::processEvents();
    return text;
}

TEST(KeyboardTest, EnterSpaceAndDoubleClickOpenTheGuidanceOfAProblemRow) {
    enum class Input { Enter, Space, DoubleClick, Escape };
    const struct {
        Input input;
        int row;
        bool opens;
    } cases[] = {
        {Input::Enter, 2, true},   {Input::Space, 2, true},  {Input::DoubleClick, 2, true},
        {Input::Escape, 2, false}, {Input::Enter, 1, false}, {Input::DoubleClick, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("row " + std::to_string(c.row) + " input " + std::to_string(static_cast<int>(c.input)));
        Window w("double-assignments.json");
        QTreeWidget& tree = w.window.Tree();
        tree.setCurrentItem(tree.topLevelItem(c.row - 1));
        const QString text = GuidanceOpenedBy([&] {
            switch (c.input) {
                case Input::Enter:
                    SendKey(tree, Qt::Key_Return);
                    break;
                case Input::Space:
                    SendKey(tree, Qt::Key_Space);
                    break;
                case Input::Escape:
                    SendKey(tree, Qt::Key_Escape);
                    break;
                case Input::DoubleClick: {
                    // The view takes a double click only on the row the press was on; a release
                    // would add a click, which opens the dialog by itself.
                    const QPoint at = tree.visualItemRect(tree.topLevelItem(c.row - 1)).center();
                    const QPoint global = tree.viewport()->mapToGlobal(at);
                    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                                      Qt::NoModifier);
                    QApplication::sendEvent(tree.viewport(), &press);
                    QMouseEvent twice(QEvent::MouseButtonDblClick, at, global, Qt::LeftButton, Qt::LeftButton,
                                      Qt::NoModifier);
                    QApplication::sendEvent(tree.viewport(), &twice);
                    break;
                }
            }
        });
        EXPECT_EQ(text.startsWith(QStringLiteral("An Ihrem PC ist ein Siemens USB Datenkabel DCA-510")), c.opens)
            << text.left(60).toStdString();
        EXPECT_FALSE(w.presenter->InfoDialog().IsLoaded());
    }
}

// Tab from the list reaches the links, then the buttons, and wraps back to the list; Enter on a
// focused link opens its address.
TEST(KeyboardTest, TabWalksInReadingOrderAndEnterOpensALink) {
    Window w("typical-desktop.json");
    std::vector<std::string> chain;
    QWidget* widget = &w.window.Tree();
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisible() && widget->isEnabled()) {
            chain.push_back(widget->objectName().toStdString());
        }
        widget = widget->nextInFocusChain();
    } while (widget != &w.window.Tree() && chain.size() < 20);
    EXPECT_EQ(chain, (std::vector<std::string>{"lvwPorts", "lblUrl0", "lblUrl1", "cmdOpenDevMan", "cmdExit"}));

    for (int index : {0, 1}) {
        auto* link = w.window.findChild<QLabel*>(QStringLiteral("lblUrl%1").arg(index));
        ASSERT_NE(link, nullptr);
        SendKey(*link, Qt::Key_Return);
    }
    EXPECT_EQ(w.desktop.opened,
              (std::vector<std::string>{"address https://www.velmaro.example", "address feedback@velmaro.example"}));
}

// What a screen reader hears: the headline as text by its caption, the links as links, the problem
// line as text, buttons by their captions, and each row as "COM n, description" with ", Problem"
// where it has one.
TEST(AccessibilityTest, NamesAndRolesReadBack) {
    Window w("double-assignments.json");
    const struct {
        const char* name;
        QAccessible::Role role;
        const char* text;
    } cases[] = {
        {"hdlMain", QAccessible::StaticText, "Physikalische & virtuelle COM Ports auf diesem PC"},
        {"lblUrl0", QAccessible::Link, "https://www.velmaro.example"},
        {"lblUrl1", QAccessible::Link, "feedback@velmaro.example"},
        {"lblProblem", QAccessible::StaticText, "Problem entdeckt! Warten Sie zunächst ein paar Sekunden."},
        {"cmdOpenDevMan", QAccessible::Button, "Gerätemanager öffnen"},
        {"cmdExit", QAccessible::Button, "Beenden"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto* widget = w.window.findChild<QWidget*>(QString::fromUtf8(c.name));
        ASSERT_NE(widget, nullptr);
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(face->role(), c.role);
        EXPECT_TRUE(face->text(QAccessible::Name).startsWith(QString::fromUtf8(c.text)))
            << face->text(QAccessible::Name).toStdString();
    }

    QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(&w.window.Tree());
    ASSERT_NE(tree, nullptr);
    QAccessibleTableInterface* table = tree->tableInterface();
    ASSERT_NE(table, nullptr);
    const std::pair<int, const char*> rows[] = {
        {0, "COM 1, Standard COM Port"},
        {1, "COM 5, Siemens USB Kabel DCA-510 - COM Port doppelt belegt, Problem"},
    };
    for (const auto& [row, text] : rows) {
        QAccessibleInterface* cell = table->cellAt(row, 0);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->text(QAccessible::Name).toStdString(), text);
    }
}

}  // namespace
}  // namespace velmaro::qt
