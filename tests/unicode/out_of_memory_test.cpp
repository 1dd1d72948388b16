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

// Runs SELECT function(?) with the text bound without a copy in the database's own encoding,
// so that the only allocation of the text's size is the function's own buffer. (In a UTF-16be
// database the binding itself would convert the native text.)
int RunFunction(const char* encoding, const char* function, const std::string& text,
                std::string* result) {
    const std::u16string utf16 = Utf16(text);
    Connection db(encoding);
    sqlite3_stmt* statement = nullptr;
    const std::string sql = std::string("SELECT ") + function + "(?)";
    sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &statement, nullptr);
    if (std::string(encoding) == "UTF-8")
        sqlite3_bind_text(statement, 1, text.c_str(), -1, SQLITE_STATIC);
    else
        sqlite3_bind_text16(statement, 1, utf16.c_str(), -1, SQLITE_STATIC);
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

constexpr int kCharacters = 30001;

// The first allocation of each form: three bytes for each UTF-8 byte, or the units and a NUL.
TEST(UnicodeOutOfMemory, CaseFunctionReportsNoMemory) {
    const std::string text = Repeat("й", kCharacters);
    for (const auto& [encoding, size] : {std::pair{"UTF-8", 3 * 2 * kCharacters + 1},
                                         std::pair{"UTF-16le", 2 * kCharacters + 2}}) {
        SCOPED_TRACE(encoding);
        {
            FailingAllocator allocator(FailingAllocator::Rounded(size), -1);
            const long before = FailingAllocator::Live();
            for (const char* function : {"fold", "lower", "upper", "title"})
                EXPECT_EQ(RunFunction(encoding, function, text, nullptr), SQLITE_NOMEM) << function;
            EXPECT_EQ(FailingAllocator::Live(), before);
        }
        std::string result;
        ASSERT_EQ(RunFunction(encoding, "upper", text, &result), SQLITE_ROW);
        EXPECT_EQ(result, Repeat("Й", kCharacters));
    }
}

TEST(UnicodeOutOfMemory, UnaccentReportsNoMemoryOnEitherAllocation) {
    // «й» keeps one unit; U+FDFA grows the UTF-16 buffer by 17 units and gives 33 UTF-8 bytes.
    const std::string text = Repeat("й", kCharacters - 1) + "\xEF\xB7\xBA";
    const std::size_t resultSize = 2u * (kCharacters - 1) + 33u;
    // The UTF-8 form sizes its result first and allocates it once.
    const int utf8 = FailingAllocator::Rounded(static_cast<int>(resultSize) + 1);
    const int first = FailingAllocator::Rounded(2 * kCharacters + 2);
    const int grown = FailingAllocator::Rounded(2 * (kCharacters + 1 + 17));
    const struct {
        const char* encoding;
        int failMalloc, failRealloc;
    } runs[] = {{"UTF-8", utf8, -1}, {"UTF-16le", first, -1}, {"UTF-16le", -1, grown}};
    for (const auto& run : runs) {
        SCOPED_TRACE(run.encoding);
        FailingAllocator allocator(run.failMalloc, run.failRealloc);
        const long before = FailingAllocator::Live();
        EXPECT_EQ(RunFunction(run.encoding, "unaccent", text, nullptr), SQLITE_NOMEM);
        EXPECT_EQ(FailingAllocator::Live(), before);
    }
    for (const char* encoding : {"UTF-8", "UTF-16le"}) {
        std::string result;
        ASSERT_EQ(RunFunction(encoding, "unaccent", text, &result), SQLITE_ROW);
        EXPECT_EQ(result.size(), resultSize) << encoding;
    }
}

} // namespace
} // namespace sepmet::test
