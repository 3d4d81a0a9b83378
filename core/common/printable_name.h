#pragma once
// File names in messages: a name comes from the user or the machine and may hold anything.
#include <string>
#include <string_view>

namespace velmaro {

// The name with control characters, backslashes and bytes that are not UTF-8 written as \xNN, so
// that a message line shows it and cannot steer the terminal.
std::string PrintableName(std::string_view name);

}  // namespace velmaro
