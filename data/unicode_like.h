#pragma once
// The matcher of the SQL function "like": "%" matches any sequence, "_" one character, there is
// no character-set syntax, and characters match when their comparison keys are equal (case
// and accent insensitive).

namespace sepmet {

// What the wildcards of a pattern are; the "like" functions carry it as their user data.
struct LikePattern {
    char32_t anySequence;
    char32_t oneCharacter;
};

inline constexpr LikePattern kLikePattern{U'%', U'_'};

// Matches the NUL-terminated UTF-8 text against the NUL-terminated UTF-8 pattern; escape 0
// means no escape character. Time is bounded by pattern length × text length and the stack
// use is constant.
bool LikeMatch(const unsigned char* pattern, const unsigned char* text, char32_t escape,
               const LikePattern& wildcards = kLikePattern);

} // namespace sepmet
