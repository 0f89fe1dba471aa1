#pragma once

#include <QString>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace logosmith {

// Files as they were at one moment: each one's bytes and modification time, or that it was not
// there. Putting the moment back writes each file whole (or deletes it), its time included, so a
// picture file a load has open counts as unchanged.
class FileMemento {
  public:
    // Keeps the file as it is now; a file kept already keeps its first state.
    void keep(const QString& path);
    // The same files as they are now.
    FileMemento now() const;
    // Throws FileError when a file cannot be written or deleted.
    void putBack() const;

    bool holds(const QString& path) const { return files_.count(path) != 0; }

  private:
    struct State {
        std::vector<std::uint8_t> bytes;
        std::int64_t modifiedNs = 0;
    };
    std::map<QString, std::optional<State>> files_;
};

} // namespace logosmith
