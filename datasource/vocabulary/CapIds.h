// Identifiers of the data source's own capabilities. Lengths of the scan area are in 1/1200 inch.
#pragma once

#include "twain.h"

constexpr TW_UINT16 CCAP_OVKM_PAPERSIZE = 0x8400;
constexpr TW_UINT16 CCAP_OVKM_SCANAREA_X = 0xA000;
constexpr TW_UINT16 CCAP_OVKM_SCANAREA_Y = 0xA001;
constexpr TW_UINT16 CCAP_OVKM_SCANAREA_WIDTH = 0xA002;
constexpr TW_UINT16 CCAP_OVKM_SCANAREA_HEIGHT = 0xA003;

// Capability lengths are stored in 1/1200 inch.
constexpr float kCapLengthUnitsPerInch = 1200.0f;
