#pragma once
// frmInfo: the guidance dialog that explains one problem code. The model holds every decision and
// the state of the loaded dialog; a view draws that state and forwards the button clicks.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/problem_codes.h"
#include "common/twips.h"
#include "headline/uc_headline.h"
#include "services/event_pump.h"
#include "services/file_system.h"
#include "services/monotonic_clock.h"
#include "services/program_identity.h"
#include "services/user_services.h"
#include "shell/desktop.h"

namespace velmaro {

// --- the dialog's design, in twips ---
// A fixed-size window without minimise and maximise buttons, centred on the screen.
inline constexpr float kInfoClientWidth = 7980;
inline constexpr float kInfoClientHeight = 5100;

struct InfoControlLayout {
    std::string_view name;
    TwipsRect rect;
    int tabIndex = 0;
};
// txtInfo is multi-line and read-only, with a vertical scroll bar.
inline constexpr InfoControlLayout kInfoTxtInfo{"txtInfo", {60, 360, 7815, 3975}, 0};
inline constexpr InfoControlLayout kInfoCmdNein{"cmdNein", {6675, 4530, 1215, 495}, 1};
inline constexpr InfoControlLayout kInfoCmdJa{"cmdJa", {5340, 4530, 1215, 495}, 2};
inline constexpr InfoControlLayout kInfoHeadline{"ucHeadline1", {60, 60, 7815, 255}, 3};

inline constexpr const char* kInfoHeadlineCaption = "Hinweis zur Problemlösung";
inline constexpr const char* kCaptionJa = "Ja";
inline constexpr const char* kCaptionNein = "Nein";
inline constexpr const char* kCaptionOk = "OK";

// What the loaded dialog shows. Closing the dialog discards all of it.
struct InfoDialogState {
    std::string title;  // the executable's name without extension
    std::string text;   // txtInfo, paragraphs separated by CR LF
    std::string jaCaption = kCaptionJa;
    bool jaVisible = true;
    std::string jaTag;  // the action of "Ja": "", the help marker or a forum address
    std::string neinCaption = kCaptionNein;
    ucHeadline ucHeadline1;
    WindowHandle window = 0;  // the native window, once a view has made one
};

struct InfoDialogServices {
    const IProgramIdentity& identity;
    IDesktop& desktop;
    IMessageBox& messages;
    const IFileSystem& files;
    const IMonotonicClock& clock;
    IEventPump& events;
};

class frmInfo {
  public:
    explicit frmInfo(InfoDialogServices services);

    // Fills the dialog for a problem code (loading it first when needed); does not show it. A code
    // outside the table leaves the dialog with "OK" only and no action.
    void frm_Present(const std::string& code);

    // Which repair steps frm_Present gives from now on; the Windows steps until a platform says
    // otherwise. Codes, buttons and actions are the same for every platform.
    void UseGuidanceFor(GuidancePlatform platform) { platform_ = platform; }
    GuidancePlatform Platform() const { return platform_; }

    bool IsLoaded() const { return state_.has_value(); }
    // The loaded dialog's state; throws std::logic_error when the dialog is not loaded.
    const InfoDialogState& State() const;

    // The view tells which native window shows the dialog; the shell uses it as parent.
    void AttachWindow(WindowHandle window);

    // "Ja": opens the help page or the forum thread, waits a second and closes. Without any
    // installed help page the user is told and the dialog stays open.
    void cmdJa_Click();
    // "Nein"/"OK", and the window's own close button: close without any other effect.
    void cmdNein_Click();
    void Close();

    // Called whenever the dialog unloads, so that a view can destroy its window and end the modal
    // loop.
    void OnUnload(std::function<void()> handler) { unload_ = std::move(handler); }

  private:
    InfoDialogState& Load();
    void Unload();

    InfoDialogServices services_;
    GuidancePlatform platform_ = GuidancePlatform::Windows;
    std::optional<InfoDialogState> state_;
    int loads_ = 0;
    std::function<void()> unload_;
};

// How the main window shows the filled dialog: modally, owned by its window. Returns once the
// dialog has unloaded.
class IInfoDialogView {
  public:
    virtual ~IInfoDialogView() = default;
    virtual void ShowModal(frmInfo& dialog, WindowHandle owner) = 0;
};

}  // namespace velmaro
