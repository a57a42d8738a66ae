// Bresenham-style spreading of count marks over size entries.
#include "Moire/SpreadTable.h"

#include <cstddef>
#include <numeric>

void MakeSpreadCountTable(std::vector<uint16_t>& table, int32_t count, int32_t size) {
    if (size <= 0)
        throw -2;
    if (count < 0)
        throw -1;
    table.assign(static_cast<size_t>(size), 0);
    const int64_t n = size;
    const int64_t m = count;
    if (n > m) {
        int64_t a = 0;
        int64_t b = 0;
        for (int64_t i = 0; i < n; ++i) {
            a += m - 1;
            if (a - b >= n - m) {
                table[i] = 1;
                b += n - 1;
            }
        }
        if (n >= 2 * m)
            ++table[n - 1];
    } else if (n == m) {
        table.assign(static_cast<size_t>(size), 1);
    } else {
        int64_t a = 0;
        int64_t b = 0;
        size_t k = 0;
        for (int64_t out = 0; out < m && k < table.size(); ++out) {
            a += n - 1;
            ++table[k];
            if (a - b >= m - n) {
                b += m - 1;
                ++k;
            }
        }
    }
    if (std::accumulate(table.begin(), table.end(), int64_t{0}) != m)
        throw -1;
}
