#include "ui/grid_sort.h"

#include "data/unicode_maps.h"
#include "platform/number_text.h"

#include <QDateTime>
#include <QLocale>

namespace sepmet {
namespace {

double NumberOf(const QString& text) {
    const std::u16string_view units(reinterpret_cast<const char16_t*>(text.utf16()),
                                    static_cast<std::size_t>(text.size()));
    return ParseDecimalCommaPrefix(units).value_or(0);
}

QDateTime DateOf(const QString& text) {
    const QLocale locale = QLocale::system();
    for (QLocale::FormatType format : {QLocale::ShortFormat, QLocale::LongFormat}) {
        QDateTime when = locale.toDateTime(text, format);
        if (when.isValid())
            return when;
        const QDate date = locale.toDate(text, format);
        if (date.isValid())
            return date.startOfDay();
    }
    return {};
}

// Case-insensitive comparison unit by unit through the fold map («Ё» and «ё» are one letter).
int CompareFolded(const QString& a, const QString& b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = FoldUnit(a[i].unicode());
        const char16_t y = FoldUnit(b[i].unicode());
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace

bool CellLess(int kind, const QString& a, const QString& b) {
    switch (kind) {
    case GridSortKind::Number:
        return NumberOf(a) - NumberOf(b) < 0;
    case GridSortKind::Date: {
        const QDateTime x = DateOf(a);
        const QDateTime y = DateOf(b);
        return x.isValid() && y.isValid() && x < y;
    }
    default:
        return CompareFolded(a, b) < 0;
    }
}

} // namespace sepmet
