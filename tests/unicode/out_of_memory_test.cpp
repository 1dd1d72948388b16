// The result buffers of the case functions and "unaccent" when memory runs out: the statement
// fails with SQLITE_NOMEM, nothing is returned as a result and nothing is leaked.

#include "tests/unicode/sql_test_support.h"

#include <gtest/gtest.h>

namespace sepmet::test {
namespace {

// Replaces SQLite's allocator for one test: the allocation (or reallocation) of one rounded
// size fails. SQLite must be shut down to change it, so no connection may be open around it.
class FailingAllocator {
public:
    FailingAllocator(int failMallocSize, int failReallocSize) {
        failMalloc_ = failMallocSize;
        failRealloc_ = failReallocSize;
        sqlite3_initialize(); // installs the default allocator that is wrapped here
        sqlite3_shutdown();
        sqlite3_config(SQLITE_CONFIG_GETMALLOC, &original_);
        sqlite3_mem_methods methods = original_;
        methods.xMalloc = [](int size) -> void* {
            void* block = size == failMalloc_ ? nullptr : original_.xMalloc(size);
            live_ += block != nullptr;
            return block;
        };
        methods.xRealloc = [](void* old, int size) -> void* {
            return size == failRealloc_ ? nullptr : original_.xRealloc(old, size);
        };
        methods.xFree = [](void* block) {
            live_ -= block != nullptr;
            original_.xFree(block);
        };
        sqlite3_config(SQLITE_CONFIG_MALLOC, &methods);
        sqlite3_initialize();
    }
    ~FailingAllocator() {
        sqlite3_shutdown();
        sqlite3_config(SQLITE_CONFIG_MALLOC, &original_);
        sqlite3_initialize();
    }
    // Blocks allocated and not yet freed while the allocator is installed.
    static long Live() { return live_; }
    static int Rounded(int size) { return (size + 7) & ~7; } // the default allocator's rounding

private:
    static inline sqlite3_mem_methods original_{};
    static inline int failMalloc_ = -1;
    static inline int failRealloc_ = -1;
    static inline long live_ = 0;
};

// Runs SELECT function(?) on a UTF-8 connection with the text bound without a copy, so that
// the only allocations of the text's sizes are the conversion to UTF-16 (four bytes per
// two-byte character) and the function's own buffer.
int RunFunction(const char* function, const std::string& text, std::string* result) {
    Connection db;
    sqlite3_stmt* statement = nullptr;
    const std::string sql = std::string("SELECT ") + function + "(?)";
    sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &statement, nullptr);
    sqlite3_bind_text(statement, 1, text.c_str(), -1, SQLITE_STATIC);
    const int rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW && result)
        *result = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    sqlite3_finalize(statement);
    return rc;
}

std::string Repeat(const std::string& piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += piece;
    return text;
}

constexpr int kUnits = 30001;

TEST(UnicodeOutOfMemory, CaseFunctionReportsNoMemory) {
    const std::string text = Repeat("й", kUnits);
    {
        FailingAllocator allocator(FailingAllocator::Rounded(2 * kUnits + 2), -1);
        const long before = FailingAllocator::Live();
        for (const char* function : {"fold", "lower", "upper", "title"})
            EXPECT_EQ(RunFunction(function, text, nullptr), SQLITE_NOMEM) << function;
        EXPECT_EQ(FailingAllocator::Live(), before);
    }
    std::string result;
    ASSERT_EQ(RunFunction("upper", text, &result), SQLITE_ROW);
    EXPECT_EQ(result, Repeat("Й", kUnits));
}

TEST(UnicodeOutOfMemory, UnaccentReportsNoMemoryOnEitherAllocation) {
    // «й» keeps one unit; U+FDFA grows the buffer by 17 units.
    const std::string text = Repeat("й", kUnits - 1) + "\xEF\xB7\xBA";
    const int first = FailingAllocator::Rounded(2 * kUnits + 2);
    const int grown = FailingAllocator::Rounded(2 * (kUnits + 1 + 17));
    for (const auto& [failMalloc, failRealloc] : {std::pair{first, -1}, std::pair{-1, grown}}) {
        FailingAllocator allocator(failMalloc, failRealloc);
        const long before = FailingAllocator::Live();
        EXPECT_EQ(RunFunction("unaccent", text, nullptr), SQLITE_NOMEM);
        EXPECT_EQ(FailingAllocator::Live(), before);
    }
    std::string result;
    ASSERT_EQ(RunFunction("unaccent", text, &result), SQLITE_ROW);
    EXPECT_EQ(result.size(), 2u * (kUnits - 1) + 33u);
}

} // namespace
} // namespace sepmet::test
