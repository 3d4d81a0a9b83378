#pragma once
// frmPorts drawn with Qt Widgets: each control sits where the presenter puts it, in pixels converted
// from its twips, and every user event goes straight back to the presenter.
#include <QIcon>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "info_dialog.h"
#include "main_window/frm_ports.h"
#include "main_window/frm_ports_design.h"
#include "main_window/main_window_view.h"

class QLabel;
class QPushButton;

namespace velmaro::qt {

// The caption of every message box, whatever the executable is called.
inline constexpr const char* kProgramTitle = "Velmaro";

class HeadlineWidget;

// A widget as an IBox/ILabel: the twips written are kept and read back, the widget follows them.
// A label is never smaller than its text in the font it really got: one that wraps grows taller,
// one that does not grows wider, and reads back the size it has.
class WidgetControl : public ILabel {
  public:
    WidgetControl(QWidget& widget, const TwipsRect& rect);
    float Left() const override { return left_; }
    float Top() const override { return top_; }
    float Width() const override;
    float Height() const override;
    void SetLeft(float value) override;
    void SetTop(float value) override;
    void SetWidth(float value) override;
    void SetHeight(float value) override;
    std::string Caption() const override { return caption_; }
    void SetCaption(const std::string& text) override;
    bool Visible() const override { return visible_; }
    void SetVisible(bool visible) override;
    QWidget& Widget() { return widget_; }

  private:
    void Place();
    // The text's own size in twips, or nothing for a widget that is not a label.
    std::optional<std::pair<float, float>> TextSize() const;
    QWidget& widget_;
    float left_, top_, width_, height_;
    std::string caption_;
    bool visible_ = true;
};

// The separator: a horizontal line, drawn by a one-pixel-high widget.
class LineControl : public ILine {
  public:
    explicit LineControl(QWidget& widget);
    float X1() const override { return x1_; }
    float Y1() const override { return y1_; }
    float X2() const override { return x2_; }
    float Y2() const override { return y2_; }
    void SetX1(float value) override;
    void SetY1(float value) override;
    void SetX2(float value) override;
    void SetY2(float value) override;

  private:
    void Place();
    QWidget& widget_;
    float x1_, y1_, x2_, y2_;
};

// lvwPorts on a QTreeWidget without root decoration; tag, icon key and colour live in item data.
class PortTree : public IPortList {
  public:
    explicit PortTree(QTreeWidget& tree);
    void Clear() override;
    int AddRow(const std::string& text, const std::string& iconKey) override;
    int Count() const override;
    std::string Text(int row) const override;
    std::string SubItem(int row) const override;
    void SetSubItem(int row, const std::string& text) override;
    std::string Icon(int row) const override;
    void SetIcon(int row, const std::string& iconKey) override;
    std::string Tag(int row) const override;
    void SetTag(int row, const std::string& tag) override;
    void SetBold(int row, bool bold) override;
    void SetSubItemBold(int row, bool bold) override;
    void SetForeColor(int row, std::uint32_t color) override;
    void SetSubItemForeColor(int row, std::uint32_t color) override;
    // Loads the image list once; every row shares its icons, so refreshes add no pixmaps.
    void AttachImages();

  private:
    QTreeWidgetItem& At(int row) const;
    void SetBoldAt(int row, int column, bool bold);
    QTreeWidget& tree_;
    std::map<std::string, QIcon, std::less<>> images_;  // ilst, by key; empty until attached
};

class QtTimer : public ITimer {
  public:
    explicit QtTimer(QTimer& timer) : timer_(timer) {}
    int Interval() const override { return timer_.interval(); }
    void SetInterval(int milliseconds) override;
    bool Enabled() const override { return timer_.isActive(); }
    void SetEnabled(bool enabled) override;

  private:
    QTimer& timer_;
};

class QtMessageBox : public IMessageBox {
  public:
    QtMessageBox(QWidget& owner, std::string title) : owner_(owner), title_(std::move(title)) {}
    MessageResult Show(const std::string& text, MessageStyle style) override;

