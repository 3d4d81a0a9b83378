#include "main_window.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <functional>
#include <stdexcept>

#include "common/access_key.h"
#include "headline_widget.h"
#include "main_window/frm_ports_design.h"
#include "twips.h"

// Resources of a static library are registered by hand, outside any namespace.
static void InitVelmaroResources() {
    Q_INIT_RESOURCE(velmaro);
}

namespace velmaro::qt {
namespace {

constexpr int kTagRole = Qt::UserRole;
constexpr int kIconKeyRole = Qt::UserRole + 1;

QString ShownText(const std::string& caption) {
    return QString::fromStdString(DisplayedCaption(caption)).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// A label that reports clicks, for the two links; it takes the focus, and Enter opens it as a
// click does.
class LinkLabel : public QLabel {
  public:
    LinkLabel(QWidget* parent, std::function<void()> onClick) : QLabel(parent), onClick_(std::move(onClick)) {
        setFocusPolicy(Qt::StrongFocus);
    }

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QLabel::mouseReleaseEvent(event);
        if (rect().contains(event->position().toPoint())) {
            onClick_();
        }
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            onClick_();
            return;
        }
        QLabel::keyPressEvent(event);
    }
    void paintEvent(QPaintEvent* event) override {
        QLabel::paintEvent(event);
        if (hasFocus()) {
            QStylePainter painter(this);
            QStyleOptionFocusRect option;
            option.initFrom(this);
            painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
        }
    }

  private:
    std::function<void()> onClick_;
};

// A push button whose caption wraps onto a second line when it is too long for one.
class WrappingButton : public QPushButton {
  public:
    explicit WrappingButton(QWidget* parent) : QPushButton(parent), caption_(new QLabel(this)) {
        caption_->setObjectName(QStringLiteral("caption"));
        caption_->setTextFormat(Qt::PlainText);
        caption_->setWordWrap(true);
        caption_->setAlignment(Qt::AlignCenter);
        caption_->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    void SetCaption(const QString& text) {
        caption_->setText(text);
        setAccessibleName(text);
    }

  protected:
    void resizeEvent(QResizeEvent* event) override {
        QPushButton::resizeEvent(event);
        caption_->setGeometry(rect().adjusted(3, 2, -3, -2));
    }

  private:
    QLabel* caption_;
};

// The separator, in the grey-text colour of the palette.
class SeparatorWidget : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), ToQColor(kLinBut.color, palette()));
    }
};

// Screen readers read the links as links and the headline as text by its caption.
QAccessibleInterface* AccessibleFactory(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) {
        return nullptr;
    }
    if (className == QLatin1String("velmaro::qt::HeadlineWidget")) {
        return new QAccessibleWidget(widget, QAccessible::StaticText, widget->accessibleName());
    }
    if (object->property("velmaroLink").toBool()) {
        return new QAccessibleWidget(widget, QAccessible::Link, widget->accessibleName());
    }
    return nullptr;
}

void UpdateAccessibleText(QTreeWidgetItem& item) {
    const QString text = QString::fromStdString(SpokenRow(item.text(0).toStdString(), item.text(1).toStdString(),
                                                          item.data(0, kTagRole).toString().toStdString()));
    item.setData(0, Qt::AccessibleTextRole, text);
    item.setData(1, Qt::AccessibleTextRole, text);
}

}  // namespace

// --- WidgetControl ---

WidgetControl::WidgetControl(QWidget& widget, const TwipsRect& rect)
    : widget_(widget), left_(rect.left), top_(rect.top), width_(rect.width), height_(rect.height) {
    Place();
}

std::optional<std::pair<float, float>> WidgetControl::TextSize() const {
    const auto* label = qobject_cast<const QLabel*>(&widget_);
    if (!label) {
        return std::nullopt;
    }
    const QWidget& frame = label->parentWidget() ? *label->parentWidget() : static_cast<const QWidget&>(*label);
    if (label->wordWrap()) {
        return std::pair(width_, ToTwips(frame, label->heightForWidth(ToPixels(frame, width_))));
    }
    const QSize hint = label->sizeHint();
    return std::pair(ToTwips(frame, hint.width()), ToTwips(frame, hint.height()));
}

