#pragma once
// A main window for the presenter tests: controls at their design geometry that write every
// change into one shared log, a window whose outer size springs back through a nested resize
// event as the toolkits do, and the window-bound services.
#include <cstdio>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "main_window/frm_ports_design.h"
#include "main_window/main_window_view.h"
#include "support/fakes.h"

namespace velmaro::testing {

// Frame and title bar around the client area: the design client 7935 x 6270 sits in an outer
// window of exactly the minimum size 8130 x 6720.
inline constexpr float kFrameWidth = 195;
inline constexpr float kFrameHeight = 450;
inline constexpr WindowHandle kMainWindowHandle = 0x4711;

inline std::string Twips(float value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", static_cast<double>(value));
    return buffer;
}

struct EventLog {
    void Add(std::string entry) { entries.push_back(std::move(entry)); }
    std::vector<std::string> entries;
};

// Any control with a bounding box; buttons and the list's box use it as well.
class FakeLabel : public ILabel {
  public:
    FakeLabel(std::string name, EventLog& log, const ControlDesign& design)
        : name_(std::move(name)),
          log_(log),
          model_(design.rect.left,
                 design.rect.top,
                 design.rect.width,
                 design.rect.height,
                 std::string(design.caption),
                 design.visible) {}
    float Left() const override { return model_.Left(); }
    float Top() const override { return model_.Top(); }
    float Width() const override { return model_.Width(); }
    float Height() const override { return model_.Height(); }
    void SetLeft(float value) override { Set("Left", value, &LabelModel::SetLeft); }
    void SetTop(float value) override { Set("Top", value, &LabelModel::SetTop); }
    void SetWidth(float value) override { Set("Width", value, &LabelModel::SetWidth); }
    void SetHeight(float value) override { Set("Height", value, &LabelModel::SetHeight); }
    std::string Caption() const override { return model_.Caption(); }
    void SetCaption(const std::string& text) override {
        log_.Add(name_ + ".Caption=" + text);
        model_.SetCaption(text);
    }
    bool Visible() const override { return model_.Visible(); }
    void SetVisible(bool visible) override {
        log_.Add(name_ + ".Visible=" + (visible ? "1" : "0"));
        model_.SetVisible(visible);
    }
    // Changes made by the test itself, outside the log.
    LabelModel& model() { return model_; }

  private:
    void Set(const char* what, float value, void (LabelModel::*setter)(float)) {
        log_.Add(name_ + "." + what + "=" + Twips(value));
        (model_.*setter)(value);
    }
    std::string name_;
    EventLog& log_;
    LabelModel model_;
};

class FakeLine : public ILine {
  public:
    FakeLine(EventLog& log, const LineDesign& design) : log_(log), model_(design.x1, design.y1, design.x2, design.y2) {}
    float X1() const override { return model_.X1(); }
    float Y1() const override { return model_.Y1(); }
    float X2() const override { return model_.X2(); }
    float Y2() const override { return model_.Y2(); }
    void SetX1(float value) override { Set("X1", value, &LineModel::SetX1); }
    void SetY1(float value) override { Set("Y1", value, &LineModel::SetY1); }
    void SetX2(float value) override { Set("X2", value, &LineModel::SetX2); }
    void SetY2(float value) override { Set("Y2", value, &LineModel::SetY2); }

  private:
    void Set(const char* what, float value, void (LineModel::*setter)(float)) {
        log_.Add(std::string("linBut.") + what + "=" + Twips(value));
        (model_.*setter)(value);
    }
    EventLog& log_;
    LineModel model_;
};

// Created disabled, as the designed timer is; keeps every enabled state it was given.
class FakeTimer : public ITimer {
  public:
    explicit FakeTimer(EventLog& log) : log_(log) {}
    int Interval() const override { return interval_; }
    void SetInterval(int milliseconds) override {
        log_.Add("tmrRefresh.Interval=" + std::to_string(milliseconds));
        interval_ = milliseconds;
    }
    bool Enabled() const override { return enabled_; }
    void SetEnabled(bool enabled) override {
        log_.Add(std::string("tmrRefresh.Enabled=") + (enabled ? "1" : "0"));
        enabled_ = enabled;
        enabledHistory.push_back(enabled);
    }
    std::vector<bool> enabledHistory;

  private:
    EventLog& log_;
    int interval_ = 0;
    bool enabled_ = false;
};

// The pointer shows when a refresh runs; it notes whether the timer was enabled at that moment.
class FakePointer : public IMousePointer {
  public:
    FakePointer(EventLog& log, const ITimer& timer) : log_(log), timer_(timer) {}
    void Set(MousePointer pointer) override {
        log_.Add(pointer == MousePointer::Busy ? "Pointer=Busy" : "Pointer=Default");
        history.push_back(pointer);
        timerEnabledAtSet.push_back(timer_.Enabled());
    }
    std::vector<MousePointer> history;
    std::vector<bool> timerEnabledAtSet;

