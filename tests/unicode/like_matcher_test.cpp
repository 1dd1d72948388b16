// The "like" matcher against a direct implementation of the pattern rules and against SQLite's
// built-in LIKE, and its behaviour on long runs of "%".

#include "data/unicode_like.h"
#include "data/unicode_maps.h"
#include "data/unicode_utf8.h"
#include "tests/unicode/sql_test_support.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <random>
#include <string>

namespace sepmet::test {
namespace {

using Text = const unsigned char*;

Text Bytes(const std::string& text) {
    return reinterpret_cast<Text>(text.c_str());
}

bool Like(const std::string& pattern, const std::string& text, char32_t escape) {
    return LikeMatch(Bytes(pattern), Bytes(text), escape);
}

// The pattern rules read literally: every "%" searches the text and recurses for each
// character with the literal's key, in exponential time in the worst case.
bool DirectMatch(Text p, Text s, char32_t e) {
    const char16_t* keys = ComparisonKeys();
    bool escaped = false;
    for (;;) {
        char32_t c = ReadUtf8(p);
        if (c == 0)
            return *s == 0;
        if (!escaped && c == U'%') {
            for (;;) {
                c = ReadUtf8(p);
                if (c == U'%')
                    continue;
                if (c != U'_')
                    break;
                if (*s == 0)
                    return false;
                ReadUtf8(s);
            }
            if (c == 0)
                return true;
            if (c == e) {
                c = ReadUtf8(p);
                if (c == 0)
                    return false;
            }
            for (;;) {
                char32_t found;
                do {
                    if (*s == 0)
                        return false;
                    found = ComparisonKey(keys, ReadUtf8(s));
                } while (found != ComparisonKey(keys, c));
                if (DirectMatch(p, s, e))
                    return true;
            }
        } else if (!escaped && c == U'_') {
            if (*s == 0)
                return false;
            ReadUtf8(s);
        } else if (!escaped && c == e) {
            escaped = true;
        } else {
            if (ComparisonKey(keys, ReadUtf8(s)) != ComparisonKey(keys, c))
                return false;
            escaped = false;
        }
    }
}

std::string RandomText(std::mt19937& random, const std::vector<std::string>& alphabet,
                       std::size_t maxLength) {
    std::string text;
    const std::size_t length = random() % (maxLength + 1);
    for (std::size_t i = 0; i < length; ++i)
        text += alphabet[random() % alphabet.size()];
    return text;
}

TEST(LikeMatcher, EqualsTheDirectRulesOnRandomInputs) {
    // Letters that share keys across case and accents, a multi-byte escape candidate, a
    // character above 0xFFFF whose low 16 bits are those of «A», and stray UTF-8 bytes.
    const std::vector<std::string> alphabet = {
        "a",    "A",   "b", "%", "%", "_", "!", "é", "E", "e", "Ё", "е", "ж", "\xF0\x90\x81\x81",
        "\xD0", "\x80"};
    const char32_t escapes[] = {0, U'!', U'%', U'_', U'é', U'a'};
    std::mt19937 random(20240515);
    for (int i = 0; i < 200000; ++i) {
        const std::string pattern = RandomText(random, alphabet, 7);
        const std::string text = RandomText(random, alphabet, 8);
        const char32_t escape = escapes[random() % std::size(escapes)];
        ASSERT_EQ(Like(pattern, text, escape), DirectMatch(Bytes(pattern), Bytes(text), escape))
            << "pattern \"" << pattern << "\" text \"" << text << "\" escape "
            << static_cast<std::uint32_t>(escape);
    }
}

// SQLite's LIKE treats an escape at the very end of the pattern as a failed match, while here
// it is ignored; such patterns are left out.
bool EndsWithLoneEscape(const std::string& pattern, char escape) {
    for (std::size_t i = 0; i < pattern.size(); ++i)
        if (pattern[i] == escape && ++i == pattern.size())
            return true;
    return false;
}

TEST(LikeMatcher, EqualsBuiltInLikeOnAsciiInputs) {
    Connection builtIn("UTF-8", false);
    sqlite3_stmt* withEscape = nullptr;
    sqlite3_stmt* withoutEscape = nullptr;
    ASSERT_EQ(
        sqlite3_prepare_v2(builtIn.get(), "SELECT ?2 LIKE ?1 ESCAPE '!'", -1, &withEscape, nullptr),
        SQLITE_OK);
    ASSERT_EQ(sqlite3_prepare_v2(builtIn.get(), "SELECT ?2 LIKE ?1", -1, &withoutEscape, nullptr),
              SQLITE_OK);
    const std::vector<std::string> alphabet = {"a", "A", "b", "B", "c", "%", "%", "_", "!"};
    std::mt19937 random(7);
    int compared = 0;
    for (int i = 0; i < 50000; ++i) {
        const std::string pattern = RandomText(random, alphabet, 8);
        const std::string text = RandomText(random, alphabet, 10);
        const bool useEscape = random() % 2 == 0;
        if (useEscape && EndsWithLoneEscape(pattern, '!'))
            continue;
        sqlite3_stmt* statement = useEscape ? withEscape : withoutEscape;
        sqlite3_bind_text(statement, 1, pattern.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(statement, 2, text.c_str(), -1, SQLITE_TRANSIENT);
        ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
        const bool expected = sqlite3_column_int(statement, 0) == 1;
        sqlite3_reset(statement);
        ASSERT_EQ(Like(pattern, text, useEscape ? U'!' : 0), expected)
            << "pattern \"" << pattern << "\" text \"" << text << "\" escape " << useEscape;
        ++compared;
    }
    EXPECT_GT(compared, 40000);
    sqlite3_finalize(withEscape);
    sqlite3_finalize(withoutEscape);
}

std::string ManyPercents(int groups, const std::string& last) {
    std::string pattern;
    for (int i = 0; i < groups; ++i)
        pattern += "%a";
    return pattern + last;
}

TEST(LikeMatcher, LongRunsOfPercentAnswerWithoutBacktrackingEveryGroup) {
    const std::string text(10000, 'a');
    EXPECT_FALSE(Like(ManyPercents(24999, "b"), text, 0));
    EXPECT_TRUE(Like(ManyPercents(9999, "%a"), text, 0));
    EXPECT_FALSE(Like(ManyPercents(10001, ""), text, 0));
    EXPECT_TRUE(Like(ManyPercents(100, "%b"), text + "b", 0));
}

// The matcher must not recurse per "%": run it on a thread with a 64 KiB stack.
TEST(LikeMatcher, RunsOnASmallStack) {
    struct Job {
        std::string pattern = ManyPercents(20000, "%a");
        std::string text = std::string(30000, 'a');
        bool result = false;
    } job;
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 64 * 1024);
    pthread_t thread;
    ASSERT_EQ(pthread_create(
                  &thread, &attributes,
                  [](void* argument) -> void* {
                      auto* j = static_cast<Job*>(argument);
                      j->result = Like(j->pattern, j->text, 0);
                      return nullptr;
                  },
                  &job),
              0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    EXPECT_TRUE(job.result);
}

} // namespace
} // namespace sepmet::test
