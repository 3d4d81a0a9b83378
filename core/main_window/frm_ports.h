#pragma once
// frmPorts: the main window's presenter. It starts the program (or steps aside for a running
// copy), drives the refresh timer, lays the window out on every resize and carries out the
// window's commands. The view forwards its events to the handlers below.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "devices/device_info_service.h"
#include "devices/refresh_services.h"
#include "guidance/frm_info.h"
#include "headline/uc_headline.h"
#include "identity/port_identity.h"
#include "main_window/main_window_view.h"
#include "main_window/port_list_refresh.h"
#include "ports/port_device_table.h"
#include "registry/registry_service.h"
#include "services/event_pump.h"
#include "services/file_system.h"
#include "services/monotonic_clock.h"
#include "services/program_identity.h"
#include "services/single_instance.h"
#include "shell/desktop.h"

namespace velmaro {

inline constexpr const char* kMsgAlreadyRunning = " läuft bereits.";  // after the executable's name
inline constexpr const char* kMsgCopyAllInfo = "Alles Infos in die Zwischenablage?";
inline constexpr const char* kMsgDeviceManagerUnavailable = "Gerätemanager nicht aufrufbar.";
// On Linux one of the device viewers stands in for the Device Manager.
inline constexpr const char* kMsgDeviceManagerUnavailableLinux =
    "Gerätemanager nicht aufrufbar. Bitte installieren Sie eines dieser Programme: hardinfo, usbview, kinfocenter "
    "oder lshw-gtk.";
inline constexpr const char* kVersionDate = "29.05.2007";

// The platform services of the main window and its guidance dialog. The services bound to the
// window itself (message box, clipboard, mouse pointer) come from the view.
struct MainWindowServices {
    IRegistryService& registry;
    IDeviceInfoService& devices;
    IClock& clock;
    IDesktop& desktop;
    const IProgramIdentity& identity;
    ISingleInstance& instance;
    const IFileSystem& files;
    const IMonotonicClock& monotonicClock;
    IEventPump& events;
    // Which repair steps the guidance dialog gives: the program's own, or those for Linux.
    GuidancePlatform guidance = GuidancePlatform::Windows;
    // The identity facts of the present COM-port devices as of the last refresh; without them rows
    // are followed by their texts and have no tooltip.
    std::function<std::vector<identity::DeviceFacts>()> portFacts = nullptr;
};

// The keys a list row answers to.
enum class ListKey { Enter, Space, Other };

// "<name> Version <major>.<minor>.<revision> vom 29.05.2007"
std::string MainWindowTitle(const std::string& executableName, const ProgramVersion& version);

class frmPorts {
  public:
    // The view must outlive the presenter; its services are taken once, here.
    frmPorts(IMainWindowView& view, MainWindowServices services);
    frmPorts(const frmPorts&) = delete;
    frmPorts& operator=(const frmPorts&) = delete;

    // Runs once before the window is first shown. False when another copy already runs: the user
    // has been told, nothing else was done, and the caller ends the program without a window.
    bool Form_Load();
    // Every size change of the window, also the first showing, maximise and restore.
    void Form_Resize();
    // The smallest outer width: the design's, or wider where the link lines' measured texts and the
    // two buttons need more.
    float MinimumOuterWidth() const;
    void tmrRefresh_Timer();
    // A device came or went: a refresh at once, unless the timer is off (the guidance dialog is
    // open, or a refresh runs), when the next tick will do.
    void DeviceChanged();
    void cmdExit_Click();
    // A click on the row at this 1-based position of lvwPorts.
    void lvwPorts_ItemClick(int row);
    // A double click, Enter or Space on a row acts as a click; true when the key was used.
    void lvwPorts_DblClick(int row);
    bool lvwPorts_KeyDown(int row, ListKey key);
    void cmdOpenDevMan_Click();
    // A click on element 0 (web site) or 1 (feedback mail) of lblUrl.
    void lblUrl_Click(int index);
    // The headline's DblClick; a view reaches it through hdlMain().ForwardDblClick().
    void hdlMain_DblClick();

    // The headline model the view draws; its OnLayout tells the view when to redraw.
    ucHeadline& hdlMain() { return hdlMain_; }
    const ucHeadline& hdlMain() const { return hdlMain_; }
    // The one guidance dialog, loaded on first use and discarded whenever it closes.
    frmInfo& InfoDialog() { return frmInfo_; }
    bool ClipboardRequested() const { return clipboardRequested_; }
    const PortDeviceTable& PortDevices() const { return portDevices_; }

  private:
    RefreshControls Controls();
    // Tooltips, selection and scroll position after a refresh that showed these rows.
    void FollowPlugging(const std::vector<PortRow>& rows, ListPlace place);

    IMainWindowView& view_;
    MainWindowServices services_;
    Services refreshServices_;
    PortDeviceTable portDevices_;
    bool clipboardRequested_ = false;
    std::optional<std::vector<std::string>> rowKeys_;  // of the last refresh
    ucHeadline hdlMain_;
    frmInfo frmInfo_;
};

}  // namespace velmaro
