// Processor-feature tests for the vector paths, asked once and cached. The vector paths exist only for x86
// processors; on any other the features read as absent and the portable paths run.
#include "OvkCpuFeature.h"

namespace {
#if defined(__x86_64__) || defined(__i386__)
int HasMmx() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("mmx") ? 1 : 0;
}
int HasSse2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse2") ? 1 : 0;
}
#else
int HasMmx() {
    return 0;
}
int HasSse2() {
    return 0;
}
#endif
} // namespace

int IsMMXFeatureAvailable() {
    static const int available = HasMmx();
    return available;
}

int IsSSE2FeatureAvailable() {
    static const int available = HasSse2();
    return available;
}
