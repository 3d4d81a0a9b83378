// The Qt window driven by the real presenter over scenario machines: what one refresh draws into
// the tree, where the list sits, the guidance dialog a problem row opens, the message boxes and the
// busy pointer.
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
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "headline_widget.h"
#include "linux_services.h"
#include "main_window.h"
#include "memory/memory_machine.h"
#include "memory/scenario.h"
#include "support/fakes.h"

namespace velmaro::qt {
namespace {

const QColor kRed(192, 0, 0);
const QColor kGreen(0, 128, 0);

// The window, its presenter and the services behind them, over one scenario.
struct Fixture {
    explicit Fixture(const std::string& scenario) : instance(lockDir.path().toStdString(), "velmaro.lock") {
        memory::LoadScenarioFile(std::string(VELMARO_SCENARIO_DIR) + "/" + scenario, machine);
        presenter = std::make_unique<frmPorts>(
            window, MainWindowServices{machine, machine, clock, shell, identity, instance, files, monotonic, events});
        window.Attach(*presenter);
    }
    // Load, show, and one refresh.
    void LoadAndTick() {
        ASSERT_TRUE(presenter->Form_Load());
        window.show();
        QApplication::processEvents();
        presenter->tmrRefresh_Timer();
    }
    QTreeWidgetItem& Row(int row) { return *window.Tree().topLevelItem(row - 1); }

