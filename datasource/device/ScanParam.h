// The scan parameter record: built by the scan control from the capabilities, copied whole by the device
// object, which fills in the optical values at the start of a batch and the delivered side's values per
// page. Lengths are in 1/1200 inch, resolutions in dots per inch.
#pragma once

#include <cstdint>

struct tagScanParam {
    std::uint32_t resolution; // output resolution, X = Y
    float leftOffset;
    float topOffset;
    float scanWidth;
    float scanLength;
    std::uint32_t outWidth;     // pixels of the delivered side (set per page)
    std::uint32_t outLines;     // lines of the delivered side (set per page)
    std::uint32_t pixelMode;    // 0 black and white, 1 grey, 2 colour, 128 automatic colour detection
    std::uint32_t opticalXRes;  // set by StartScan: 300 or 600
    std::uint32_t opticalYRes;  // set by StartScan
    std::uint32_t opticalLines; // set by StartScan: raw lines of one side
    std::uint32_t channelMode;  // set by StartScan: 1 one channel, 2 three channels
    std::uint8_t batch;         // continuous feeding
    std::uint8_t detectPageSize;
    std::uint32_t duplex; // 2 both sides, 0 front only
    std::uint8_t doubleFeedLength;
    std::uint8_t doubleFeedUltrasonic;
    std::uint8_t jamless;
    std::uint8_t keepPrescan;
    std::uint32_t blankSkip; // on/off in the low half, slice in the high half
    std::uint8_t blankPage;  // set per page: the library judged the side blank
    std::uint8_t folio;      // folded sheet joined side by side
    std::uint32_t rotation;  // 1 none, 2 90 degrees, 3 180, 4 270
    std::uint8_t deskew;
    std::uint32_t dropOutFront;
    std::uint32_t dropOutBack;
    std::uint32_t colourEnhanceFront;
    std::uint32_t colourEnhanceBack;
    std::int32_t brightnessFront;
    std::int32_t brightnessBack;
    std::int32_t contrastFront;
    std::int32_t contrastBack;
    std::uint32_t textBrightness;
    std::uint32_t textContrast;
    std::uint32_t bleedThrough; // on/off in the low half, threshold in the high half
    std::uint8_t reverseScanType;
    std::uint32_t binarization; // 0 threshold, 1 error diffusion, 2 text enhancement
    std::uint32_t autoColourThreshold;
    std::uint32_t autoColourAmount;
    std::uint32_t outPixelType; // set per page: 0 black and white, 1 grey, 2 colour
    std::uint32_t edgeEmphasis; // level in the high half, 1 in the low half
    std::uint32_t reduceMoire;  // low half on/off, high half mode - 1
    std::uint32_t recognizeDirection;
    std::uint8_t toneTables[8][256]; // front grey, red, green, blue, then the back's
};

namespace k3100 {

// pixelMode (and outPixelType, without the automatic detection).
inline constexpr std::uint32_t kPixelModeBlackWhite = 0;
inline constexpr std::uint32_t kPixelModeGrey = 1;
inline constexpr std::uint32_t kPixelModeColour = 2;
inline constexpr std::uint32_t kPixelModeAutoColour = 128;
// binarization
inline constexpr std::uint32_t kBinarizeThreshold = 0;
inline constexpr std::uint32_t kBinarizeErrorDiffusion = 1;
inline constexpr std::uint32_t kBinarizeText = 2;
// rotation
inline constexpr std::uint32_t kRotateNone = 1;
inline constexpr std::uint32_t kRotate90 = 2;
inline constexpr std::uint32_t kRotate180 = 3;
inline constexpr std::uint32_t kRotate270 = 4;

inline std::uint32_t lowHalf(std::uint32_t v) {
    return v & 0xFFFFu;
}
inline std::uint32_t highHalf(std::uint32_t v) {
    return v >> 16;
}

} // namespace k3100
