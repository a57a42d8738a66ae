// Highest heap use of the benchmark process: malloc and its relatives are counted here, so peak memory
// per page covers the library's buffers as well as ours, whatever allocator call made them.
#pragma once

#include <cstdint>

namespace HeapPeak {
// Bytes now in use; restarts the peak from here.
int64_t Restart();
// Highest bytes in use since the last Restart.
int64_t Peak();
} // namespace HeapPeak
