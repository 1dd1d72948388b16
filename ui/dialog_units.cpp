#include "ui/dialog_units.h"

#include <QApplication>
#include <QFontMetrics>
#include <algorithm>

namespace sepmet {
namespace {

// MulDiv(value, numerator, denominator), rounded half away from zero.
int MulDiv(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}

} // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    static const QString letters =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    baseX_ = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    baseY_ = metrics.height();
    if (baseX_ < 1)
        baseX_ = 1;
    if (baseY_ < 1)
        baseY_ = 1;
}

int DialogUnits::X(int units) const {
    return MulDiv(units, baseX_, 4);
}

int DialogUnits::ScaleTemplatePixels(int pixels) const {
    constexpr int kTemplateBaseX = 6;
    return std::max(pixels, MulDiv(pixels, baseX_, kTemplateBaseX));
}

int DialogUnits::Y(int units) const {
    return MulDiv(units, baseY_, 8);
}

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
    return QRect(X(x), Y(y), X(width), Y(height));
}

QSize DialogUnits::ToPixels(QSize units) const {
    return QSize(X(units.width()), Y(units.height()));
}

const DialogUnits& ApplicationDialogUnits() {
    static const DialogUnits units(QApplication::font());
    return units;
}

} // namespace sepmet
