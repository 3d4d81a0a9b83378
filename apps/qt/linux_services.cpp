#include "linux_services.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <cstring>

#include "help_folder.h"
#include "shell/device_manager.h"

namespace velmaro::qt {
namespace {

constexpr std::int32_t kEFail = static_cast<std::int32_t>(0x80004005u);
constexpr ItemIdList kSystemFolderList = 1;
// ShellExecute answers above 32 for success; 2 is "file not found".
constexpr std::intptr_t kExecuteOk = 42;
constexpr std::intptr_t kExecuteNotFound = 2;

std::string Slashes(std::string path) {
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    return path;
}

bool EndsWith(const std::string& text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool CopyPath(const std::string& value, char* path) {
    if (value.size() + 1 > kMaxPath) {
        return false;
    }
    std::memcpy(path, value.c_str(), value.size() + 1);
    return true;
}

}  // namespace

XdgShellService::XdgShellService() {
    for (const char* name : kDeviceViewers) {
        const QString found = QStandardPaths::findExecutable(QString::fromUtf8(name));
        if (!found.isEmpty()) {
            viewer_ = found.toStdString();
            break;
        }
    }
}

std::int32_t XdgShellService::GetSpecialFolderLocation(WindowHandle, std::int32_t folder, ItemIdList& list) {
    list = 0;
    if ((folder & ~kCsidlFlagCreate) != kCsidlSystem || viewer_.empty()) {
        return kEFail;
    }
    list = kSystemFolderList;
    return kSOk;
}

std::int32_t XdgShellService::GetPathFromIdList(ItemIdList list, char* path) {
    if (list != kSystemFolderList || viewer_.empty()) {
        return 0;
    }
    return CopyPath(QFileInfo(QString::fromStdString(viewer_)).absolutePath().toStdString(), path) ? 1 : 0;
}

std::int32_t XdgShellService::GetFolderPathFromLibrary(LibraryHandle,
                                                       WindowHandle,
                                                       std::int32_t,
                                                       std::uintptr_t,
                                                       std::uint32_t,
                                                       char*) {
    return kEFail;
}

std::intptr_t XdgShellService::Execute(WindowHandle,
                                       const std::string&,
                                       const std::string& file,
                                       const std::string&,
                                       const std::string&,
                                       std::int32_t) {
    if (EndsWith(file, kDeviceManagerFile)) {
        if (viewer_.empty()) {
            return kExecuteNotFound;
        }
        return QProcess::startDetached(QString::fromStdString(viewer_), {}) ? kExecuteOk : kExecuteNotFound;
    }
    const bool address =
        file.find("://") != std::string::npos || file.rfind("mailto:", 0) == 0 || file.rfind("www.", 0) == 0;
    const std::string target = address ? file : Slashes(file);
    return QProcess::startDetached(QStringLiteral("xdg-open"), {QString::fromStdString(target)}) ? kExecuteOk
                                                                                                 : kExecuteNotFound;
}

LockFileInstance::LockFileInstance(const std::string& name)
    : LockFileInstance(
          [] {
              QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
              return (dir.isEmpty() || !QDir(dir).exists() ? QDir::tempPath() : dir).toStdString();
          }(),
          name) {}

LockFileInstance::LockFileInstance(const std::string& folder, const std::string& name)
    : lock_(QDir(QString::fromStdString(folder)).filePath(QString::fromStdString(name))) {
    lock_.setStaleLockTime(0);  // a lock of a crashed copy is recognised by its process id
}

bool LockFileInstance::AnotherInstanceRunning() {
    if (lock_.isLocked()) {
        return false;
    }
    return !lock_.tryLock(0);
}

std::string ApplicationIdentity::ExecutableName() const {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
}

std::string ApplicationIdentity::ExecutableFolder() const {
    return HelpRootFolder(QCoreApplication::applicationDirPath().toStdString());
}

ProgramVersion ApplicationIdentity::Version() const {
    return ParseVersion(VELMARO_VERSION);
}

ProgramVersion ParseVersion(const std::string& text) {
    ProgramVersion version;
    int* parts[] = {&version.major, &version.minor, &version.revision};
    std::size_t start = 0;
    for (int* part : parts) {
        if (start > text.size()) {
            break;
        }
        const std::size_t dot = text.find('.', start);
        const std::string piece = text.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        *part = piece.empty() ? 0 : std::atoi(piece.c_str());
        if (dot == std::string::npos) {
            break;
        }
        start = dot + 1;
    }
    return version;
}

std::optional<FileEntry> LocalFileSystem::Lookup(const std::string& path) const {
    const QFileInfo info(QString::fromStdString(Slashes(path)));
    if (!info.exists()) {
        return std::nullopt;
    }
    FileEntry entry;
    entry.name = info.fileName().toStdString();
    entry.directory = info.isDir();
    entry.hidden = info.isHidden();
    entry.system = !info.isDir() && !info.isFile();  // devices, sockets and pipes
    return entry;
}

LocalTime LocalWallClock::Now() const {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

void QtEventPump::ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

}  // namespace velmaro::qt
