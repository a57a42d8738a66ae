// The identity strings by which applications find this data source; the desktop application's
// configuration holds the same three texts, so they change together.
#pragma once

inline constexpr char kDSManufacturer[] = "Orvik Electronics";
inline constexpr char kDSProductFamily[] = "Orvik K-3100 Driver";
inline constexpr char kDSProductName[] = "Orvik K-3100 TWAIN";
inline constexpr char kDSVersionInfo[] = "1.0";
