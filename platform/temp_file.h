#pragma once
// Fresh output files in the user's temporary folder, named like the system's temporary files
// ("pqr1A2B.TMP") and never overwriting a file that is already there.

#include <string>
#include <string_view>

namespace sepmet {

// An open file descriptor, closed with the object.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor();

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_ = -1;
};

// $TMPDIR when set and not empty, else "/tmp"; without a trailing '/'. A relative $TMPDIR is
// made absolute against the current folder.
std::string TemporaryFolder();

struct ReservedFile {
    std::string reservedName; // folder/<prefix>XXXX.TMP, created empty and left in place
    std::string path;         // reservedName + suffix, created empty and open for writing
    FileDescriptor file;
    std::string error; // why nothing was reserved; empty on success

    bool reserved() const { return file.valid(); }
};

// Reserves "<prefix>XXXX.TMP" in `folder` (1 to 4 upper-case hexadecimal digits) by exclusive
// creation, then creates "<that name><suffix>" exclusively as well and keeps it open (mode 0600).
// A taken number, or one whose suffixed name is taken, is skipped. Fails, with an English text
// naming the folder and the reason, when the folder is missing or not writable or all 65535
// numbers are taken; nothing is created then.
ReservedFile ReserveTemporaryFile(const std::string& folder, std::string_view prefix,
                                  std::string_view suffix);

} // namespace sepmet
