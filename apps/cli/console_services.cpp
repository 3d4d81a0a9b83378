#include "console_services.h"

#include <ctime>
#include <iostream>

namespace velmaro::cli {

MessageResult ConsoleMessageBox::Show(const std::string& text, MessageStyle style) {
    std::cerr << "velmaro-list: " << text << '\n';
    return style == MessageStyle::QuestionYesNo ? MessageResult::Yes : MessageResult::Ok;
}

void CapturedClipboard::Clear() {
    text_.clear();
    received_ = false;
}

void CapturedClipboard::SetText(const std::string& value) {
    text_ = value;
    received_ = true;
}

LocalTime LocalClock::Now() const {
    const std::time_t now = std::time(nullptr);
    // One thread only, so the shared buffer of std::localtime is safe here.
    const std::tm* tm = std::localtime(&now);
    if (tm == nullptr) {
        return {};
    }
    return {tm->tm_year + 1900, tm->tm_mon + 1, tm->tm_mday, tm->tm_hour, tm->tm_min, tm->tm_sec};
}

}  // namespace velmaro::cli
