#pragma once
// Dialog units: the panels' layouts are given in units of their font, so they grow with it.
// A horizontal unit is a quarter of the font's average letter width, a vertical unit an eighth
// of its height.

#include <QRect>

class QFont;

namespace panels {

struct DialogBaseUnits {
    int x = 0;  // the average width of "A".."Z" and "a".."z", rounded
    int y = 0;  // the font's height
};

DialogBaseUnits BaseUnitsOf(const QFont& font);

// number x numerator / denominator in 64 bits, rounded half away from zero; -1 when the
// denominator is 0 or the result does not fit in an int.
int MulDiv(int number, int numerator, int denominator);

// Dialog units to pixels.
int DialogX(const DialogBaseUnits& base, int units);
int DialogY(const DialogBaseUnits& base, int units);
QRect DialogRect(const DialogBaseUnits& base, int x, int y, int width, int height);

}  // namespace panels
