// Conversions between the long and short exact fractions.
#include "Blank/Rational.h"

tagLONGRAT ToLONGRAT(tagSHORTRAT r) {
    return {r.numerator, r.denominator};
}

tagSHORTRAT ToSHORTRAT(tagLONGRAT r) {
    int32_t n = r.numerator;
    int32_t d = r.denominator;
    if (!(d >= 0 && d <= 32767 && static_cast<uint32_t>(n) < 32768u)) {
        // A negative denominator never fits; 31 shifts reduce anything to 0 or -1.
        for (int shifts = 0; shifts < 32; ++shifts) {
            n >>= 1;
            d >>= 1;
            if (d >= 0 && d <= 32767 && n <= 32767)
                break;
        }
    }
    return {static_cast<int16_t>(n & 0xFFFF), static_cast<int16_t>(d & 0xFFFF)};
}
