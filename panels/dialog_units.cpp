#include "panels/dialog_units.h"

#include <QFont>
#include <QFontMetrics>
#include <cstdint>
#include <limits>

namespace panels {

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    // Each letter's own advance, without kerning between neighbours.
    int letters = 0;
    for (char16_t c = u'A'; c <= u'Z'; ++c) {
        letters += metrics.horizontalAdvance(QChar(c)) +
                   metrics.horizontalAdvance(QChar(static_cast<char16_t>(c + u'a' - u'A')));
    }
    // The width of 52 letters: halved after dividing by 26, with the half rounded up.
    return {(letters / 26 + 1) / 2, metrics.height()};
}

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    std::int64_t magnitude = product < 0 ? -product : product;
    const std::int64_t divisor = denominator < 0 ? -static_cast<std::int64_t>(denominator)
                                                 : static_cast<std::int64_t>(denominator);
    magnitude = (magnitude + divisor / 2) / divisor;
    const bool negative = (product < 0) != (denominator < 0);
    const std::int64_t result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min()) {
        return -1;
    }
    return static_cast<int>(result);
}

int DialogX(const DialogBaseUnits& base, int units) {
    return MulDiv(units, base.x, 4);
}

int DialogY(const DialogBaseUnits& base, int units) {
    return MulDiv(units, base.y, 8);
}

QRect DialogRect(const DialogBaseUnits& base, int x, int y, int width, int height) {
    return {DialogX(base, x), DialogY(base, y), DialogX(base, width), DialogY(base, height)};
}

}  // namespace panels
