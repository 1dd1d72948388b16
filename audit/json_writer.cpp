#include "audit/json_writer.h"

#include "platform/utf.h"

#include <charconv>
#include <cmath>

namespace sepmet::audit {

std::string FormatNumber(double value) {
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    return std::string(buffer, result.ptr);
}

void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!hasMember_.empty()) {
        if (hasMember_.back())
            out_ += ',';
        hasMember_.back() = true;
    }
}

JsonWriter& JsonWriter::BeginObject() {
    BeforeValue();
    out_ += '{';
    hasMember_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    out_ += '}';
    hasMember_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::BeginArray() {
    BeforeValue();
    out_ += '[';
    hasMember_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    out_ += ']';
    hasMember_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view name) {
    StringUtf8(name);
    out_ += ':';
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::u16string_view text) {
    return StringUtf8(ToUtf8(text));
}

JsonWriter& JsonWriter::StringUtf8(std::string_view text) {
    BeforeValue();
    static const char hex[] = "0123456789abcdef";
    out_ += '"';
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out_ += '\\';
            out_ += static_cast<char>(c);
        } else if (c < 0x20) {
            out_ += "\\u00";
            out_ += hex[c >> 4];
            out_ += hex[c & 15];
        } else {
            out_ += static_cast<char>(c);
        }
    }
    out_ += '"';
    return *this;
}

JsonWriter& JsonWriter::Number(double value) {
    BeforeValue();
    out_ += std::isfinite(value) ? FormatNumber(value) : "null";
    return *this;
}

JsonWriter& JsonWriter::Integer(std::int64_t value) {
    BeforeValue();
    out_ += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    BeforeValue();
    out_ += value ? "true" : "false";
    return *this;
}

} // namespace sepmet::audit
