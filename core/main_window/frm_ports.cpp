#include "main_window/frm_ports.h"

#include <algorithm>

#include "headline/property_bag.h"
#include "main_window/frm_ports_design.h"

namespace velmaro {

std::string MainWindowTitle(const std::string& executableName, const ProgramVersion& version) {
    return executableName + " Version " + std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
           std::to_string(version.revision) + " vom " + kVersionDate;
}

frmPorts::frmPorts(IMainWindowView& view, MainWindowServices services)
    : view_(view),
      services_(services),
      refreshServices_{services.registry, services.devices, view.Messages(),
                       view.Clipboard(),  services.clock,   view.Pointer()},
      frmInfo_({services.identity, services.desktop, view.Messages(), services.files, services.monotonicClock,
                services.events}) {
    frmInfo_.UseGuidanceFor(services.guidance);
    hdlMain_.ReadProperties(PropertyBag{{std::string(ucHeadline::kCaptionKey), kHeadlineCaption}});
    const TwipsRect& r = kHdlMain.rect;
    hdlMain_.Move(r.left, r.top, r.width, r.height);
    hdlMain_.OnDblClick([this] { hdlMain_DblClick(); });
}

RefreshControls frmPorts::Controls() {
    return {view_.lvwPorts(), view_.lvwPortsBox(), view_.lblLastRefresh(), view_.lblProblem(),
            hdlMain_,         view_.linBut()};
}

bool frmPorts::Form_Load() {
    const std::string name = services_.identity.ExecutableName();
    if (services_.instance.AnotherInstanceRunning()) {
        view_.Messages().Show(name + kMsgAlreadyRunning, MessageStyle::InformationOk);
        return false;
    }
    view_.SetTitle(MainWindowTitle(name, services_.identity.Version()));
    view_.AttachImageList();
    view_.lblStatic().SetCaption(kIntroText);
    view_.lblProblem().SetCaption(services_.guidance == GuidancePlatform::Linux ? kProblemLineTextLinux
                                                                                : kProblemLineText);
    // No refresh here: the first tick comes 200 ms after the first layout pass re-enabled the timer.
    view_.tmrRefresh().SetInterval(kFirstRefreshDelayMs);
    view_.tmrRefresh().SetEnabled(true);
    return true;
}

void frmPorts::Form_Resize() {
    if (view_.IsMinimized()) {
        return;  // the refreshes go on while minimised
    }
    ITimer& timer = view_.tmrRefresh();
    timer.SetEnabled(false);

    // The mail address starts where its lead-in ends as measured, never over it.
    ILabel& mailLeadIn = view_.lblUrlPre(1);
    view_.lblUrl(1).SetLeft(std::max(kLblUrlMail.rect.left, mailLeadIn.Left() + mailLeadIn.Width() + kMailLinkGap));

    // Each correction resizes the window again; that inner pass runs in full before this one goes on.
    if (const float minimum = MinimumOuterWidth(); view_.OuterWidth() <= minimum) {
        view_.SetOuterSize(minimum, view_.OuterHeight());
    }
    if (view_.OuterHeight() <= kMinOuterHeight) {
        view_.SetOuterSize(view_.OuterWidth(), kMinOuterHeight);
    }

    // The headline's position gives the margins of the whole layout.
    const float m = hdlMain_.Left();
    const float t = hdlMain_.Top();
    const float w = view_.ClientWidth();
    const float h = view_.ClientHeight();
    IBox& cmdExit = view_.cmdExit();
    IBox& cmdOpenDevMan = view_.cmdOpenDevMan();
    IBox& lvwPorts = view_.lvwPortsBox();
    ILine& linBut = view_.linBut();
    ILabel& lblProblem = view_.lblProblem();

    hdlMain_.SetWidth(w - 2 * m);
    cmdExit.SetLeft(w - cmdExit.Width() - m);
    cmdOpenDevMan.SetLeft(cmdExit.Left() - cmdOpenDevMan.Width() - 2 * m);
    linBut.SetX2(m + hdlMain_.Width());
    lvwPorts.SetWidth(hdlMain_.Width());
    view_.SetColumnWidth(kColumnDescription,
                         lvwPorts.Width() - view_.ColumnWidth(kColumnComPort) - kScrollBarAllowance);
    cmdExit.SetTop(h - cmdExit.Height() - m);
    cmdOpenDevMan.SetTop(cmdExit.Top());
    linBut.SetY1(cmdExit.Top() - m);
    linBut.SetY2(linBut.Y1());
    lblProblem.SetTop(linBut.Y1() - lblProblem.Height() - t);
    // An intro taller than designed (a wider font wraps it onto more lines) pushes the refresh time
    // and the list down; the list then ends where it did.
    const ILabel& intro = view_.lblStatic();
    const float introGrowth =
        std::max(0.0f, intro.Top() + intro.Height() - (kLblStatic.rect.top + kLblStatic.rect.height));
    view_.lblLastRefresh().SetTop(kLblLastRefresh.rect.top + introGrowth);
    lvwPorts.SetTop(kLvwPorts.rect.top + introGrowth);
    RefreshControls controls = Controls();
    ApplyListHeightRule(controls);
    // The web address goes on the line below its lead-in text.
    view_.lblUrlPre(0).SetTop(cmdExit.Top());
    view_.lblUrl(0).SetTop(view_.lblUrlPre(0).Top() + view_.lblUrlPre(0).Height());
    // The mail address shares its lead-in's line, level with the buttons' bottom.
    view_.lblUrlPre(1).SetTop(cmdExit.Top() + cmdExit.Height() - view_.lblUrlPre(1).Height());
    view_.lblUrl(1).SetTop(view_.lblUrlPre(1).Top());

    // Re-enabling restarts the count, so no refresh runs while the user keeps dragging the frame.
    timer.SetEnabled(true);
}

float frmPorts::MinimumOuterWidth() const {
    // Links, then both buttons, each gap as wide as the one between the buttons.
    const float m = hdlMain_.Left();
    float linksRight = 0;
    for (int index : {0, 1}) {
        for (const ILabel* label : {&view_.lblUrlPre(index), &view_.lblUrl(index)}) {
            linksRight = std::max(linksRight, label->Left() + label->Width());
        }
    }
    const float client =
        linksRight + 2 * m + view_.cmdOpenDevMan().Width() + 2 * m + view_.cmdExit().Width() + m;
    return std::max(kMinOuterWidth, client + view_.OuterWidth() - view_.ClientWidth());
}

void frmPorts::tmrRefresh_Timer() {
    ITimer& timer = view_.tmrRefresh();
    timer.SetInterval(kRefreshIntervalMs);
    // Off while the refresh runs: a message box inside it lets the event loop deliver ticks.
    timer.SetEnabled(false);
    const ListPlace place = view_.lvwPortsPlace();
    RefreshControls controls = Controls();
    const PortListContent content = RefreshPortList(refreshServices_, portDevices_, controls, clipboardRequested_);
    FollowPlugging(content.rows, place);
    timer.SetEnabled(true);
}

void frmPorts::DeviceChanged() {
    if (view_.tmrRefresh().Enabled()) {
        tmrRefresh_Timer();
    }
}

void frmPorts::FollowPlugging(const std::vector<PortRow>& rows, ListPlace place) {
    const std::vector<std::optional<identity::PortIdentity>> ports =
        services_.portFacts ? identity::IdentitiesOfRows(rows, services_.portFacts())
                            : std::vector<std::optional<identity::PortIdentity>>(rows.size());
    std::vector<std::string> keys;
    std::vector<bool> isPort;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        keys.push_back(RowKey(rows[i], ports[i]));
        isPort.push_back(ports[i].has_value());
        view_.SetRowToolTip(static_cast<int>(i) + 1, RowToolTip(ports[i]));
    }
    view_.FollowList(FollowRefresh(rowKeys_, place, keys, isPort));
    rowKeys_ = std::move(keys);
}

