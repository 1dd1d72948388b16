#include "data/unicode_like.h"

#include "data/unicode_maps.h"
#include "data/unicode_utf8.h"

namespace sepmet {

// A "%" is followed by the literal it searches for. Only the last "%" is ever retried: it can
// absorb any text that an earlier one could, so retrying earlier ones gives no new matches.
// Each retry moves that "%" one character further, which bounds the work by pattern length ×
// text length, and there is no recursion.
bool LikeMatch(const unsigned char* pattern, const unsigned char* text, char32_t escape,
               const LikePattern& wildcards) {
    const char16_t* const keys = ComparisonKeys();
    const char32_t anySequence = wildcards.anySequence;
    const char32_t oneCharacter = wildcards.oneCharacter;

    const unsigned char* retryPattern = nullptr; // pattern after the last "%" and its literal
    const unsigned char* retryText = nullptr;    // text after the character found for it
    char32_t retryKey = 0;                       // key of that literal
    bool escaped = false;
    // Moves retryText past the next character with retryKey; false when the text ends first.
    const auto findRetryKey = [&] {
        while (*retryText != 0)
            if (ComparisonKey(keys, ReadUtf8(retryText)) == retryKey)
                return true;
        return false;
    };

    for (;;) {
        char32_t c = ReadUtf8(pattern);
        bool matched = true;
        if (c == 0) {
            if (*text == 0)
                return true;
            matched = false;
        } else if (!escaped && c == anySequence) {
            for (;;) {
                c = ReadUtf8(pattern);
                if (c == anySequence)
                    continue;
                if (c != oneCharacter)
                    break;
                if (*text == 0)
                    break;
                ReadUtf8(text);
            }
            if (c == oneCharacter) {
                matched = false; // the text ended inside the "%_" group
            } else {
                if (c == 0)
                    return true;
                if (c == escape) {
                    c = ReadUtf8(pattern);
                    if (c == 0)
                        return false;
                }
                retryPattern = pattern;
                retryKey = ComparisonKey(keys, c);
                retryText = text;
                // Searching from the current position is the first try of this "%".
                if (!findRetryKey())
                    return false;
                text = retryText;
                escaped = false;
                continue;
            }
        } else if (!escaped && c == oneCharacter) {
            if (*text == 0)
                matched = false;
            else
                ReadUtf8(text);
        } else if (!escaped && c == escape) {
            escaped = true;
        } else {
            matched = ComparisonKey(keys, ReadUtf8(text)) == ComparisonKey(keys, c);
            escaped = false;
        }
        if (matched)
            continue;

        // Retry the last "%": the next character with the key of its literal.
        if (!retryPattern || !findRetryKey())
            return false;
        pattern = retryPattern;
        text = retryText;
        escaped = false;
    }
}

} // namespace sepmet
