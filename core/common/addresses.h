#pragma once
// The fixed addresses the program opens: the maker's site, the feedback mail and the support
// forum's threads. Kept in one place so the main window and the guidance dialog cannot drift.
#include <string_view>

namespace velmaro {

inline constexpr std::string_view kMakerWebAddress = "https://www.velmaro.example";
inline constexpr std::string_view kFeedbackAddress = "feedback@velmaro.example";

// Threads that explain how to resolve a doubly assigned port of a Siemens cable.
inline constexpr std::string_view kForumThread2xUsedX40 =
    "https://forum.velmaro.example/community/board/showthread.php?t=14785";
inline constexpr std::string_view kForumThread2xUsed510 =
    "https://forum.velmaro.example/community/board/showthread.php?t=13903";

}  // namespace velmaro
