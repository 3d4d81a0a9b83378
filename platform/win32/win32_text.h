#pragma once
// Text at the Windows boundary: UTF-8 inside the program, the ANSI code page for the ...A calls,
// UTF-16 for window texts. Bytes that do not convert are replaced, never dropped silently.
#include <string>
#include <string_view>

namespace velmaro::win32 {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
// The process's ANSI code page (CP_ACP).
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);

}  // namespace velmaro::win32
