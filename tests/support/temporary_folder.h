#pragma once
// A fresh folder under the temporary folder for one test, removed with everything in it.

#include <string>
#include <vector>

namespace sepmet::testing {

class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& Path() const { return path_; }
    // The path of `relative` inside the folder; nothing is created.
    std::string File(const std::string& relative) const { return path_ + "/" + relative; }
    // Writes `content` to `relative`, creating its folders; the file's path.
    std::string Write(const std::string& relative, const std::string& content) const;
    // The names directly inside the folder, sorted.
    std::vector<std::string> Names() const;

private:
    std::string path_;
};

} // namespace sepmet::testing
