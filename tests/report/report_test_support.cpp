#include "report_test_support.h"

#include <cstdlib>

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

} // namespace sepmet::testing

// glibc's newlocale keeps its copy of $LOCPATH (the locale test sets LOCPATH) and never frees
// it; the suppression names only that glibc function. Read by LeakSanitizer, unused otherwise.
#if !defined(_WIN32)
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:__argz_add_sep\n";
}
#endif
