#include "posix/bounded_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace velmaro::posix {
namespace {

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }

  private:
    int fd_;
};

ReadFailure FailureOf(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return ReadFailure::NotFound;
        case EACCES:
        case EPERM:
            return ReadFailure::PermissionDenied;
        case ELOOP:
            return ReadFailure::SymlinkLoop;
        default:
            return ReadFailure::Other;
    }
}

const char* KindOf(mode_t mode) {
    if (S_ISFIFO(mode)) {
        return "a FIFO";
    }
    if (S_ISCHR(mode)) {
        return "a character device";
    }
    if (S_ISBLK(mode)) {
        return "a block device";
    }
    if (S_ISDIR(mode)) {
        return "a directory";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "of an unknown kind";
}

BoundedRead Failed(const std::string& path, ReadFailure failure, const std::string& cause) {
    return {std::string(), failure, PrintableName(path) + ": " + cause};
}

BoundedRead FailedWithErrno(const std::string& path, int error) {
    const ReadFailure failure = FailureOf(error);
    switch (failure) {
        case ReadFailure::NotFound:
            return Failed(path, failure, "not found");
        case ReadFailure::PermissionDenied:
            return Failed(path, failure, "permission denied");
        case ReadFailure::SymlinkLoop:
            return Failed(path, failure, "too many levels of symbolic links (a link loop?)");
        default:
            return Failed(path, failure, std::strerror(error));
    }
}

BoundedRead TooLarge(const std::string& path, std::size_t limit) {
    return Failed(path, ReadFailure::TooLarge, "larger than " + std::to_string(limit) + " bytes, not read");
}

// Length of the UTF-8 sequence at text[at], or 0 when it is not a valid one.
std::size_t Utf8Length(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    char32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, min = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    char32_t code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (next & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < min || code > 0x10FFFF || surrogate ? 0 : length;
}

}  // namespace

BoundedRead ReadBoundedFile(const std::string& path, std::size_t limit) {
    // O_NONBLOCK: opening a FIFO with no writer returns at once instead of waiting for one.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.Get() < 0) {
        return FailedWithErrno(path, errno);
    }
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0) {
        return FailedWithErrno(path, errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return Failed(path, ReadFailure::NotRegularFile,
                      std::string("not a regular file but ") + KindOf(status.st_mode));
    }
    // sysfs and procfs give a size that is not the content's; the read below holds the limit.
    if (status.st_size > 0 && static_cast<unsigned long long>(status.st_size) > limit) {
        return TooLarge(path, limit);
    }
    BoundedRead result;
    const std::size_t chunk = 64 * 1024;
    while (true) {
        const std::size_t had = result.content.size();
        // One byte beyond the limit tells a file that grew or lied about its size.
        const std::size_t want = std::min(chunk, limit + 1 - had);
        result.content.resize(had + want);
        const ssize_t got = ::read(file.Get(), result.content.data() + had, want);
        if (got < 0) {
            if (errno == EINTR) {
                result.content.resize(had);
                continue;
            }
            return FailedWithErrno(path, errno);
        }
        result.content.resize(had + static_cast<std::size_t>(got));
        if (got == 0) {
            return result;
        }
        if (result.content.size() > limit) {
            return TooLarge(path, limit);
        }
    }
}

std::string PrintableName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t at = 0; at < name.size();) {
        const auto c = static_cast<unsigned char>(name[at]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
            ++at;
            continue;
        }
        if (c >= 0x80) {
            const std::size_t length = Utf8Length(name, at);
            // C1 controls (U+0080..U+009F) steer terminals as ESC does.
            const bool c1 = length == 2 && c == 0xC2 && static_cast<unsigned char>(name[at + 1]) < 0xA0;
            if (length > 0 && !c1) {
                out.append(name.substr(at, length));
                at += length;
                continue;
            }
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
        out += escaped;
        ++at;
    }
    return out;
}

}  // namespace velmaro::posix
