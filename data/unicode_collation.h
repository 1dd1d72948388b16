#pragma once
// The "NOCASE" collation: texts compare by the comparison keys of their characters (case and
// accent insensitive), character by character; when one text runs out of characters first, it
// sorts first. This is a total order, the same for a text in UTF-8 and in UTF-16.

namespace sepmet {

// Collation context values: the encoding of the texts handed to the comparison.
inline constexpr int kNoCaseUtf8 = 1;  // SQLITE_UTF8
inline constexpr int kNoCaseUtf16 = 4; // SQLITE_UTF16, native byte order

// The comparison function of both registrations; context carries kNoCaseUtf8 or kNoCaseUtf16.
// The texts are byte ranges as SQLite passes them: not NUL-terminated, and a UTF-16 text may
// start at an odd address. Nothing outside either range is read. A text ends at its length or
// at its first NUL character; an odd last byte of a UTF-16 text is no unit (SQLite drops it
// too when it converts the text). Texts whose characters run out together are equal, whatever
// their byte lengths: «Éclair» equals «eclair» in both encodings.
int NoCaseCompare(void* context, int length1, const void* text1, int length2, const void* text2);

} // namespace sepmet
