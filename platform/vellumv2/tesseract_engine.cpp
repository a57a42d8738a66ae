// Data folder and engine start. Packs are checked as files first, so that a missing one is a clear
// error code and Tesseract never gets to complain on the terminal about it.
#include "tesseract_engine.h"

#include "vellumv2.h"

#include <algorithm>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <mutex>
#include <tesseract/baseapi.h>

namespace vlm {
namespace {

std::mutex pathLock;
std::string customPath;

struct LanguageBit {
    uint32_t bit;
    const char* pack;
};
constexpr LanguageBit kLanguages[] = {
    {VLM_LANG_JAPANESE, "jpn"}, {VLM_LANG_ENGLISH, "eng"}, {VLM_LANG_CHINESE, "chi_sim"},
    {VLM_LANG_FRENCH, "fra"},   {VLM_LANG_ITALIAN, "ita"}, {VLM_LANG_GERMAN, "deu"},
    {VLM_LANG_SPANISH, "spa"},  {VLM_LANG_DUTCH, "nld"},
};
constexpr uint32_t kKnownBits = 0xFF;

std::string systemDataPath() {
    if (const char* prefix = std::getenv("TESSDATA_PREFIX"); prefix != nullptr && *prefix != '\0')
        return prefix;
    // Debian and Ubuntu keep the packs per major version; older releases used "4.00".
    for (const char* candidate :
         {"/usr/share/tesseract-ocr/5/tessdata", "/usr/share/tesseract-ocr/4.00/tessdata",
          "/usr/share/tessdata", "/usr/local/share/tessdata"}) {
        std::error_code error;
        if (std::filesystem::is_directory(candidate, error))
            return candidate;
    }
    return "/usr/share/tesseract-ocr/5/tessdata";
}

// True when folder holds the pack of every language of "jpn+eng".
bool holdsPacks(const std::string& folder, const std::string& languages) {
    size_t start = 0;
    while (start <= languages.size()) {
        const size_t end = std::min(languages.find('+', start), languages.size());
        const std::filesystem::path pack =
            std::filesystem::path(folder) / (languages.substr(start, end - start) + ".traineddata");
        std::error_code error;
        if (!std::filesystem::is_regular_file(pack, error))
            return false;
        start = end + 1;
    }
    return true;
}

} // namespace

void setDataPath(const char* path) {
    std::lock_guard lock(pathLock);
    customPath = path != nullptr ? path : "";
}

std::string dataPath() {
    std::lock_guard lock(pathLock);
    return customPath.empty() ? systemDataPath() : customPath;
}

std::string dataPathFor(const std::string& languages) {
    const std::string folder = dataPath();
    return holdsPacks(folder, languages) ? folder : systemDataPath();
}

bool packsFound(const std::string& languages) {
    return holdsPacks(dataPathFor(languages), languages);
}

std::string languagesOfMask(uint32_t mask, uint32_t flags) {
    if (mask == 0 || (mask & ~kKnownBits) != 0)
        return "";
    std::string languages;
    for (const LanguageBit& language : kLanguages) {
        if ((mask & language.bit) == 0)
            continue;
        if (!languages.empty())
            languages += '+';
        const bool traditional = language.bit == VLM_LANG_CHINESE && (flags & VLM_FLAG_TRADITIONAL_CHINESE);
        languages += traditional ? "chi_tra" : language.pack;
    }
    return languages;
}

// Tesseract's OpenMP loops ask for up to ten threads each, and those threads spin while they wait: on a
// busy machine one page took minutes instead of a second and a half. Allowing no active parallel level
// runs every loop on the calling thread; throughput comes from recognising pages side by side instead.
// The runtime keeps this setting per thread, so each thread sets it for itself. The runtime is the one
// Tesseract was linked with, looked up among the loaded libraries, so that no second one comes in.
void recogniseOnThisThreadOnly() {
    thread_local bool confined = false;
    if (confined)
        return;
    confined = true;
    using SetMaxActiveLevels = void (*)(int);
    static const SetMaxActiveLevels setMaxActiveLevels = [] {
        void* const runtime = dlopen("libgomp.so.1", RTLD_NOW | RTLD_NOLOAD);
        return runtime != nullptr
                   ? reinterpret_cast<SetMaxActiveLevels>(dlsym(runtime, "omp_set_max_active_levels"))
                   : nullptr;
    }();
    if (setMaxActiveLevels != nullptr)
        setMaxActiveLevels(0);
}

void TessDeleter::operator()(tesseract::TessBaseAPI* api) const {
    const std::unique_ptr<tesseract::TessBaseAPI> owned(api);
    owned->End();
}

int32_t startEngine(const std::string& folder, const std::string& languages, Engine& engine) {
    engine.reset();
    if (!holdsPacks(folder, languages))
        return VLM_ERR_LANGUAGE;
    recogniseOnThisThreadOnly();
    engine.reset(std::make_unique<tesseract::TessBaseAPI>().release());
    // Tesseract's diagnostics would go to stderr; a library stays quiet.
    engine->SetVariable("debug_file", "/dev/null");
    const std::string withSlash = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    if (engine->Init(withSlash.c_str(), languages.c_str()) != 0) {
        engine.reset();
        return VLM_ERR_LANGUAGE;
    }
    // Orientation detection reads a zone file named after the input image, and a FIFO of that name
    // would hold the page up for good. With no name given the file is "noname" in the current folder,
    // where anyone may have put one; below /dev/null nothing can lie.
    engine->SetInputName("/dev/null/page.tif");
    return VLM_OK;
}

} // namespace vlm
