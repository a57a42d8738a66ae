// Where the recognition data lies and how engines are made from it: the language mask of the callers
// becomes Tesseract's "jpn+eng" form, and every pack is looked for before Tesseract is started.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tesseract {
class TessBaseAPI;
}

namespace vlm {

// Process-wide data folder; "" or null restores the system's. Thread-safe.
void setDataPath(const char* path);
std::string dataPath();

// "jpn+eng" and so on for a mask of VLM_LANG_* bits; "" for an empty mask or unknown bits.
std::string languagesOfMask(uint32_t mask, uint32_t flags);

struct TessDeleter {
    void operator()(tesseract::TessBaseAPI* api) const;
};
using Engine = std::unique_ptr<tesseract::TessBaseAPI, TessDeleter>;

// Starts an engine for the languages ("osd" for orientation only) from `folder`. VLM_ERR_LANGUAGE when a
// pack is missing or does not load.
int32_t startEngine(const std::string& folder, const std::string& languages, Engine& engine);

} // namespace vlm
