#include "services/once_per_run_messages.h"

namespace velmaro {

OncePerRunMessages::OncePerRunMessages(IMessageBox& shown, std::ostream& log) : shown_(shown), log_(log) {}

OncePerRunMessages::~OncePerRunMessages() {
    EndRun();
}

MessageResult OncePerRunMessages::Show(const std::string& text, MessageStyle style) {
    const auto it = seen_.find(text);
    if (it != seen_.end()) {
        ++it->second.repeats;
        return it->second.answer;
    }
    // Noted before it is shown: a box that throws must not be shown again by the next repeat.
    Seen& seen = seen_.emplace(text, Seen{MessageResult::Ok}).first->second;
    seen.answer = shown_.Show(text, style);
    return seen.answer;
}

void OncePerRunMessages::EndRun() {
    for (const auto& [text, seen] : seen_) {
        if (seen.repeats > 0) {
            log_ << RepeatedMessageLine(text, seen.repeats) << '\n';
        }
    }
    log_.flush();
    seen_.clear();
}

std::string RepeatedMessageLine(const std::string& text, std::size_t repeats) {
    return "Meldung \xE2\x80\x9E" + text + "\xE2\x80\x9C in dieser Aktualisierung noch " + std::to_string(repeats) +
           "-mal, nicht erneut angezeigt";
}

}  // namespace velmaro
