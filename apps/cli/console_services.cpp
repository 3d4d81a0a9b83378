#include "console_services.h"

#include <cstdio>
#include <ctime>
#include <iostream>
#include <utility>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace velmaro::cli {

MessageResult ConsoleMessageBox::Show(const std::string& text, MessageStyle style) {
    std::cerr << "velmaro-list: " << (!replaced_.empty() && text == replaced_ ? replacement_ : text) << '\n';
    return style == MessageStyle::QuestionYesNo ? MessageResult::Yes : MessageResult::Ok;
}

void ConsoleMessageBox::Replace(std::string text, std::string replacement) {
    replaced_ = std::move(text);
    replacement_ = std::move(replacement);
}

void CapturedClipboard::Clear() {
    text_.clear();
    received_ = false;
}

void CapturedClipboard::SetText(const std::string& value) {
    text_ = value;
    received_ = true;
}

void UseBinaryStdout() {
    std::fflush(stdout);
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
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
