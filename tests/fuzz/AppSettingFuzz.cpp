// The helper's reading of "QS_AppSetting", a record another program wrote.
#include "AppSettingRecord.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tapwell::decodeAppSetting({data, size});
    return 0;
}
