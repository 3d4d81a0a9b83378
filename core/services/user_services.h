#pragma once
// The small user-facing services the core calls: message boxes, clipboard, clock, mouse pointer.
#include <string>

namespace velmaro {

// The icon and button sets that the product's message boxes use. Every box carries the program's
// title as its caption; the implementation knows that title.
enum class MessageStyle {
    PromptOnly,           // no icon, OK
    InformationOk,        // information icon, OK
    ExclamationOkCancel,  // exclamation icon, OK and Cancel
    QuestionYesNo,        // question icon, Yes and No
};

enum class MessageResult { Ok, Cancel, Yes, No };

class IMessageBox {
  public:
    virtual ~IMessageBox() = default;
    // Shows the box modally and returns the button pressed.
    virtual MessageResult Show(const std::string& text, MessageStyle style) = 0;
};

class IClipboard {
  public:
    virtual ~IClipboard() = default;
    virtual void Clear() = 0;
    // Puts plain text (UTF-8 here; the backend converts) on the clipboard.
    virtual void SetText(const std::string& text) = 0;
};

struct LocalTime {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    int hour = 0;   // 0..23
    int minute = 0;
    int second = 0;
};

class IClock {
  public:
    virtual ~IClock() = default;
    // The local date and time of day.
    virtual LocalTime Now() const = 0;
};

enum class MousePointer { Default, Busy };

class IMousePointer {
  public:
    virtual ~IMousePointer() = default;
    virtual void Set(MousePointer pointer) = 0;
};

}  // namespace velmaro
