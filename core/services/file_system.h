#pragma once
// A directory lookup of one path, as the platform's find-first-file call answers it.
#include <optional>
#include <string>

namespace velmaro {

struct FileEntry {
    std::string name;  // the entry's own name, without its folder
    bool directory = false;
    bool hidden = false;
    bool system = false;
};

class IFileSystem {
  public:
    virtual ~IFileSystem() = default;
    // The entry at path, or nothing when there is none. Throws when the lookup itself fails (bad
    // path, no access, device not ready).
    virtual std::optional<FileEntry> Lookup(const std::string& path) const = 0;
    // What separates a folder from the name below it in this file system's paths.
    virtual char Separator() const { return '\\'; }
};

}  // namespace velmaro