    memory::MemoryMachine machine;
    testing::FixedClock clock;
    XdgShellService shell{""};
    ApplicationIdentity identity;
    QTemporaryDir lockDir;
    LockFileInstance instance;
    LocalFileSystem files;
    ElapsedClock monotonic;
    QtEventPump events;
    MainWindow window;
    std::unique_ptr<frmPorts> presenter;
};

// --- the rows one refresh draws ---

struct ExpectedRow {
    std::string text;
    std::string subItem;
    std::string icon;
    std::string tag;
    bool bold;
    std::optional<QColor> color;  // nothing: the tree's default colour
};

struct ScenarioCase {
    std::string scenario;
    std::vector<ExpectedRow> rows;
    bool problemLine;
};

constexpr const char* kTwice = " - COM Port doppelt belegt";

const ScenarioCase kScenarios[] = {
    {"double-assignments.json",
     {
         {"COM 1", "Standard COM Port", "COM", "", false, std::nullopt},
         {"COM 5", std::string("Siemens USB Kabel DCA-510") + kTwice, "WARNING", "PROBLEM_2XUSED_510", true, kRed},
         {"COM 5", std::string("Standard-Seriell-über-Bluetooth-Verbindung") + kTwice, "WARNING",
          "PROBLEM_2XUSED_OTHER", true, kRed},
         {"COM 7", std::string("USB Serial Port") + kTwice, "WARNING", "PROBLEM_2XUSED_OTHER", true, kRed},
         {"COM 7", std::string("PCI-Seriell-Anschluss") + kTwice, "WARNING", "PROBLEM_2XUSED_OTHER", true, kRed},
         {"COM 8", std::string("Siemens USB Kabel DCA-140/540, DSC-100/600") + kTwice, "WARNING", "PROBLEM_2XUSED_X40",
          true, kRed},
         {"COM 8", std::string("CP210x USB to UART Bridge Controller") + kTwice, "WARNING", "PROBLEM_2XUSED_OTHER",
          true, kRed},
     },
     true},
    {"missing-drivers.json",
     {
         {"COM 1", "Standard COM Port", "COM", "", false, std::nullopt},
         {"Warnung", "Siemens USB Datenkabel mit Treiberproblem", "WARNING", "PROBLEM_X40", true, kRed},
         {"Warnung", "Siemens USB Datenkabel DCA-510 / Prolific PL2303 mit Treiberproblem", "WARNING", "PROBLEM_X510",
          true, kRed},
         {"Warnung", "USB Wandler / Datenkabel Typ usb2vcom mit Treiberproblem", "WARNING", "PROBLEM_USB2VCOM", true,
          kRed},
         {"Warnung", "USB Wandler / Datenkabel Typ FTDI mit Treiberproblem", "WARNING", "PROBLEM_FTDI2XX", true, kRed},
         {"Warnung", "USB Wandler / Datenkabel Typ OTI mit Treiberproblem", "WARNING", "PROBLEM_OTI", true, kRed},
         {"Warnung", "USB Wandler / Datenkabel Typ CP210x mit Treiberproblem", "WARNING", "PROBLEM_CP210X", true, kRed},
     },
     true},
};

class RowsTest : public ::testing::TestWithParam<ScenarioCase> {};

TEST_P(RowsTest, OneRefreshDrawsEveryRowWithBothColumnsStyled) {
    const ScenarioCase& expected = GetParam();
    Fixture f(expected.scenario);
    f.LoadAndTick();

    QTreeWidget& tree = f.window.Tree();
    ASSERT_EQ(tree.topLevelItemCount(), static_cast<int>(expected.rows.size()));
    const QColor defaultColor = tree.palette().color(QPalette::Text);
    for (std::size_t i = 0; i < expected.rows.size(); ++i) {
        SCOPED_TRACE("row " + std::to_string(i + 1));
        const ExpectedRow& row = expected.rows[i];
        QTreeWidgetItem& item = f.Row(static_cast<int>(i) + 1);
        EXPECT_EQ(item.text(0).toStdString(), row.text);
        EXPECT_EQ(item.text(1).toStdString(), row.subItem);
        EXPECT_EQ(f.window.lvwPorts().Icon(static_cast<int>(i) + 1), row.icon);
        // The picture drawn is the image list's picture for that key.
        const QImage drawn = item.icon(0).pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage image = QImage(QStringLiteral(":/images/%1.png").arg(QString::fromStdString(row.icon)))
                                 .convertToFormat(QImage::Format_ARGB32);
        EXPECT_FALSE(image.isNull());
        EXPECT_EQ(drawn, image);
        EXPECT_EQ(f.window.lvwPorts().Tag(static_cast<int>(i) + 1), row.tag);
        for (int column : {0, 1}) {
            EXPECT_EQ(item.font(column).bold(), row.bold) << "column " << column;
            const QBrush brush = item.foreground(column);
            EXPECT_EQ(brush.style() == Qt::NoBrush ? defaultColor : brush.color(), row.color.value_or(defaultColor))
                << "column " << column;
        }
    }
    EXPECT_EQ(f.window.ProblemLabel().isVisible(), expected.problemLine);
    EXPECT_EQ(f.window.lblLastRefresh().Caption(), "Aktualisiert am 04.12.2026 um 09:05:07 Uhr");
}

INSTANTIATE_TEST_SUITE_P(Scenarios, RowsTest, ::testing::ValuesIn(kScenarios));

TEST(RowsTest, SingleSiemensCableIsBoldGreenInBothColumns) {
    Fixture f("typical-desktop.json");
    f.LoadAndTick();
    QTreeWidget& tree = f.window.Tree();
    const auto found =
        tree.findItems(QStringLiteral("Siemens USB Kabel DCA-140/540, DSC-100/600"), Qt::MatchExactly, 1);
    ASSERT_EQ(found.size(), 1);
    for (int column : {0, 1}) {
        EXPECT_TRUE(found[0]->font(column).bold());
        EXPECT_EQ(found[0]->foreground(column).color(), kGreen);
    }
    EXPECT_FALSE(f.window.ProblemLabel().isVisible());
}

// --- geometry (96 dpi: 15 twips a pixel) ---

struct GeometryCase {
    std::string scenario;
    int listHeight;  // pixels
};

// At a client size of 600 x 500 px (9000 x 7500 twips): cmdExit top 7500 - 615 - 60 = 6825, linBut at
// 6825 - 60 = 6765, lblProblem top 6765 - 615 - 60 = 6090. The list ends one headline gap (60) above
// the problem line, 6090 - 60 - 2280 = 3750 twips (250 px), or above linBut, 6765 - 60 - 2280 = 4425
// twips (295 px).
const GeometryCase kGeometry[] = {
    {"double-assignments.json", 250},
    {"typical-desktop.json", 295},
};

class GeometryTest : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(GeometryTest, ControlsSitWhereTheTwipsSay) {
    Fixture f(GetParam().scenario);
    ASSERT_EQ(f.window.logicalDpiX(), 96);
    f.LoadAndTick();
    // The design's client area with any frame is below the minimum outer size 8130 x 6720.
    EXPECT_EQ(f.window.frameGeometry().size(), QSize(542, 448));