  private:
    QWidget& owner_;
    std::string title_;
};

class QtClipboard : public IClipboard {
  public:
    void Clear() override;
    void SetText(const std::string& text) override;
};

class OverrideCursorPointer : public IMousePointer {
  public:
    ~OverrideCursorPointer() override;
    void Set(MousePointer pointer) override;

  private:
    bool busy_ = false;
};

class MainWindow : public QWidget, public IMainWindowView {
    Q_OBJECT
  public:
    // programTitle captions the message boxes.
    explicit MainWindow(std::string programTitle = kProgramTitle);
    ~MainWindow() override;

    // Connects the events; the presenter must live as long as the window does.
    void Attach(frmPorts& presenter);

    ILabel& lblStatic() override { return *lblStatic_; }
    ILabel& lblLastRefresh() override { return *lblLastRefresh_; }
    IPortList& lvwPorts() override { return portTree_; }
    IBox& lvwPortsBox() override { return *lvwPortsBox_; }
    ILabel& lblProblem() override { return *lblProblem_; }
    ILine& linBut() override { return *linBut_; }
    IBox& cmdOpenDevMan() override { return *cmdOpenDevMan_; }
    IBox& cmdExit() override { return *cmdExit_; }
    ILabel& lblUrlPre(int index) override { return *lblUrlPre_.at(static_cast<std::size_t>(index)); }
    ILabel& lblUrl(int index) override { return *lblUrl_.at(static_cast<std::size_t>(index)); }
    ITimer& tmrRefresh() override { return timer_; }
    float ColumnWidth(int column) const override;
    void SetColumnWidth(int column, float width) override;
    void AttachImageList() override;
    ListPlace lvwPortsPlace() const override;
    void SetRowToolTip(int row, const std::string& text) override;
    void FollowList(const ListFollow& follow) override;
    void SetTitle(const std::string& title) override;
    bool IsMinimized() const override;
    float ClientWidth() const override;
    float ClientHeight() const override;
    float OuterWidth() const override;
    float OuterHeight() const override;
    void SetOuterSize(float width, float height) override;
    WindowHandle NativeHandle() const override;
    void Unload() override;
    IMessageBox& Messages() override { return messages_; }
    IClipboard& Clipboard() override { return clipboard_; }
    IMousePointer& Pointer() override { return pointer_; }
    IInfoDialogView& InfoDialogView() override { return infoDialog_; }

    // For tests and screenshots.
    QTreeWidget& Tree() { return *tree_; }
    QLabel& ProblemLabel() { return *problemLabel_; }
    HeadlineWidget* Headline() { return headline_.get(); }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QSize FrameExtra() const;
    void AfterLayout();
    void UpdateMinimumSize();
    void LayOut();
    QLabel* MakeLabel(const ControlDesign& design);
    QWidget* FocusWidget(const ControlDesign& design);
    // The design's text colours, readable on the palette's background.
    void ApplyTextColors();

    frmPorts* presenter_ = nullptr;
    QTreeWidget* tree_;
    QLabel* problemLabel_ = nullptr;
    QTimer qtimer_;
    QtTimer timer_{qtimer_};
    PortTree portTree_;
    std::unique_ptr<WidgetControl> lblStatic_, lblLastRefresh_, lvwPortsBox_, lblProblem_, cmdOpenDevMan_, cmdExit_;
    std::array<std::unique_ptr<WidgetControl>, 2> lblUrlPre_, lblUrl_;
    std::unique_ptr<LineControl> linBut_;
    std::array<float, 2> columnWidths_{};
    std::unique_ptr<HeadlineWidget> headline_;
    QtMessageBox messages_;
    QtClipboard clipboard_;
    OverrideCursorPointer pointer_;
    InfoDialog infoDialog_;
    QSize laidOutSize_;
    bool marked_ = false;  // a port that appeared is marked until the next refresh
    struct ColoredLabel {
        QLabel* label;
        std::uint32_t design;
        bool link;
    };
    std::vector<ColoredLabel> coloredLabels_;
};

}  // namespace velmaro::qt
