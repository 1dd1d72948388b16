#include "session/condition_text.h"

#include "platform/number_text.h"

#include <cmath>

namespace sepmet {
namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool IsSpace(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r') || c == u'\u00a0' || c == u'\u3000' ||
           (c >= u'\u2000' && c <= u'\u200a') || c == u'\u2028' || c == u'\u2029' ||
           c == u'\u202f' || c == u'\u205f' || c == u'\u0085' || c == u'\u1680';
}

std::u16string_view Trimmed(std::u16string_view text) {
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// Sign, digits with at most one decimal separator (at least one digit), optional exponent.
bool IsDecimalNumber(std::u16string_view text) {
    std::size_t i = 0;
    auto digits = [&] {
        const std::size_t start = i;
        while (i < text.size() && IsDigit(text[i]))
            ++i;
        return i - start;
    };
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    std::size_t mantissa = digits();
    if (i < text.size() && (text[i] == u',' || text[i] == u'.')) {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        if (digits() == 0)
            return false;
    }
    return i == text.size();
}

} // namespace

std::u16string_view ConditionKey(ConditionField field) {
    switch (field) {
    case ConditionField::vW:
        return u"vW";
    case ConditionField::vG:
        return u"vG";
    case ConditionField::rhoG:
        return u"rhoG";
    case ConditionField::atmP:
        return u"atmP";
    case ConditionField::gasT:
        return u"gasT";
    }
    return {};
}

double& ConditionValue(MeasurementSettings& settings, ConditionField field) {
    switch (field) {
    case ConditionField::vW:
        return settings.vW;
    case ConditionField::vG:
        return settings.vG;
    case ConditionField::rhoG:
        return settings.rhoG;
    case ConditionField::atmP:
        return settings.atmP;
    case ConditionField::gasT:
        break;
    }
    return settings.gasT;
}

double ConditionValue(const MeasurementSettings& settings, ConditionField field) {
    return ConditionValue(const_cast<MeasurementSettings&>(settings), field);
}

std::optional<double> ParseConditionText(std::u16string_view text) {
    text = Trimmed(text);
    if (!IsDecimalNumber(text))
        return std::nullopt;
    std::u16string comma(text);
    for (char16_t& c : comma)
        if (c == u'.')
            c = u',';
    std::size_t consumed = 0;
    const std::optional<double> value = ParseDecimalCommaPrefix(comma, &consumed);
    if (!value || consumed != comma.size() || !std::isfinite(*value))
        return std::nullopt;
    return value;
}

ConditionCheck CheckConditionTexts(const ConditionTexts& texts) {
    ConditionCheck check;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const ConditionField field = kConditionFields[i];
        if (Trimmed(texts[i]).empty()) {
            check.refused.push_back({field, RefusedCondition::Reason::Empty});
            continue;
        }
        const std::optional<double> value = ParseConditionText(texts[i]);
        if (!value)
            check.refused.push_back({field, RefusedCondition::Reason::NotNumber});
        else
            ConditionValue(check.values, field) = *value;
    }
    return check;
}

ConditionTexts ConditionDisplayTexts(const MeasurementSettings& settings) {
    return {FormatFixed(settings.vW, 3), FormatFixed(settings.vG, 3), FormatFixed(settings.rhoG, 3),
            FormatFixed(settings.atmP, 3), FormatFixed(settings.gasT, 1)};
}

} // namespace sepmet
