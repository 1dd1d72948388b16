#pragma once
// A fresh folder under the temporary folder for one test, removed with everything in it.

#include <filesystem>
#include <string>
#include <vector>

namespace sepmet::testing {

// Paths in the tests are UTF-8, as in the product; std::filesystem's narrow strings are the ANSI
// code page on Windows, so paths with other letters go through these.
std::filesystem::path Utf8Path(const std::string& path);
std::string Utf8Text(const std::filesystem::path& path);

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
