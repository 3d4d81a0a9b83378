#include "posix/bounded_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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
    return {std::string(), failure, PrintableName(path) + ": " + cause, cause};
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

// After a stat call that failed (mode 0; error says why) or found no regular file.
BoundedRead Unreadable(const std::string& path, mode_t mode, int error) {
    if (mode == 0) {
        return FailedWithErrno(path, error);
    }
    return Failed(path, ReadFailure::NotRegularFile, std::string("not a regular file but ") + KindOf(mode));
}

}  // namespace

BoundedRead ReadBoundedFile(const std::string& path, std::size_t limit) {
    // A device is not even opened: opening one can act on it (a tape rewinds, a modem hangs up).
    // The kind is checked again on the open file, which may have been swapped in between.
    struct stat before {};
    if (const int failed = ::stat(path.c_str(), &before); failed != 0 || !S_ISREG(before.st_mode)) {
        return Unreadable(path, failed != 0 ? 0 : before.st_mode, errno);
    }
    // O_NONBLOCK: opening a FIFO with no writer returns at once instead of waiting for one.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.Get() < 0) {
        return FailedWithErrno(path, errno);
    }
    struct stat status {};
    if (const int failed = ::fstat(file.Get(), &status); failed != 0 || !S_ISREG(status.st_mode)) {
        return Unreadable(path, failed != 0 ? 0 : status.st_mode, errno);
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

}  // namespace velmaro::posix
