#include "guidance/frm_info.h"

#include <stdexcept>

#include "guidance/guidance_action.h"
#include "guidance/wait_seconds.h"
#include "headline/property_bag.h"

namespace velmaro {

frmInfo::frmInfo(InfoDialogServices services) : services_(services) {}

const InfoDialogState& frmInfo::State() const {
    if (!state_) {
        throw std::logic_error("frmInfo is not loaded");
    }
    return *state_;
}

InfoDialogState& frmInfo::Load() {
    if (!state_) {
        state_.emplace();
        ++loads_;
        state_->title = services_.identity.ExecutableName();
        const TwipsRect& r = kInfoHeadline.rect;
        state_->ucHeadline1.ReadProperties(PropertyBag{{std::string(ucHeadline::kCaptionKey), kInfoHeadlineCaption}});
        state_->ucHeadline1.Move(r.left, r.top, r.width, r.height);
    }
    return *state_;
}

void frmInfo::Unload() {
    if (!state_) {
        return;
    }
    state_.reset();
    if (unload_) {
        unload_();
    }
}

void frmInfo::frm_Present(const std::string& code) {
    InfoDialogState& dialog = Load();
    dialog.jaVisible = false;
    dialog.jaTag.clear();
    dialog.neinCaption = kCaptionOk;

    const std::optional<ProblemTagContent> problem = ParseProblemTag(code);
    if (!problem) {
        return;
    }
    dialog.text = ComposeGuidanceText(problem->code, platform_, problem->fillIns);
    if (RowOf(problem->code).asksQuestion) {
        dialog.neinCaption = kCaptionNein;
        dialog.jaVisible = true;
        dialog.jaTag = GuidanceAction(problem->code, platform_, problem->fillIns);
    }
}

void frmInfo::AttachWindow(WindowHandle window) {
    Load().window = window;
}

void frmInfo::cmdJa_Click() {
    if (!state_) {
        return;
    }
    // Copies: window events pumped during the wait may close the dialog underneath us.
    const std::string action = state_->jaTag;
    const WindowHandle window = state_->window;
    const int load = loads_;

    if (!OpenGuidanceAction(action, window, services_.identity, services_.files, services_.desktop,
                            services_.messages)) {
        return;  // no help page: the dialog stays open as it is
    }
    // Give the browser a moment to come up before the dialog disappears.
    WaitSeconds(services_.clock, services_.events, 1.0f);
    // Close the dialog that was clicked, not one loaded anew while the wait pumped events.
    if (loads_ == load) {
        Unload();
    }
}

void frmInfo::cmdNein_Click() {
    Unload();
}

void frmInfo::Close() {
    Unload();
}

}  // namespace velmaro
