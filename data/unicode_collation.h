#pragma once
// The "NOCASE" collation: texts compare by the comparison keys of their characters (case and
// accent insensitive), then by length.

namespace sepmet {

// Collation context values: the encoding of the texts handed to the comparison.
inline constexpr int kNoCaseUtf8 = 1;  // SQLITE_UTF8
inline constexpr int kNoCaseUtf16 = 4; // SQLITE_UTF16, native byte order

// The comparison function of both registrations; context carries kNoCaseUtf8 or kNoCaseUtf16.
// The texts are byte ranges as SQLite passes them: not NUL-terminated, and a UTF-16 text may
// start at an odd address. Nothing outside either range is read.
int NoCaseCompare(void* context, int length1, const void* text1, int length2, const void* text2);

} // namespace sepmet
