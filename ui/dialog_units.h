#pragma once
// Dialog templates are laid out in dialog units. As the dialog manager does, one horizontal
// unit is a quarter of the dialog font's average character width and one vertical unit an
// eighth of its height. The dialog font is the application's font: the desktop's choice takes
// the place of "MS Shell Dlg" 8 pt, and every template scales with it.

#include <QFont>
#include <QRect>
#include <QSize>

namespace sepmet {

class DialogUnits {
public:
    // Base units of `font`: average width of the 52 Latin letters, rounded, and the height.
    explicit DialogUnits(const QFont& font);
    // Explicit base units (tests).
    DialogUnits(int baseX, int baseY) : baseX_(baseX), baseY_(baseY) {}

    int X(int units) const; // horizontal units to pixels, rounded as MulDiv does
    int Y(int units) const; // vertical units to pixels
    QRect ToPixels(int x, int y, int width, int height) const;
    QSize ToPixels(QSize units) const;
    // A width in pixels meant for the template font "MS Shell Dlg" 8 pt (6 pixels base width),
    // scaled to this font, so that column titles fit as they were meant to.
    int ScaleTemplatePixels(int pixels) const;

    int baseX() const { return baseX_; }
    int baseY() const { return baseY_; }

private:
    int baseX_;
    int baseY_;
};

// The base units of the application's font.
const DialogUnits& ApplicationDialogUnits();

} // namespace sepmet