    f.window.resize(600, 500);
    QApplication::processEvents();
    QTreeWidget& tree = f.window.Tree();
    EXPECT_EQ(tree.geometry(), QRect(4, 152, 592, GetParam().listHeight));  // width 9000 - 2 * 60 twips
    EXPECT_EQ(tree.columnWidth(0), 80);                                     // 1200 twips
    EXPECT_EQ(tree.columnWidth(1), 488);                                    // 8880 - 1200 - 360 twips
    EXPECT_EQ(f.window.findChild<QWidget*>(QStringLiteral("cmdExit"))->geometry(), QRect(499, 455, 97, 41));
    EXPECT_EQ(f.window.findChild<QWidget*>(QStringLiteral("cmdOpenDevMan"))->geometry(), QRect(394, 455, 97, 41));
    EXPECT_EQ(f.window.findChild<QWidget*>(QStringLiteral("linBut"))->geometry(), QRect(4, 451, 592, 1));
    EXPECT_EQ(f.window.Headline()->geometry(), QRect(4, 4, 592, 17));  // 255 twips high
}

INSTANTIATE_TEST_SUITE_P(Scenarios, GeometryTest, ::testing::ValuesIn(kGeometry));

// --- the two links ---

TEST(LinksTest, NavyUnderlinedWithHandAndTooltip) {
    Fixture f("empty.json");
    f.LoadAndTick();
    for (int index : {0, 1}) {
        SCOPED_TRACE(index);
        auto* label = f.window.findChild<QLabel*>(QStringLiteral("lblUrl%1").arg(index));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text().toStdString(), f.window.lblUrl(index).Caption());
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        EXPECT_TRUE(label->font().underline());
        EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
        EXPECT_EQ(label->toolTip().toStdString(), LinkToolTip(index));
        EXPECT_FALSE(label->toolTip().isEmpty());
    }
    // "&&" in a caption shows one "&".
    EXPECT_EQ(f.window.findChild<QLabel*>(QStringLiteral("lblUrlPre1"))->text().toStdString(),
              "Feedback & Bugmeldungen bitte an");
}

// --- a click on a problem row opens the guidance dialog ---

struct DialogCase {
    std::string scenario;
    int row;
    std::string firstParagraph;
    std::string lastParagraph;
    bool jaVisible;
    std::string neinCaption;
    GuidancePlatform platform = GuidancePlatform::Windows;
};

const DialogCase kDialogs[] = {
    {"double-assignments.json", 2,
     "An Ihrem PC ist ein Siemens USB Datenkabel DCA-510 angeschlossen, jedoch ist der bereitgestellte, virtuelle COM "
     "Port doppelt belegt - siehe Tabelle.",
     "Soll die Anleitung im Internet aufgerufen werden?", true, "Nein"},
    {"missing-drivers.json", 3,
     "An Ihrem PC ist ein Siemens DCA-510 bzw. ein baugleiche Prolific PL2303 USB Datenkabel angeschlossen, jedoch "
     "fehlt der passende Treiber.",
     "Evtl. muß das Kabel nach der Installation noch einmal abgezogen und neu angesteckt werden, damit es endgültig "
     "erkannt wird.",
     false, "OK"},
    {"missing-drivers.json", 3,
     "An Ihrem PC ist ein Siemens DCA-510 bzw. ein baugleiche Prolific PL2303 USB Datenkabel angeschlossen, jedoch "
     "fehlt der passende Treiber.",
     "Ist die Schnittstelle direkt nach dem Anstecken noch belegt, prüft gerade ModemManager, ob ein Modem "
     "angeschlossen ist. Warten Sie einige Sekunden, oder beenden Sie den Dienst mit \"sudo systemctl stop "
     "ModemManager\", wenn Sie kein Modem verwenden.",
     false, "OK", GuidancePlatform::Linux},
};

struct SeenDialog {
    bool shown = false;
    QString title, text, ja, nein;
    bool jaVisible = false;
};

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

class DialogTest : public ::testing::TestWithParam<DialogCase> {};

TEST_P(DialogTest, ProblemRowOpensTheDialogWithItsText) {
    const DialogCase& expected = GetParam();
    Fixture f(expected.scenario);
    f.presenter->InfoDialog().UseGuidanceFor(expected.platform);
    f.LoadAndTick();

    SeenDialog seen;
    // Reads the modal dialog once it runs, then closes it with its own button.
    QTimer::singleShot(0, [&seen] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) {
            return;
        }
        seen.shown = true;
        seen.title = dialog->windowTitle();
        seen.text = dialog->findChild<QPlainTextEdit*>(QStringLiteral("txtInfo"))->toPlainText();
        auto* ja = dialog->findChild<QPushButton*>(QStringLiteral("cmdJa"));
        auto* nein = dialog->findChild<QPushButton*>(QStringLiteral("cmdNein"));
        seen.ja = ja->text();
        seen.jaVisible = ja->isVisible();
        seen.nein = nein->text();
        nein->click();
    });
    ClickRow(f.window.Tree(), expected.row);

    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.title.toStdString(), f.identity.ExecutableName());
    const QStringList paragraphs = seen.text.split(QLatin1Char('\n'));
    EXPECT_EQ(paragraphs.first().toStdString(), expected.firstParagraph);
    EXPECT_EQ(paragraphs.last().toStdString(), expected.lastParagraph);
    EXPECT_EQ(seen.jaVisible, expected.jaVisible);
    EXPECT_EQ(seen.ja.toStdString(), "Ja");
    EXPECT_EQ(seen.nein.toStdString(), expected.neinCaption);
    EXPECT_FALSE(f.presenter->InfoDialog().IsLoaded());
}

