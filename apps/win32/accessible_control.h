#pragma once
// What a control tells screen readers beyond the system's standard object for it: its own role and
// name, and names for its items (the list's rows). Answered from the control's WM_GETOBJECT.
#include <windows.h>

#include <functional>
#include <string>

namespace velmaro::win32 {

struct AccessibleLook {
    long role = 0;     // ROLE_SYSTEM_…; 0: the standard object's
    std::wstring name;  // of the control itself; empty: the standard object's
    // Name of item 1, 2, … (MSAA child ids); empty function: the standard object's.
    std::function<std::wstring(long item)> itemName;
    long itemRole = 0;
};

// For WM_GETOBJECT: an object over the standard one with the look's role and names for
// OBJID_CLIENT, 0 (the system's answer) for anything else.
LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, const AccessibleLook& look);

}  // namespace velmaro::win32
