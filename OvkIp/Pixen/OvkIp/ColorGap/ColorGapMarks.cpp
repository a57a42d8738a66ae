// Mark rows of the colour-gap corrector; the plain per-mark forms are the reference in the tests.
#include "ColorGap/ColorGapMarks.h"

namespace {
// First x in [x, end) with a mark, or end.
int32_t NextMark(const uint8_t* m, int32_t x, int32_t end) {
    while (x + 8 <= end && NoMarks8(m, x))
        x += 8;
    while (x < end && m[x] == 0)
        ++x;
    return x;
}
} // namespace

void SideCheckRow(uint8_t* m, int32_t w) {
    bool marked = m[0] != 0;
    for (int32_t x = 1; x < w - 1; ++x) {
        if (!marked) {
            x = NextMark(m, x, w - 1);
            if (x >= w - 1)
                break;
        }
        if ((m[x] != 0) == marked)
            continue;
        if (m[x] != 0) {
            if (m[x + 1] != 0) {
                marked = true;
                ++x;
                continue;
            }
            if (x >= w - 2) {
                m[x] = 0;
                break;
            }
            if (m[x + 2] != 0) {
                m[x + 1] = 1;
                marked = true;
            } else {
                m[x] = 0;
            }
            x += 2;
        } else {
            if (m[x + 1] != 0)
                m[x] = 1;
            else
                marked = false;
            ++x;
        }
    }
    if (!marked)
        m[w - 1] = 0;
}