INSTANTIATE_TEST_SUITE_P(Rows, DialogTest, ::testing::ValuesIn(kDialogs));

TEST(DialogTest, RowWithoutProblemOpensNothing) {
    Fixture f("double-assignments.json");
    f.LoadAndTick();
    bool opened = false;
    QTimer::singleShot(0, [&opened] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            opened = true;
            dialog->close();
        }
    });
    ClickRow(f.window.Tree(), 1);
    QApplication::processEvents();
    EXPECT_FALSE(opened);
}

// --- message boxes and the busy pointer ---

struct SeenBox {
    bool shown = false;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QStringList captions;  // of the buttons, left to right
};

// Reads the next message box once it runs and answers it with press.
void AnswerNextBox(SeenBox& seen, QMessageBox::StandardButton press) {
    QTimer::singleShot(0, [&seen, press] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            return;
        }
        seen = {true, box->windowTitle(), box->text(), box->icon(), box->standardButtons(), {}};
        QList<QAbstractButton*> buttons = box->buttons();
        std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
        for (QAbstractButton* button : buttons) {
            seen.captions << button->text();
        }
        box->button(press)->click();
    });
}

struct BoxCase {
    const char* name;
    std::function<void(Fixture&)> prepare;
    std::function<void(Fixture&)> act;  // shows the box
    QMessageBox::StandardButton press;
    std::string text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QStringList captions;
};

TEST(MessageBoxTest, EveryBoxIsCaptionedVelmaroWithItsIconAndButtons) {
    std::unique_ptr<LockFileInstance> firstCopy;
    const BoxCase cases[] = {
        {"Device Manager without a device viewer",
         &Fixture::LoadAndTick,
         [](Fixture& f) { f.window.findChild<QPushButton*>(QStringLiteral("cmdOpenDevMan"))->click(); },
         QMessageBox::Cancel,
         "Gerätemanager nicht aufrufbar.",
         QMessageBox::Warning,
         QMessageBox::Ok | QMessageBox::Cancel,
         {"OK", "Abbrechen"}},
        {"double click on the headline",
         &Fixture::LoadAndTick,
         [](Fixture& f) { f.presenter->hdlMain_DblClick(); },
         QMessageBox::Yes,
         "Alles Infos in die Zwischenablage?",
         QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No,
         {"Ja", "Nein"}},
        {"the dump on the clipboard",
         [](Fixture& f) {
             f.LoadAndTick();
             SeenBox question;
             AnswerNextBox(question, QMessageBox::Yes);
             f.presenter->hdlMain_DblClick();
         },
         [](Fixture& f) { f.presenter->tmrRefresh_Timer(); },
         QMessageBox::Ok,
         "OK, alles in der Zwischenablage!",
         QMessageBox::NoIcon,
         QMessageBox::Ok,
         {"OK"}},
        {"a second copy",
         [&firstCopy](Fixture& f) {
             firstCopy = std::make_unique<LockFileInstance>(f.lockDir.path().toStdString(), "velmaro.lock");
             ASSERT_FALSE(firstCopy->AnotherInstanceRunning());
         },
         [](Fixture& f) { EXPECT_FALSE(f.presenter->Form_Load()); },
         QMessageBox::Ok,
         "test_qt läuft bereits.",  // the name of the running executable
         QMessageBox::Information,
         QMessageBox::Ok,
         {"OK"}},
    };
    for (const BoxCase& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f("typical-desktop.json");
        c.prepare(f);
        SeenBox seen;
        AnswerNextBox(seen, c.press);
        c.act(f);
        ASSERT_TRUE(seen.shown);
        EXPECT_EQ(seen.title.toStdString(), "Velmaro");
        EXPECT_EQ(seen.text.toStdString(), c.text);
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.buttons, c.buttons);
        EXPECT_EQ(seen.captions, c.captions);
        firstCopy.reset();
    }
}

TEST(PointerTest, BusyWhileARefreshDrawsTheRowsAndNormalAfterIt) {
    Fixture f("typical-desktop.json");
    std::vector<Qt::CursorShape> whileDrawing;
    QObject::connect(f.window.Tree().model(), &QAbstractItemModel::rowsInserted, &f.window, [&whileDrawing] {
        const QCursor* cursor = QApplication::overrideCursor();
        whileDrawing.push_back(cursor ? cursor->shape() : Qt::ArrowCursor);
    });
    f.LoadAndTick();
    f.presenter->tmrRefresh_Timer();  // and once more on a filled list
    ASSERT_EQ(whileDrawing.size(), 2 * static_cast<std::size_t>(f.window.Tree().topLevelItemCount()));
    EXPECT_EQ(std::count(whileDrawing.begin(), whileDrawing.end(), Qt::WaitCursor),
              static_cast<std::ptrdiff_t>(whileDrawing.size()));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace velmaro::qt
