#pragma once
// Fakes of the user-facing services, shared by the test programs.
#include <string>
#include <utility>
#include <vector>

#include "devices/refresh_services.h"
#include "main_window/port_list_build.h"
#include "services/user_services.h"
#include "shell/desktop.h"

namespace velmaro::testing {

// Records every box and answers with a fixed button (Ok for OK boxes, Yes for questions unless
// told otherwise).
class RecordingMessageBox : public IMessageBox {
  public:
    struct Shown {
        std::string text;
        MessageStyle style;
    };
    MessageResult Show(const std::string& text, MessageStyle style) override {
        shown.push_back({text, style});
        if (style == MessageStyle::QuestionYesNo) {
            return answerYes ? MessageResult::Yes : MessageResult::No;
        }
        return MessageResult::Ok;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& s : shown) {
            texts.push_back(s.text);
        }
        return texts;
    }
    std::vector<Shown> shown;
    bool answerYes = true;
};

// Records what the window asks the desktop to open; a device manager only when told there is one.
class RecordingDesktop : public IDesktop {
  public:
    bool OpenDeviceManager(WindowHandle) override {
        opened.push_back("device manager");
        return hasDeviceManager;
    }
    void OpenDocument(WindowHandle, const std::string& path) override { opened.push_back("document " + path); }
    void OpenAddress(WindowHandle, const std::string& address) override { opened.push_back("address " + address); }

    bool hasDeviceManager = false;
    std::vector<std::string> opened;
};

class FakeClipboard : public IClipboard {
  public:
    void Clear() override {
        ++clears;
        text.clear();
        hasText = false;
    }
    void SetText(const std::string& value) override {
        text = value;
        hasText = true;
        ++sets;
    }
    std::string text;
    bool hasText = false;
    int clears = 0;
    int sets = 0;
};

class FixedClock : public IClock {
  public:
    explicit FixedClock(LocalTime t = {2026, 12, 4, 9, 5, 7}) : now(t) {}
    LocalTime Now() const override { return now; }
    LocalTime now;
};

class RecordingPointer : public IMousePointer {
  public:
    void Set(MousePointer pointer) override { history.push_back(pointer); }
    std::vector<MousePointer> history;
};

// The user services of one refresh as fakes, bundled over a machine's registry and devices.
struct FakeUserServices {
    Services Over(IRegistryService& registry, IDeviceInfoService& devices) {
        return {registry, devices, messages, clipboard, clock, pointer};
    }
    // The list one refresh builds over the machine.
    PortListContent List(IRegistryService& registry, IDeviceInfoService& devices) {
        PortDeviceTable table;
        bool clipboardRequested = false;
        return BuildPortList(Over(registry, devices), table, clipboardRequested);
    }
    RecordingMessageBox messages;
    FakeClipboard clipboard;
    FixedClock clock;
    RecordingPointer pointer;
};

}  // namespace velmaro::testing