  private:
    EventLog& log_;
    const ITimer& timer_;
};

// Answers questions from a queue (Yes once it is empty), everything else with OK.
class FakeMessages : public IMessageBox {
  public:
    explicit FakeMessages(EventLog& log) : log_(log) {}
    MessageResult Show(const std::string& text, MessageStyle style) override {
        log_.Add("MsgBox " + text);
        shown.push_back({text, style});
        if (style != MessageStyle::QuestionYesNo) {
            return MessageResult::Ok;
        }
        if (answers.empty()) {
            return MessageResult::Yes;
        }
        const MessageResult answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::vector<RecordingMessageBox::Shown> shown;
    std::deque<MessageResult> answers;

  private:
    EventLog& log_;
};

// Shows the dialog "modally": notes what it showed and then closes it as the user would.
class FakeInfoDialogView : public IInfoDialogView {
  public:
    FakeInfoDialogView(EventLog& log, const ITimer& timer) : log_(log), timer_(timer) {}
    struct Shown {
        WindowHandle owner = 0;
        bool timerEnabled = true;
        std::string text;
        bool jaVisible = false;
        std::string jaTag;
        std::string neinCaption;
    };
    void ShowModal(frmInfo& dialog, WindowHandle owner) override {
        log_.Add("ShowModal");
        const InfoDialogState& state = dialog.State();
        shown.push_back({owner, timer_.Enabled(), state.text, state.jaVisible, state.jaTag, state.neinCaption});
        if (whileOpen) {
            whileOpen();
        }
        dialog.cmdNein_Click();
    }
    std::vector<Shown> shown;
    std::function<void()> whileOpen;

  private:
    EventLog& log_;
    const ITimer& timer_;
};

class FakeMainWindow : public IMainWindowView {
  public:
    FakeMainWindow() = default;

    // --- IMainWindowView ---
    ILabel& lblStatic() override { return lblStatic_; }
    ILabel& lblLastRefresh() override { return lblLastRefresh_; }
    IPortList& lvwPorts() override { return rows; }
    IBox& lvwPortsBox() override { return lvwPortsBox_; }
    ILabel& lblProblem() override { return lblProblem_; }
    ILine& linBut() override { return linBut_; }
    IBox& cmdOpenDevMan() override { return cmdOpenDevMan_; }
    IBox& cmdExit() override { return cmdExit_; }
    ILabel& lblUrlPre(int index) override { return index == 0 ? lblUrlPreWeb_ : lblUrlPreMail_; }
    ILabel& lblUrl(int index) override { return index == 0 ? lblUrlWeb_ : lblUrlMail_; }
    ITimer& tmrRefresh() override { return timer; }
    float ColumnWidth(int column) const override { return columnWidths[static_cast<std::size_t>(column - 1)]; }
    void SetColumnWidth(int column, float width) override {
        log.Add("Column" + std::to_string(column) + ".Width=" + Twips(width));
        columnWidths[static_cast<std::size_t>(column - 1)] = width;
    }
    void AttachImageList() override {
        log.Add("AttachImageList");
        imageListAttached = true;
    }
    void SetTitle(const std::string& text) override {
        log.Add("Title=" + text);
        title = text;
    }
    bool IsMinimized() const override { return minimized; }
    float ClientWidth() const override { return outerWidth - kFrameWidth; }
    float ClientHeight() const override { return outerHeight - kFrameHeight; }
    float OuterWidth() const override { return outerWidth; }
    float OuterHeight() const override { return outerHeight; }
    void SetOuterSize(float width, float height) override {
        log.Add("SetOuterSize " + Twips(width) + "x" + Twips(height));
        if (width == outerWidth && height == outerHeight) {
            return;
        }
        outerWidth = width;
        outerHeight = height;
        sizeChanges.emplace_back(width, height);
        if (onResize) {
            onResize();
        }
    }
    WindowHandle NativeHandle() const override { return kMainWindowHandle; }
    void Unload() override {
        log.Add("Unload");
        unloaded = true;
    }
    IMessageBox& Messages() override { return messages; }
    IClipboard& Clipboard() override { return clipboard; }
    IMousePointer& Pointer() override { return pointer; }
    IInfoDialogView& InfoDialogView() override { return infoDialog; }

    // --- what the user and the toolkit do ---
    // Dragging the frame: the new size, then the resize event.
    void UserResizes(float width, float height) {
        outerWidth = width;
        outerHeight = height;
        if (onResize) {
            onResize();
        }
    }

    // --- inspection ---
    // The problem line as the refresh leaves it, set without a log entry.
    void SetProblemLineShown(bool shown) { lblProblem_.model().SetVisible(shown); }
    // Both lead-in labels of the links, as a font of another height sizes them.
    void SetLeadInHeight(float height) {
        lblUrlPreWeb_.model().SetHeight(height);
        lblUrlPreMail_.model().SetHeight(height);
    }

    EventLog log;
    PortListModel rows;
    FakeTimer timer{log};
    FakePointer pointer{log, timer};
    FakeMessages messages{log};
    FakeClipboard clipboard;
    FakeInfoDialogView infoDialog{log, timer};
    std::function<void()> onResize;
    std::vector<std::pair<float, float>> sizeChanges;
    std::vector<float> columnWidths{kColumns[0].width, kColumns[1].width};
    float outerWidth = kMinOuterWidth;
    float outerHeight = kMinOuterHeight;
    bool minimized = false;
    bool imageListAttached = false;
    bool unloaded = false;
    std::string title;

  private:
    FakeLabel lblStatic_{"lblStatic", log, kLblStatic};
    FakeLabel lblLastRefresh_{"lblLastRefresh", log, kLblLastRefresh};
    FakeLabel lvwPortsBox_{"lvwPorts", log, kLvwPorts};
    FakeLabel lblProblem_{"lblProblem", log, kLblProblem};
    FakeLine linBut_{log, kLinBut};
    FakeLabel cmdOpenDevMan_{"cmdOpenDevMan", log, kCmdOpenDevMan};
    FakeLabel cmdExit_{"cmdExit", log, kCmdExit};
    FakeLabel lblUrlPreWeb_{"lblUrlPre0", log, kLblUrlPreWeb};
    FakeLabel lblUrlWeb_{"lblUrl0", log, kLblUrlWeb};
    FakeLabel lblUrlPreMail_{"lblUrlPre1", log, kLblUrlPreMail};
    FakeLabel lblUrlMail_{"lblUrl1", log, kLblUrlMail};
};

}  // namespace velmaro::testing
