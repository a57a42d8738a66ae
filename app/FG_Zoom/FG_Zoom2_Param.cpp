// Weight tables of the scaler, computed once per Open; 64-bit products keep large sizes exact.
#include "FG_Zoom2_Param.h"

void FG_ZoomEnlargeParams(FG_Zoom2_Param* table, std::int32_t n, std::int32_t m) {
    if (m == 1) {
        for (std::int32_t i = 0; i < n; ++i)
            table[i] = {0, 1, 0, 0, 0, 1, 0};
        table[0].runOrLast = n;
        return;
    }
    if (m == n) {
        for (std::int32_t i = 0; i < n; ++i)
            table[i] = {i, 1, 0, 0, 0, 1, 1};
        return;
    }
    const std::int64_t d = n - 1;
    const std::int64_t s = m - 1;
    std::int32_t runStart = 0;
    for (std::int32_t i = 0; i < n; ++i) {
        auto q = static_cast<std::int32_t>(i * s / d);
        auto r = static_cast<std::int32_t>(i * s % d);
        // An exact hit past the start takes the pair ending on it, so the last entry uses S - 1 and S.
        if (i > 0 && r == 0) {
            --q;
            r = static_cast<std::int32_t>(d);
        }
        table[i] = {q, static_cast<std::int32_t>(d) - r, 0, r, 0, static_cast<std::int32_t>(d), 0};
        if (q != table[runStart].first)
            runStart = i;
        ++table[runStart].runOrLast;
    }
}

std::int32_t Shift_Coefficient(std::int32_t p, std::int32_t n) {
    const double h = n / 2.0;
    if (p == h)
        return p;
    if (p < h)
        return static_cast<std::int32_t>(static_cast<double>(p) * p / h);
    const double rest = n - p;
    return static_cast<std::int32_t>(n - rest * rest / h);
}

bool FG_ZoomReduceParams(FG_Zoom2_Param* table, std::int32_t n, std::int32_t m) {
    bool needsDouble = false;
    std::int32_t carried = 0; // raw weight of the partial position the previous box ended on
    for (std::int32_t i = 0; i < n; ++i) {
        const auto first = static_cast<std::int32_t>(static_cast<std::int64_t>(i) * m / n);
        const std::int32_t firstWeight = n - carried;
        const std::int32_t rest = m - firstWeight;
        const std::int32_t full = rest / n;
        carried = rest - full * n;
        const std::int32_t shaped = Shift_Coefficient(carried, n);
        const std::int64_t divisor =
            static_cast<std::int64_t>(shaped) + static_cast<std::int64_t>(full) * n + firstWeight;
        needsDouble = needsDouble || divisor >= 65536;
        table[i] = {first,
                    firstWeight,
                    first + full,
                    shaped,
                    carried,
                    static_cast<std::int32_t>(divisor),
                    first + full + (carried != 0 ? 1 : 0)};
    }
    return needsDouble;
}
