#pragma once
// The JSON text of the audit events. The stored text is what the chain hashes, so the writer
// fixes every byte: keys in the order written, no white space, numbers with 17 significant digits
// and a decimal point (the double reads back exactly), non-finite numbers as null, texts in UTF-8
// with only '"', '\' and control characters escaped.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sepmet::audit {

// 17 significant digits, decimal point, shortest of fixed and exponent form ("%.17g" in the C
// locale): 0.1 gives 0.10000000000000001, 100 gives 100. Used for the JSON numbers and the peak
// lines of the chromatogram digests.
std::string FormatNumber(double value);

class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    // The key of the next value inside an object.
    JsonWriter& Key(std::string_view name);

    JsonWriter& String(std::u16string_view text);
    JsonWriter& StringUtf8(std::string_view text);
    JsonWriter& Number(double value);
    JsonWriter& Integer(std::int64_t value);
    JsonWriter& Bool(bool value);

    const std::string& Text() const { return out_; }

private:
    void BeforeValue();

    std::string out_;
    // One entry per open object or array: whether it has a member yet.
    std::vector<bool> hasMember_;
    bool afterKey_ = false;
};

} // namespace sepmet::audit
