// A stand-in data source for the binding tests: each call reports one more press.
#include <cstdint>

extern "C" __attribute__((visibility("default"))) int GetQSButtonStatus(std::uint32_t* status,
                                                                        std::uint32_t* locationId) {
    static std::uint32_t calls = 0;
    *status = ++calls;
    *locationId = 0x1234;
    return 0;
}