float WidgetControl::Width() const {
    const auto text = TextSize();
    return text ? std::max(width_, text->first) : width_;
}

float WidgetControl::Height() const {
    const auto text = TextSize();
    return text ? std::max(height_, text->second) : height_;
}

void WidgetControl::SetLeft(float value) {
    left_ = value;
    Place();
}
void WidgetControl::SetTop(float value) {
    top_ = value;
    Place();
}
void WidgetControl::SetWidth(float value) {
    width_ = value;
    Place();
}
void WidgetControl::SetHeight(float value) {
    height_ = value;
    Place();
}

void WidgetControl::SetCaption(const std::string& text) {
    caption_ = text;
    if (auto* label = qobject_cast<QLabel*>(&widget_)) {
        label->setText(ShownText(text));
        label->setAccessibleName(label->text());
    } else if (auto* button = dynamic_cast<WrappingButton*>(&widget_)) {
        button->SetCaption(ShownText(text));
    }
    Place();
}

void WidgetControl::SetVisible(bool visible) {
    visible_ = visible;
    widget_.setVisible(visible);
}

void WidgetControl::Place() {
    const QWidget& frame = widget_.parentWidget() ? *widget_.parentWidget() : widget_;
    widget_.setGeometry(ToPixels(frame, left_), ToPixels(frame, top_), ToPixels(frame, Width()),
                        ToPixels(frame, Height()));
}

// --- LineControl ---

LineControl::LineControl(QWidget& widget)
    : widget_(widget), x1_(kLinBut.x1), y1_(kLinBut.y1), x2_(kLinBut.x2), y2_(kLinBut.y2) {
    Place();
}

void LineControl::SetX1(float value) {
    x1_ = value;
    Place();
}
void LineControl::SetY1(float value) {
    y1_ = value;
    Place();
}
void LineControl::SetX2(float value) {
    x2_ = value;
    Place();
}
void LineControl::SetY2(float value) {
    y2_ = value;
    Place();
}

void LineControl::Place() {
    const QWidget& frame = *widget_.parentWidget();
    const int left = ToPixels(frame, std::min(x1_, x2_));
    const int right = ToPixels(frame, std::max(x1_, x2_));
    widget_.setGeometry(left, ToPixels(frame, std::min(y1_, y2_)), std::max(1, right - left), kLinBut.widthPixels);
}

// --- PortTree ---

PortTree::PortTree(QTreeWidget& tree) : tree_(tree) {}

QTreeWidgetItem& PortTree::At(int row) const {
    QTreeWidgetItem* item = row >= 1 ? tree_.topLevelItem(row - 1) : nullptr;
    if (!item) {
        throw std::out_of_range("lvwPorts has no row " + std::to_string(row));
    }
    return *item;
}

void PortTree::Clear() {
    tree_.clear();
}

int PortTree::AddRow(const std::string& text, const std::string& iconKey) {
    auto* item = new QTreeWidgetItem(&tree_);
    item->setText(0, QString::fromStdString(text));
    UpdateAccessibleText(*item);
    const int row = tree_.topLevelItemCount();
    SetIcon(row, iconKey);
    return row;
}

int PortTree::Count() const {
    return tree_.topLevelItemCount();
}

std::string PortTree::Text(int row) const {
    return At(row).text(0).toStdString();
}

std::string PortTree::SubItem(int row) const {
    return At(row).text(1).toStdString();
}

void PortTree::SetSubItem(int row, const std::string& text) {
    At(row).setText(1, QString::fromStdString(text));
    UpdateAccessibleText(At(row));
}

std::string PortTree::Icon(int row) const {
    return At(row).data(0, kIconKeyRole).toString().toStdString();
}

void PortTree::SetIcon(int row, const std::string& iconKey) {
    QTreeWidgetItem& item = At(row);
    item.setData(0, kIconKeyRole, QString::fromStdString(iconKey));
    const auto image = images_.find(iconKey);
    item.setIcon(0, image != images_.end() ? image->second : QIcon());
}

