// Where the data source keeps its settings: the preferences file named after its bundle identifier,
// "$XDG_CONFIG_HOME/com.orvikElectronics.k3100.plist", and the keys it and its dialog use there.
#pragma once

#include <filesystem>

inline constexpr char kDSBundleIdentifier[] = "com.orvikElectronics.k3100";

inline constexpr char kPrefCapData[] = "CapData";
inline constexpr char kPrefCapDataVersion[] = "CapDataVersion"; // decimal text
inline constexpr char kPrefFavoriteSettings[] = "FavoriteSettings";
inline constexpr char kPrefCustomPapers[] = "CustomPapers";
inline constexpr char kPrefUserGammaDatas[] = "UserGammaDatas";

std::filesystem::path DataSourcePreferencesPath();
