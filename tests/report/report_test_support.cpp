#include "report_test_support.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace sepmet::testing {

ScopedEnv::ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name))
        saved_ = old;
    if (value)
        ::setenv(name, value->c_str(), 1);
    else
        ::unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
    if (saved_)
        ::setenv(name_.c_str(), saved_->c_str(), 1);
    else
        ::unsetenv(name_.c_str());
}

TempFolder::TempFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "sepmet-report-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::Write(const std::string& relative, const std::string& content) const {
    const std::filesystem::path file = std::filesystem::path(path_) / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
    return file.string();
}

std::vector<std::string> TempFolder::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace sepmet::testing

// glibc's newlocale keeps its copy of $LOCPATH (the locale test sets LOCPATH) and never frees
// it; the suppression names only that glibc function. Read by LeakSanitizer, unused otherwise.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:__argz_add_sep\n";
}
