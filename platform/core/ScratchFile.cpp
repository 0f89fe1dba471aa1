#include "platform/core/ScratchFile.h"

#include "platform/core/AtomicFile.h"

#include <utility>

namespace logosmith {

ScratchFile::ScratchFile(std::string path) : path_(std::move(path)) {}

ScratchFile::~ScratchFile() {
    removeQuietly();
}

ScratchFile::ScratchFile(ScratchFile&& other) noexcept : path_(std::exchange(other.path_, {})) {}

ScratchFile& ScratchFile::operator=(ScratchFile&& other) noexcept {
    if (this != &other) {
        removeQuietly();
        path_ = std::exchange(other.path_, {});
    }
    return *this;
}

void ScratchFile::remove() {
    if (path_.empty())
        return;
    const std::string path = std::exchange(path_, {});
    deleteFileIfExists(path);
}

void ScratchFile::removeQuietly() noexcept {
    try {
        remove();
    } catch (...) {
        // nothing to add to the action's own outcome
    }
}

} // namespace logosmith