void frmPorts::cmdExit_Click() {
    view_.tmrRefresh().SetEnabled(false);
    view_.Unload();
}

void frmPorts::lvwPorts_ItemClick(int row) {
    const std::string code = view_.lvwPorts().Tag(row);
    if (code.empty()) {
        return;
    }
    // No refresh may change the rows and their tags while the dialog explains one of them.
    ITimer& timer = view_.tmrRefresh();
    timer.SetEnabled(false);
    frmInfo_.frm_Present(code);
    view_.InfoDialogView().ShowModal(frmInfo_, view_.NativeHandle());
    timer.SetEnabled(true);
}

void frmPorts::lvwPorts_DblClick(int row) {
    lvwPorts_ItemClick(row);
}

bool frmPorts::lvwPorts_KeyDown(int row, ListKey key) {
    if (key == ListKey::Other || row < 1 || row > view_.lvwPorts().Count()) {
        return false;
    }
    lvwPorts_ItemClick(row);
    return true;
}

void frmPorts::cmdOpenDevMan_Click() {
    if (!services_.desktop.OpenDeviceManager(view_.NativeHandle())) {
        // The answer to the box is not used.
        view_.Messages().Show(services_.guidance == GuidancePlatform::Linux ? kMsgDeviceManagerUnavailableLinux
                                                                            : kMsgDeviceManagerUnavailable,
                              MessageStyle::ExclamationOkCancel);
    }
}

void frmPorts::lblUrl_Click(int index) {
    if (index != 0 && index != 1) {
        return;
    }
    services_.desktop.OpenAddress(view_.NativeHandle(), view_.lblUrl(index).Caption());
}

void frmPorts::hdlMain_DblClick() {
    // The copy itself is left to the next refresh, which confirms it and clears the request.
    if (view_.Messages().Show(kMsgCopyAllInfo, MessageStyle::QuestionYesNo) == MessageResult::Yes) {
        clipboardRequested_ = true;
    }
}

}  // namespace velmaro
