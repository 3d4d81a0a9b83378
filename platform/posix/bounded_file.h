#pragma once
// Reading a file that comes from outside the program (a scenario, Wine's registry file, a sysfs
// attribute) without being at its mercy: no wait on a FIFO, no endless device, no file read whole
// beyond a limit, and a failure worded by its cause.
#include <cstddef>
#include <string>
#include <string_view>

#include "common/printable_name.h"

namespace velmaro::posix {

// Limits per kind of file, each far above what a real one holds.
inline constexpr std::size_t kSysfsAttributeLimit = 4096;             // the kernel's show() page
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
    std::string cause;    // the cause alone: "not found", "not a regular file but a FIFO"
    bool Ok() const { return failure == ReadFailure::None; }
};

// Opens without blocking and without following into a terminal, checks for a regular file and
// reads at most limit bytes; a longer file is a failure, not a truncated text.
BoundedRead ReadBoundedFile(const std::string& path, std::size_t limit);

using velmaro::PrintableName;

}  // namespace velmaro::posix
