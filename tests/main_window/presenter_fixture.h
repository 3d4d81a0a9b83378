#pragma once
// frmPorts on a fake window and in-memory services: an empty machine, a shell with a system
// folder, the program "Velmaro" 1.0.7, no other running copy. The window keeps its controls at
// their design geometry and writes timer, pointer, dialog and window events into one log.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "main_window/frm_ports.h"
#include "main_window/frm_ports_design.h"
#include "memory/memory_file_system.h"
#include "memory/memory_machine.h"
#include "memory/memory_program.h"
#include "memory/memory_shell.h"
#include "shell/shell_desktop.h"
#include "support/fakes.h"

namespace velmaro::testing {

inline constexpr WindowHandle kMainWindowHandle = 4711;

inline LabelModel Designed(const ControlDesign& d) {
    return {d.rect.left, d.rect.top, d.rect.width, d.rect.height, std::string(d.caption), d.visible};
}

// The window with its timer (created disabled), mouse pointer and modal dialog.
class FakeMainWindow : public IMainWindowView, public ITimer, public IMousePointer, public IInfoDialogView {
  public:
    ILabel& lblStatic() override { return lblStatic_; }
    ILabel& lblLastRefresh() override { return lblLastRefresh_; }
    IPortList& lvwPorts() override { return rows; }
    IBox& lvwPortsBox() override { return lvwPortsBox_; }
    ILabel& lblProblem() override { return lblProblem_; }
    ILine& linBut() override { return linBut_; }
    IBox& cmdOpenDevMan() override { return cmdOpenDevMan_; }
    IBox& cmdExit() override { return cmdExit_; }
    ILabel& lblUrlPre(int index) override { return urlPre_[index == 0 ? 0 : 1]; }
    ILabel& lblUrl(int index) override { return url_[index == 0 ? 0 : 1]; }
    ITimer& tmrRefresh() override { return *this; }
    float ColumnWidth(int column) const override { return columns[column - 1]; }
    void SetColumnWidth(int column, float width) override { columns[column - 1] = width; }
    void AttachImageList() override { Note("images"); }
    void SetTitle(const std::string& text) override { Note("title " + text); }
    bool IsMinimized() const override { return minimized; }
    // Frame and title bar: the design client 7935 x 6270 sits in an outer window of exactly 8130 x 6720.
    float ClientWidth() const override { return outerWidth - 195; }
    float ClientHeight() const override { return outerHeight - 450; }
    float OuterWidth() const override { return outerWidth; }
    float OuterHeight() const override { return outerHeight; }
    // A real change raises the resize event before returning, as the toolkits do.
    void SetOuterSize(float width, float height) override {
        if (width != outerWidth || height != outerHeight) {
            Note(std::to_string(static_cast<int>(width)) + "x" + std::to_string(static_cast<int>(height)));
            UserResizes(width, height);
        }
    }
    WindowHandle NativeHandle() const override { return kMainWindowHandle; }
    void Unload() override { Note("unload"); }
    IMessageBox& Messages() override { return messages; }
    IClipboard& Clipboard() override { return clipboard; }
    IMousePointer& Pointer() override { return *this; }
    IInfoDialogView& InfoDialogView() override { return *this; }

    int Interval() const override { return interval; }
    void SetInterval(int ms) override { Note("interval " + std::to_string(interval = ms)); }
    bool Enabled() const override { return enabled; }
    void SetEnabled(bool on) override { Note((enabled = on) ? "on" : "off"); }
    void Set(MousePointer p) override { Note(p == MousePointer::Busy ? "busy" : "default"); }
    // Notes the owner and what the dialog showed, then closes it as a user would.
    void ShowModal(frmInfo& dialog, WindowHandle owner) override {
        Note("dialog owned by " + std::to_string(owner));
        shownDialogs.push_back(dialog.State());
        dialog.cmdNein_Click();
    }

    // Dragging the frame: the new size, then the resize event.
    void UserResizes(float width, float height) {
        outerWidth = width;
        outerHeight = height;
        onResize();
    }
    void Note(const std::string& entry) { log += (log.empty() ? "" : ", ") + entry; }

    std::string log;
    PortListModel rows;
    RecordingMessageBox messages;
    FakeClipboard clipboard;
    std::vector<InfoDialogState> shownDialogs;
    std::function<void()> onResize;
    float columns[2] = {kColumns[0].width, kColumns[1].width};
    float outerWidth = kMinOuterWidth, outerHeight = kMinOuterHeight;
    int interval = 0;
    bool enabled = false, minimized = false;

  private:
    LabelModel lblStatic_ = Designed(kLblStatic);
    LabelModel lblLastRefresh_ = Designed(kLblLastRefresh);
    LabelModel lvwPortsBox_ = Designed(kLvwPorts);
    LabelModel lblProblem_ = Designed(kLblProblem);
    LineModel linBut_{kLinBut.x1, kLinBut.y1, kLinBut.x2, kLinBut.y2};
    LabelModel cmdOpenDevMan_ = Designed(kCmdOpenDevMan);
    LabelModel cmdExit_ = Designed(kCmdExit);
    LabelModel urlPre_[2] = {Designed(kLblUrlPreWeb), Designed(kLblUrlPreMail)};
    LabelModel url_[2] = {Designed(kLblUrlWeb), Designed(kLblUrlMail)};
};

// One presenter with its window and services, and the check for another running copy; a loop over
// cases builds one per case.
struct PresenterRig : ISingleInstance {
    explicit PresenterRig(const std::string& executable = "Velmaro",
                          GuidancePlatform platform = GuidancePlatform::Windows)
        : guidance(platform), identity(executable) {
        shell.SetFolder(kCsidlSystem, "C:\\WINDOWS\\system32");
        view.onResize = [this] { presenter.Form_Resize(); };
    }
    // Loaded and laid out at the design size, as after the first showing; the log starts empty.
    void Start() {
        EXPECT_TRUE(presenter.Form_Load());
        view.UserResizes(kMinOuterWidth, kMinOuterHeight);
        view.log.clear();
    }
    bool AnotherInstanceRunning() override { return otherRunning; }
    // COM1 on its port device; a PL2303 cable without driver adds a warning row.
    void AddCom1(bool driverlessPl2303 = false) {
        const std::string cable = R"j(, {"instance": "USB\\VID_067B&PID_2303\\5&1", "properties": {"Class": "Unknown",
            "DeviceDesc": "USB-Serial Controller", "HardwareID": ["USB\\Vid_067b&Pid_2303&Rev_0300"]}})j";
        memory::LoadScenarioText(R"j({"registry": {"HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM":
            {"\\Device\\Serial0": "COM1"}}, "devices": [{"instance": "ACPI\\PNP0501\\1", "comport_interface": true,
            "properties": {"Class": "Ports", "FriendlyName": "Kommunikationsanschluss (COM1)"}})j" +
                                     (driverlessPl2303 ? cable : "") + "]}",
                                 "COM1", machine);
    }

    bool otherRunning = false;
    GuidancePlatform guidance;
    memory::MemoryMachine machine;
    FixedClock clock;
    memory::MemoryShell shell;
    ShellDesktop desktop{shell};
    memory::FixedProgramIdentity identity;
    memory::MemoryFileSystem files;
    memory::ManualClock monotonic;
    memory::SteppingEventPump pump{monotonic, 0.25f};
    FakeMainWindow view;
    frmPorts presenter{view, {machine, machine, clock, desktop, identity, *this, files, monotonic, pump, guidance}};
};

class PresenterTest : public ::testing::Test, protected PresenterRig {};

}  // namespace velmaro::testing
