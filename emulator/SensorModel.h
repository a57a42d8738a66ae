// The optics and analogue front end of the emulated scanner: dark level from the offset and gain
// registers, lamp light per colour and resolution, the lamps' unevenness across the sensor and the white
// calibration strip. The formulas are the inverse of the ones the lamp calibration uses, so a correct
// calibration converges in its seven steps.
#pragma once

#include "WirePayloads.h"

#include <cstdint>

namespace k3100::emu {

inline constexpr int kSensorWidth1200 = 10208; // sensor width in 1/1200 inch
inline constexpr int kMaxLevel = 4095;         // 12-bit converter
inline constexpr double kPaperWhite = 0.94;    // reflectance of white paper as the light curve normalises it
// Reflectance of the feeder's light grey backing behind the paper: light enough that two-sided size
// detection, which takes only what is darker than 100 of 255 for an edge's shadow, never takes it.
inline constexpr double kBacking = 0.75;
inline constexpr double kShadow = 0.03; // the shadow a sheet's edge throws on the backing
// Depth of that shadow, 1/1200 inch (0.5 mm): under the 0.85 mm window in which size detection compares.
inline constexpr double kEdgeShadow1200 = 24;

// Which lamps light a side: all three, or as the drop-out / colour-enhancement setting of the side asks.
struct Lighting {
    usb::SAdjustInfo registers;
    uint8_t dropOut = 0; // 1-3: only that colour's lamp
    uint8_t enhance = 0; // 1-3: every lamp but that colour's
};

double darkLevel(const usb::SAdjustInfo& registers);
double amplification(const usb::SAdjustInfo& registers);
// Light reaching one sensor element per unit of lamp power, colour 0-2.
double lampResponse(int colour, int xResolution);
// Lamp unevenness across the sensor, 0.85 to 1.0; position 0..1 from the sensor's left end.
double illumination(int side, double position);
// Reflectance of the white calibration strip under sensor column `column` of `columns`.
double stripReflectance(int column, int columns);
bool lampLit(const Lighting& lighting, int colour);
// What the unit sends for a printed sample, relative to white paper. Sheets are sRGB pictures, whose
// codes follow a curve. Colour scans carry the light as the sensor measures it, which the host's colour
// matrix and its 1/2.2 curve expect; grey scans leave through the unit's own tone table and so keep the
// codes in proportion, as the host's grey and black-and-white curves expect.
double printResponse(uint8_t code, bool colour);

} // namespace k3100::emu