void PortTree::AttachImages() {
    if (!images_.empty()) {
        return;
    }
    for (std::string_view key : kImageKeys) {
        // Each picture at 16, 24 and 32 pixels: the tree draws the one of its icon size.
        const QString name = QString::fromUtf8(key.data(), static_cast<int>(key.size()));
        QIcon icon(QStringLiteral(":/images/%1.png").arg(name));
        for (int pixels : {24, 32}) {
            icon.addFile(QStringLiteral(":/images/%1%2.png").arg(name).arg(pixels), QSize(pixels, pixels));
        }
        images_.emplace(std::string(key), icon);
    }
}

std::string PortTree::Tag(int row) const {
    return At(row).data(0, kTagRole).toString().toStdString();
}

void PortTree::SetTag(int row, const std::string& tag) {
    At(row).setData(0, kTagRole, QString::fromStdString(tag));
    UpdateAccessibleText(At(row));
}

void PortTree::SetBoldAt(int row, int column, bool bold) {
    QTreeWidgetItem& item = At(row);
    QFont font = tree_.font();
    font.setBold(bold);
    item.setFont(column, font);
}

void PortTree::SetBold(int row, bool bold) {
    SetBoldAt(row, 0, bold);
}

void PortTree::SetSubItemBold(int row, bool bold) {
    SetBoldAt(row, 1, bold);
}

void PortTree::SetForeColor(int row, std::uint32_t color) {
    At(row).setForeground(0, ReadableColor(color, tree_.palette().color(QPalette::Base)));
}

void PortTree::SetSubItemForeColor(int row, std::uint32_t color) {
    At(row).setForeground(1, ReadableColor(color, tree_.palette().color(QPalette::Base)));
}

// --- timer, boxes, clipboard, pointer ---

void QtTimer::SetInterval(int milliseconds) {
    timer_.setInterval(milliseconds);
}

void QtTimer::SetEnabled(bool enabled) {
    if (enabled) {
        timer_.start();  // restarts a running count
    } else {
        timer_.stop();
    }
}

