// The condition parser over any UTF-16 text: it never reads outside the text, gives only finite
// numbers, and what it accepts it accepts again as the dialog shows it.

#include "session/condition_text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text(size / 2, u'\0');
    if (!text.empty())
        std::memcpy(text.data(), data, text.size() * 2);
    const std::optional<double> value = sepmet::ParseConditionText(text);
    if (value) {
        if (!std::isfinite(*value))
            std::abort();
        sepmet::MeasurementSettings settings;
        settings.vW = *value;
        // The dialog shows "%.3f"; that text is a number again (rounded, so compared loosely).
        if (!sepmet::ParseConditionText(sepmet::ConditionDisplayTexts(settings)[0]))
            std::abort();
    }
    sepmet::ConditionTexts texts{text, text, text, text, text};
    const sepmet::ConditionCheck check = sepmet::CheckConditionTexts(texts);
    if (check.Accepted() != value.has_value() || (!value && check.refused.size() != 5))
        std::abort();
    return 0;
}
