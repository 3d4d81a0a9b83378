#include "linux/xdg_desktop.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "shell/shell_helpers.h"

namespace velmaro::linux_backend {
namespace {

constexpr const char* kXdgOpen = "xdg-open";

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string FindDeviceViewer(std::string_view searchPath) {
    for (const std::string_view viewer : kDeviceViewers) {
        std::size_t start = 0;
        while (start <= searchPath.size()) {
            const std::size_t end = std::min(searchPath.find(':', start), searchPath.size());
            const std::string_view folder = searchPath.substr(start, end - start);
            start = end + 1;
            if (folder.empty()) {
                continue;  // an empty entry would mean the working folder: not a place to start programs from
            }
            const std::string path = std::string(folder) + "/" + std::string(viewer);
            if (IsExecutableFile(path)) {
                return path;
            }
        }
    }
    return {};
}

bool LaunchDetached(const std::string& program, const std::vector<std::string>& arguments) {
    // Everything the child needs is made before the fork: between fork and exec only calls that
    // are safe in a copy of a threaded process run.
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    const pid_t child = ::fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        // The grandchild runs the program; its parent ends at once, so nobody waits for it later.
        ::setsid();
        if (::fork() == 0) {
            ::execvp(argv[0], argv.data());
        }
        ::_exit(0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
}

XdgDesktop::XdgDesktop()
    : XdgDesktop(FindDeviceViewer([] {
          const char* path = std::getenv("PATH");
          return path ? std::string_view(path) : std::string_view();
      }())) {}

XdgDesktop::XdgDesktop(std::string viewer, Launcher launch) : viewer_(std::move(viewer)), launch_(std::move(launch)) {}

bool XdgDesktop::OpenDeviceManager(WindowHandle) {
    if (viewer_.empty()) {
        return false;
    }
    launch_(viewer_, {});
    return true;
}

void XdgDesktop::OpenDocument(WindowHandle, const std::string& path) {
    launch_(kXdgOpen, {path});
}

void XdgDesktop::OpenAddress(WindowHandle, const std::string& address) {
    launch_(kXdgOpen, {ShellTarget(address)});
}

}  // namespace velmaro::linux_backend
