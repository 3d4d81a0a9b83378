#pragma once
// The user-facing services as a command-line run offers them: message boxes become lines on
// standard error, the clipboard is kept in memory, the clock is the local wall clock.
#include <string>

#include "services/user_services.h"

namespace velmaro::cli {

// Writes "velmaro-list: <text>" to standard error and answers as if the user had confirmed.
class ConsoleMessageBox : public IMessageBox {
  public:
    MessageResult Show(const std::string& text, MessageStyle style) override;
    // A message that says something else here: the clipboard's text goes to standard output.
    void Replace(std::string text, std::string replacement);

  private:
    std::string replaced_;
    std::string replacement_;
};

// Said instead of the clipboard's confirmation when the dump goes to standard output.
inline constexpr const char* kMsgDumpWritten = "OK, alles auf die Standardausgabe geschrieben!";

class CapturedClipboard : public IClipboard {
  public:
    void Clear() override;
    void SetText(const std::string& value) override;
    bool received() const { return received_; }
    const std::string& text() const { return text_; }

  private:
    std::string text_;
    bool received_ = false;
};

class LocalClock : public IClock {
  public:
    LocalTime Now() const override;
};

// Lets bytes reach standard output unchanged; on Windows it would otherwise turn every LF into CR LF.
void UseBinaryStdout();

// A terminal has no mouse pointer to change.
class NoPointer : public IMousePointer {
  public:
    void Set(MousePointer) override {}
};

}  // namespace velmaro::cli
