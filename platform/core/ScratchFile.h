#pragma once

#include <string>

namespace logosmith {

// A file that lives for one action only, such as the scratch command file "tlsdlek.prn": the
// action that makes it owns it, and it is deleted when the owner lets go, however the action
// ended. A command written but not sent must never be picked up by a later send. Moving hands
// the duty on; the file itself is never opened here.
class ScratchFile {
  public:
    explicit ScratchFile(std::string path);
    ~ScratchFile();
    ScratchFile(ScratchFile&& other) noexcept;
    ScratchFile& operator=(ScratchFile&& other) noexcept;
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& path() const { return path_; }

    // Deletes the file now. Throws FileError when it is there and cannot be deleted: after an
    // action that succeeded, that is worth telling; after a failure the destructor deletes
    // quietly, since the action's own error says more.
    void remove();
    // Deletes the file now, keeping quiet about a failure.
    void removeQuietly() noexcept;

  private:
    std::string path_;
};

} // namespace logosmith