MessageResult QtMessageBox::Show(const std::string& text, MessageStyle style) {
    QMessageBox box(&owner_);
    box.setWindowTitle(QString::fromStdString(title_));
    box.setText(QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    switch (style) {
        case MessageStyle::PromptOnly:
            box.setIcon(QMessageBox::NoIcon);
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MessageStyle::InformationOk:
            box.setIcon(QMessageBox::Information);
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MessageStyle::ExclamationOkCancel:
            box.setIcon(QMessageBox::Warning);
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MessageStyle::QuestionYesNo:
            box.setIcon(QMessageBox::Question);
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
    }
    // The buttons speak German as the rest of the program does, whatever the desktop's language.
    for (const auto& [button, caption] : {std::pair{QMessageBox::Ok, "OK"}, std::pair{QMessageBox::Cancel, "Abbrechen"},
                                          std::pair{QMessageBox::Yes, "Ja"}, std::pair{QMessageBox::No, "Nein"}}) {
        if (QAbstractButton* shown = box.button(button)) {
            shown->setText(QString::fromUtf8(caption));
        }
    }
    if (!owner_.isVisible()) {
        // Before the window shows (a second copy's notice) the box has nothing to centre on.
        box.adjustSize();
        CenterOnScreen(box);
    }
    switch (box.exec()) {
        case QMessageBox::Cancel:
            return MessageResult::Cancel;
        case QMessageBox::Yes:
            return MessageResult::Yes;
        case QMessageBox::No:
            return MessageResult::No;
        default:
            // Closing a Yes/No box is not possible; closing an OK/Cancel box means Cancel.
            return style == MessageStyle::ExclamationOkCancel && box.clickedButton() == nullptr ? MessageResult::Cancel
                                                                                                : MessageResult::Ok;
    }
}

void QtClipboard::Clear() {
    QGuiApplication::clipboard()->clear();
}

void QtClipboard::SetText(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

OverrideCursorPointer::~OverrideCursorPointer() {
    Set(MousePointer::Default);
}

void OverrideCursorPointer::Set(MousePointer pointer) {
    const bool busy = pointer == MousePointer::Busy;
    if (busy == busy_) {
        return;
    }
    busy_ = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

// --- MainWindow ---

QLabel* MainWindow::MakeLabel(const ControlDesign& design) {
    QLabel* label = nullptr;
    if (design.kind == ControlKind::LinkLabel) {
        const int index = design.index;
        label = new LinkLabel(this, [this, index] {
            if (presenter_) {
                presenter_->lblUrl_Click(index);
            }
        });
        label->setCursor(Qt::PointingHandCursor);
        label->setProperty("velmaroLink", true);
        label->setToolTip(QString::fromStdString(LinkToolTip(index)));
    } else {
        label = new QLabel(this);
    }
    label->setObjectName(QString::fromUtf8(design.name.data(), static_cast<int>(design.name.size())) +
                         (design.index >= 0 ? QString::number(design.index) : QString()));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(design.wordWrap);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(ToQFont(design.font, font()));
    if (design.foreColor) {
        coloredLabels_.push_back({label, design.foreColor->value, design.kind == ControlKind::LinkLabel});
    }
    label->setVisible(design.visible);
    return label;
}

MainWindow::MainWindow(std::string programTitle)
    : QWidget(nullptr),
      tree_(new QTreeWidget(this)),
      portTree_(*tree_),
      messages_(*this, std::move(programTitle)),
      infoDialog_(*this) {
    InitVelmaroResources();
    static const bool accessibleFactoryInstalled = [] {
        QAccessible::installFactory(AccessibleFactory);
        return true;
    }();
    (void)accessibleFactoryInstalled;
    setObjectName(QStringLiteral("frmPorts"));
    setWindowIcon(QIcon(QStringLiteral(":/images/velmaro.png")));
    setFont(ToQFont(kDialogFont, font()));
    resize(ToPixels(*this, kClientDesignWidth), ToPixels(*this, kClientDesignHeight));

    auto makeControl = [this](const ControlDesign& design) {
        QLabel* label = MakeLabel(design);
        auto control = std::make_unique<WidgetControl>(*label, design.rect);
        if (!design.caption.empty()) {
            control->SetCaption(std::string(design.caption));
        }
        control->SetVisible(design.visible);
        return control;
    };
    lblStatic_ = makeControl(kLblStatic);
    lblLastRefresh_ = makeControl(kLblLastRefresh);
    lblProblem_ = makeControl(kLblProblem);
    problemLabel_ = static_cast<QLabel*>(&lblProblem_->Widget());
    lblUrlPre_[0] = makeControl(kLblUrlPreWeb);
    lblUrl_[0] = makeControl(kLblUrlWeb);
    lblUrlPre_[1] = makeControl(kLblUrlPreMail);
    lblUrl_[1] = makeControl(kLblUrlMail);

    tree_->setObjectName(QStringLiteral("lvwPorts"));
    tree_->setRootIsDecorated(false);
    tree_->setColumnCount(2);
    tree_->setHeaderLabels({QString::fromUtf8(kColumns[0].header.data(), static_cast<int>(kColumns[0].header.size())),
                            QString::fromUtf8(kColumns[1].header.data(), static_cast<int>(kColumns[1].header.size()))});
    const int iconPixels = RowIconPixels(logicalDpiX());
    tree_->setIconSize(QSize(iconPixels, iconPixels));
    tree_->setSelectionBehavior(QAbstractItemView::SelectRows);
    // A description wider than its column wraps onto a taller row instead of ending in "…".
    tree_->setWordWrap(true);
    tree_->setTextElideMode(Qt::ElideNone);
    tree_->header()->setStretchLastSection(false);
    tree_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    lvwPortsBox_ = std::make_unique<WidgetControl>(*tree_, kLvwPorts.rect);
    for (int column = 1; column <= 2; ++column) {
        SetColumnWidth(column, kColumns[static_cast<std::size_t>(column - 1)].width);
    }
    connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
        if (presenter_) {
            presenter_->lvwPorts_ItemClick(tree_->indexOfTopLevelItem(item) + 1);
        }
    });
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int) {
        if (presenter_) {
            presenter_->lvwPorts_DblClick(tree_->indexOfTopLevelItem(item) + 1);
        }
    });
    tree_->installEventFilter(this);

    auto makeButton = [this](const ControlDesign& design, std::function<void(frmPorts&)> handler) {
        auto* button = new WrappingButton(this);
        button->setObjectName(QString::fromUtf8(design.name.data(), static_cast<int>(design.name.size())));
        connect(button, &QPushButton::clicked, this, [this, handler = std::move(handler)] {
            if (presenter_) {
                handler(*presenter_);
            }
        });
        auto control = std::make_unique<WidgetControl>(*button, design.rect);
        control->SetCaption(std::string(design.caption));
        return control;
    };
    cmdOpenDevMan_ = makeButton(kCmdOpenDevMan, [](frmPorts& presenter) { presenter.cmdOpenDevMan_Click(); });
    cmdExit_ = makeButton(kCmdExit, [](frmPorts& presenter) { presenter.cmdExit_Click(); });

    auto* separator = new SeparatorWidget(this);
    separator->setObjectName(QStringLiteral("linBut"));
    linBut_ = std::make_unique<LineControl>(*separator);

    // Tab order in reading order.
    QWidget* previous = nullptr;
    for (const ControlDesign* design : kFocusOrder) {
        QWidget* widget = FocusWidget(*design);
        if (previous) {
            QWidget::setTabOrder(previous, widget);
        }
        previous = widget;
    }

    ApplyTextColors();

    qtimer_.setSingleShot(false);
    connect(&qtimer_, &QTimer::timeout, this, [this] {
        if (presenter_) {
            presenter_->tmrRefresh_Timer();
        }
    });
}

