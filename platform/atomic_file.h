#pragma once
// A file replaced whole or not at all: written under a fresh name beside its target, flushed to
// the disk and renamed over the target. Until then the target keeps its old content; a write
// that fails removes the file beside and leaves the target as it was.

#include <string>
#include <string_view>

namespace sepmet {

class AtomicFile {
public:
    // Creates the file beside `target` (in the folder of the file a link at `target` names).
    // `error()` says why when it cannot.
    explicit AtomicFile(const std::string& target);
    ~AtomicFile(); // removes the file beside unless committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    const std::string& error() const { return error_; }

    // Flushes, closes and renames the file over the target. Empty on success, else the English
    // reason; the file beside is then removed and the target unchanged.
    std::string Commit();

private:
    std::string target_;
    std::string beside_;
    std::string error_;
    int fd_ = -1;
};

// Writes `bytes` to `path` that way; empty on success, else the English reason.
std::string WriteFileAtomically(const std::string& path, std::string_view bytes);

} // namespace sepmet
