// Which source pixels (or lines) close an output pixel when a length is scaled: entries sum to the
// output length and are spread evenly, so every output pixel averages a similar run of input.
#pragma once

#include <cstdint>
#include <vector>

// size entries summing to count; throws -2 for a size of 0 and -1 when they cannot sum to count.
void MakeSpreadCountTable(std::vector<uint16_t>& table, int32_t count, int32_t size);
