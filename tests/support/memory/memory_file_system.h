#pragma once
// An in-memory file system that answers directory lookups as Windows does: paths with "\",
// letter case ignored, entries with directory, hidden and system attributes. Lookups can be made
// to fail, and every looked-up path is recorded.
#include <map>
#include <string>
#include <vector>

#include "services/file_system.h"

namespace velmaro::memory {

class MemoryFileSystem : public IFileSystem {
  public:
    struct Attributes {
        bool directory = false;
        bool hidden = false;
        bool system = false;
    };

    void AddFile(const std::string& path, bool hidden = false, bool system = false);
    void AddDirectory(const std::string& path);
    void Remove(const std::string& path);
    // From now on every lookup throws, as a lookup on a drive that is not ready does.
    void FailLookups(bool fail) { failLookups_ = fail; }

    const std::vector<std::string>& LookedUp() const { return lookedUp_; }

    std::optional<FileEntry> Lookup(const std::string& path) const override;

  private:
    std::map<std::string, Attributes> entries_;  // by upper-cased path
    bool failLookups_ = false;
    mutable std::vector<std::string> lookedUp_;
};

}  // namespace velmaro::memory
