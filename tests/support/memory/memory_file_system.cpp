#include "memory/memory_file_system.h"

#include <stdexcept>

#include "common/text.h"

namespace velmaro::memory {

void MemoryFileSystem::AddFile(const std::string& path, bool hidden, bool system) {
    entries_[UpperCase(path)] = {false, hidden, system};
}

void MemoryFileSystem::AddDirectory(const std::string& path) {
    entries_[UpperCase(path)] = {true, false, false};
}

void MemoryFileSystem::Remove(const std::string& path) {
    entries_.erase(UpperCase(path));
}

std::optional<FileEntry> MemoryFileSystem::Lookup(const std::string& path) const {
    lookedUp_.push_back(path);
    if (failLookups_) {
        throw std::runtime_error("device not ready");
    }
    auto it = entries_.find(UpperCase(path));
    if (it == entries_.end()) {
        return std::nullopt;
    }
    auto slash = path.find_last_of('\\');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return FileEntry{name, it->second.directory, it->second.hidden, it->second.system};
}

}  // namespace velmaro::memory
