// Locates and loads the sample pages. The build tree comes before the installed folder so an uninstalled
// build never picks up an older installation's pages.
#include "SampleSheets.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace k3100::emu {

std::string sampleDirectory() {
    if (const char* env = std::getenv(kSamplesEnv); env != nullptr && *env != '\0')
        return env;
    std::error_code ec;
    if (std::filesystem::is_directory(K3100_BUILD_SAMPLES_DIR, ec))
        return K3100_BUILD_SAMPLES_DIR;
    return K3100_INSTALLED_SAMPLES_DIR;
}

std::vector<std::string> sampleFiles() {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(sampleDirectory(), ec)) {
        const auto ext = entry.path().extension();
        if (entry.is_regular_file(ec) && (ext == ".tif" || ext == ".tiff" || ext == ".pgm" || ext == ".ppm"))
            files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool loadSampleSheets(Emulator& emulator, std::string& error) {
    const auto files = sampleFiles();
    if (files.empty()) {
        error = "no sample pages in " + sampleDirectory();
        return false;
    }
    for (const std::string& file : files) {
        const std::string reply = emulator.control("load " + file);
        if (reply != "ok") {
            error = reply;
            return false;
        }
    }
    return true;
}

} // namespace k3100::emu
