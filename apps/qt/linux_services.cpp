#include "linux_services.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include "help_folder.h"

namespace velmaro::qt {

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
    if (!programName_.empty()) {
        return programName_;
    }
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
    const QFileInfo info(QString::fromStdString(path));
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