QWidget* MainWindow::FocusWidget(const ControlDesign& design) {
    if (design.name == kLvwPorts.name) {
        return tree_;
    }
    if (design.name == kLblUrlWeb.name) {
        return &lblUrl_.at(static_cast<std::size_t>(design.index))->Widget();
    }
    return &(design.name == kCmdExit.name ? cmdExit_ : cmdOpenDevMan_)->Widget();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tree_ && event->type() == QEvent::KeyPress && presenter_) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const ListKey listKey = key == Qt::Key_Return || key == Qt::Key_Enter ? ListKey::Enter
                                : key == Qt::Key_Space                        ? ListKey::Space
                                                                              : ListKey::Other;
        if (presenter_->lvwPorts_KeyDown(tree_->indexOfTopLevelItem(tree_->currentItem()) + 1, listKey)) {
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

MainWindow::~MainWindow() {
    qtimer_.stop();
}

void MainWindow::Attach(frmPorts& presenter) {
    presenter_ = &presenter;
    headline_ = std::make_unique<HeadlineWidget>(presenter.hdlMain(), this);
    headline_->setObjectName(QStringLiteral("hdlMain"));
    headline_->setAccessibleName(QString::fromStdString(DisplayedCaption(presenter.hdlMain().lblHeader().Caption())));
    headline_->show();
}

float MainWindow::ColumnWidth(int column) const {
    return columnWidths_.at(static_cast<std::size_t>(column - 1));
}

ListPlace MainWindow::lvwPortsPlace() const {
    // A refresh clears the list, which leaves no current item: only a selected one counts.
    QTreeWidgetItem* selected = tree_->selectedItems().isEmpty() ? nullptr : tree_->selectedItems().first();
    return {selected ? tree_->indexOfTopLevelItem(selected) + 1 : 0,
            tree_->topLevelItemCount() > 0 ? tree_->indexOfTopLevelItem(tree_->itemAt(0, 0)) + 1 : 0};
}

void MainWindow::SetRowToolTip(int row, const std::string& text) {
    if (QTreeWidgetItem* item = tree_->topLevelItem(row - 1)) {
        for (int column = 0; column < 2; ++column) {
            item->setToolTip(column, QString::fromStdString(text));
        }
    }
}

void MainWindow::FollowList(const ListFollow& follow) {
    if (marked_) {
        tree_->setPalette(QPalette());  // the inherited colours again
        marked_ = false;
    }
    if (QTreeWidgetItem* top = tree_->topLevelItem(follow.top - 1)) {
        tree_->scrollToItem(top, QAbstractItemView::PositionAtTop);
    }
    QTreeWidgetItem* item = tree_->topLevelItem(follow.select - 1);
    if (item == nullptr) {
        return;
    }
    tree_->setCurrentItem(item);
    if (follow.appeared) {
        tree_->scrollToItem(item, QAbstractItemView::EnsureVisible);
        // Marked until the next refresh, on the tooltip colours: as the selection, and behind the row
        // when another one is selected.
        QPalette marked = tree_->palette();
        marked.setBrush(QPalette::Highlight, marked.brush(QPalette::ToolTipBase));
        marked.setBrush(QPalette::HighlightedText, marked.brush(QPalette::ToolTipText));
        tree_->setPalette(marked);
        marked_ = true;
        for (int column = 0; column < 2; ++column) {
            item->setBackground(column, marked.brush(QPalette::ToolTipBase));
        }
    }
}

void MainWindow::SetColumnWidth(int column, float width) {
    columnWidths_.at(static_cast<std::size_t>(column - 1)) = width;
    tree_->setColumnWidth(column - 1, ToPixels(*this, width));
}

void MainWindow::AttachImageList() {
    portTree_.AttachImages();
}

void MainWindow::SetTitle(const std::string& title) {
    setWindowTitle(QString::fromStdString(title));
}

bool MainWindow::IsMinimized() const {
    return isMinimized();
}

float MainWindow::ClientWidth() const {
    return ToTwips(*this, width());
}

float MainWindow::ClientHeight() const {
    return ToTwips(*this, height());
}

QSize MainWindow::FrameExtra() const {
    return frameGeometry().size() - geometry().size();
}

float MainWindow::OuterWidth() const {
    return ToTwips(*this, frameGeometry().width());
}

float MainWindow::OuterHeight() const {
    return ToTwips(*this, frameGeometry().height());
}

void MainWindow::SetOuterSize(float width, float height) {
    const QSize outer(ToPixels(*this, width), ToPixels(*this, height));
    const QSize client = outer - FrameExtra();
    if (client == size()) {
        return;
    }
    resize(client);
    // A shown top-level window may hear of its new size only later; the presenter wants it now.
    LayOut();
}

WindowHandle MainWindow::NativeHandle() const {
    return testAttribute(Qt::WA_WState_Created) ? static_cast<WindowHandle>(winId()) : 0;
}

void MainWindow::Unload() {
    qtimer_.stop();
    close();
    QCoreApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The title bar's close button unloads the window like cmdExit: the timer stops with it.
    qtimer_.stop();
    QWidget::closeEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void MainWindow::LayOut() {
    // One pass per size: the pass for a size set inside a pass runs nested, as the presenter expects.
    if (!presenter_ || size() == laidOutSize_) {
        return;
    }
    laidOutSize_ = size();
    presenter_->Form_Resize();
    AfterLayout();
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    UpdateMinimumSize();
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // The window manager tells the frame's size only after the first showing, with a move.
    UpdateMinimumSize();
}

void MainWindow::UpdateMinimumSize() {
    if (!isVisible()) {
        return;
    }
    const QSize extra = FrameExtra();
    const float minimumWidth = presenter_ ? presenter_->MinimumOuterWidth() : kMinOuterWidth;
    const QSize minimum(ToPixels(*this, minimumWidth) - extra.width(),
                        ToPixels(*this, kMinOuterHeight) - extra.height());
    if (minimum != minimumSize()) {
        setMinimumSize(minimum);
    }
}

void MainWindow::ApplyTextColors() {
    // Only the text colour is the label's own: the rest follows the window's palette.
    const QColor background = palette().color(QPalette::Window);
    for (const ColoredLabel& colored : coloredLabels_) {
        QPalette pal = colored.label->palette();
        const std::optional<QColor> theme =
            colored.link ? std::optional<QColor>(palette().color(QPalette::Link)) : std::nullopt;
        pal.setColor(QPalette::WindowText, ReadableColor(colored.design, background, theme));
        colored.label->setPalette(pal);
    }
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        ApplyTextColors();
    }
    if (event->type() == QEvent::WindowStateChange && !isMinimized()) {
        // Restoring keeps the size the window had, yet the layout runs once more.
        laidOutSize_ = QSize();
        LayOut();
    }
}

void MainWindow::AfterLayout() {
    if (headline_) {
        headline_->SyncGeometry();
    }
}

}  // namespace velmaro::qt
