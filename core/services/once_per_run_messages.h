#pragma once
// Message boxes of one refresh: each text is shown once, its repeats are counted and written to a
// log stream when the run ends. A device that vanishes mid-refresh fails every property read, and
// one modal box per read would bury the window.
#include <cstddef>
#include <map>
#include <ostream>
#include <string>

#include "services/user_services.h"

namespace velmaro {

class OncePerRunMessages : public IMessageBox {
  public:
    OncePerRunMessages(IMessageBox& shown, std::ostream& log);
    ~OncePerRunMessages() override;
    OncePerRunMessages(const OncePerRunMessages&) = delete;
    OncePerRunMessages& operator=(const OncePerRunMessages&) = delete;

    // The first box of a text is passed on; a repeat returns the answer given to the first.
    MessageResult Show(const std::string& text, MessageStyle style) override;

    // Writes one line per repeated text and starts a new run: every text may show once more.
    void EndRun();

  private:
    struct Seen {
        MessageResult answer;
        std::size_t repeats = 0;
    };
    IMessageBox& shown_;
    std::ostream& log_;
    std::map<std::string, Seen> seen_;
};

// "Meldung „…“ in dieser Aktualisierung noch 3-mal, nicht erneut angezeigt"
std::string RepeatedMessageLine(const std::string& text, std::size_t repeats);

}  // namespace velmaro
