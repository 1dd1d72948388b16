#include "tests/support/temporary_folder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace sepmet::testing {

namespace fs = std::filesystem;

TemporaryFolder::TemporaryFolder() {
#if defined(_WIN32)
    // No mkdtemp in the Windows C runtime: a fresh name is taken by creating the folder.
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const fs::path candidate =
            fs::temp_directory_path() / ("sepmet-test-" + std::to_string(random()));
        std::error_code error;
        if (fs::create_directory(candidate, error))
            path_ = candidate.string();
    }
    if (path_.empty())
        throw std::runtime_error("no folder created in " + fs::temp_directory_path().string());
#else
    std::string pattern = (fs::temp_directory_path() / "sepmet-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed in " + fs::temp_directory_path().string());
    path_ = pattern;
#endif
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    // Folders a test made read-only or closed must be open to their owner again to be removed;
    // each is opened before the walk descends into it.
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    std::error_code walk;
    fs::recursive_directory_iterator entry(path_, walk);
    for (const fs::recursive_directory_iterator end; !walk && entry != end; entry.increment(walk))
        if (entry->is_directory(ignored) && !entry->is_symlink(ignored))
            fs::permissions(entry->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

fs::path Utf8Path(const std::string& path) {
    return fs::path(std::u8string(path.begin(), path.end()));
}

std::string Utf8Text(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string TemporaryFolder::Write(const std::string& relative, const std::string& content) const {
    const fs::path file = Utf8Path(path_) / Utf8Path(relative);
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
    return Utf8Text(file);
}

std::vector<std::string> TemporaryFolder::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace sepmet::testing
