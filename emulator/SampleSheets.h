// The sample pages that ship with the emulator (printed text, a skewed page, a near-blank page with
// specks, a colour page), found in $K3100_EMULATOR_SAMPLES, the build tree or the installed data folder.
#pragma once

#include "Emulator.h"

#include <string>
#include <vector>

namespace k3100::emu {

inline constexpr const char* kSamplesEnv = "K3100_EMULATOR_SAMPLES";

std::string sampleDirectory();
// The sample files in name order; empty when the folder holds none.
std::vector<std::string> sampleFiles();
// Puts one sheet of each sample page in the feeder; false with `error` when there are none or one fails.
bool loadSampleSheets(Emulator& emulator, std::string& error);

} // namespace k3100::emu
