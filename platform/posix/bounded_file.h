#pragma once
// Reading a file that comes from outside the program (a scenario, Wine's registry file, a sysfs
// attribute) without being at its mercy: no wait on a FIFO, no endless device, no file read whole
// beyond a limit, and a failure worded by its cause.
#include <cstddef>
#include <string>
#include <string_view>

namespace velmaro::posix {

// Limits per kind of file, each far above what a real one holds.
inline constexpr std::size_t kSysfsAttributeLimit = 4096;             // the kernel's show() page
inline constexpr std::size_t kScenarioFileLimit = 16u * 1024 * 1024;  // 100 times 256 ports
inline constexpr std::size_t kWineRegistryLimit = 64u * 1024 * 1024;  // a large prefix's system.reg

enum class ReadFailure {
    None,
    NotFound,          // ENOENT, ENOTDIR
    PermissionDenied,  // EACCES, EPERM
    SymlinkLoop,       // ELOOP
    NotRegularFile,    // a FIFO, a device, a directory, a socket
    TooLarge,          // more than the limit
    Other,             // any other errno
};

struct BoundedRead {
    std::string content;  // empty after a failure
    ReadFailure failure = ReadFailure::None;
    std::string message;  // one line naming the file and the cause; empty on success
    bool Ok() const { return failure == ReadFailure::None; }
};

// Opens without blocking and without following into a terminal, checks for a regular file and
// reads at most limit bytes; a longer file is a failure, not a truncated text.
BoundedRead ReadBoundedFile(const std::string& path, std::size_t limit);

// The name with control characters, backslashes and bytes that are not UTF-8 written as \xNN, so
// that a message line shows it and cannot steer the terminal.
std::string PrintableName(std::string_view name);

}  // namespace velmaro::posix
