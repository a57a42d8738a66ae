// The page writers' reader: a page record as the page list keeps it (any value under any of its keys)
// and a raw file of any length in the temporary folder, then the turns and the forms the outputs want.
#include "ImgInfoKeys.h"
#include "TlvOutputFailure.h"
#include "TlvPageRaster.h"
#include "TlvUtilsMethod.h"

#include <cstdlib>
#include <fstream>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

fnd::Value fuzzedValue(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0:
        return fnd::Value(in.ConsumeIntegralInRange<std::int64_t>(-2, 70000));
    case 1:
        return fnd::Value(in.ConsumeIntegral<std::int64_t>());
    case 2:
        return fnd::Value(in.ConsumeFloatingPoint<double>());
    case 3:
        return fnd::Value(in.ConsumeRandomLengthString(12));
    case 4:
        return fnd::Value(in.ConsumeBool());
    default:
        return fnd::Value();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool folder = TlvUtilsMethod::createTmpFolder();
    if (!folder)
        std::abort();
    FuzzedDataProvider in(data, size);
    fnd::Dictionary record{{ImgInfo_NameKey, TlvUtilsMethod::tmpBaseImageFileName(0)},
                           {ImgInfo_bppKey, in.PickValueInArray({1, 8, 24})},
                           {ImgInfo_WidthKey, in.ConsumeIntegralInRange(1, 300)},
                           {ImgInfo_HeightKey, in.ConsumeIntegralInRange(1, 300)},
                           {ImgInfo_XResKey, 300},
                           {ImgInfo_YResKey, 300},
                           {ImgInfo_RotateKey, in.ConsumeIntegralInRange(0, 3)}};
    for (const char* key : {ImgInfo_NameKey, ImgInfo_bppKey, ImgInfo_WidthKey, ImgInfo_HeightKey,
                            ImgInfo_XResKey, ImgInfo_YResKey, ImgInfo_RotateKey})
        if (in.ConsumeIntegralInRange(0, 7) == 0)
            record.set(key, fuzzedValue(in));
    const int turns = in.ConsumeIntegralInRange(0, 3);
    const std::string pixels = in.ConsumeRemainingBytesAsString();
    std::ofstream(TlvUtilsMethod::tmpBaseImageFilePath(0), std::ios::binary | std::ios::trunc)
        .write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    try {
        tlv::TlvPageImage page = tlv::readPageImage(record);
        tlv::rotateImageRep(page, turns);
        tlv::reversalImageBW(page);
        tlv::conversionRGBToBGRImage(page);
    } catch (const tlv::TlvOutputFailure&) {
    }
    return 0;
}
