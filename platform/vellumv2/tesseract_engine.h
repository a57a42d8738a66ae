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
// The folder to start an engine for the languages from when the system's may stand in: the folder set
// above when it holds every pack, else the system's. The orientation model ("osd") is looked for so,
// since callers point the path at their recognition packs, which seldom include it.
std::string dataPathFor(const std::string& languages);
// True when the packs of the languages lie in the folder dataPathFor chooses.
bool packsFound(const std::string& languages);

// "jpn+eng" and so on for a mask of VLM_LANG_* bits; "" for an empty mask or unknown bits.
std::string languagesOfMask(uint32_t mask, uint32_t flags);

struct TessDeleter {
    void operator()(tesseract::TessBaseAPI* api) const;
};
using Engine = std::unique_ptr<tesseract::TessBaseAPI, TessDeleter>;

// Keeps Tesseract's parallel loops on the calling thread. Every thread calls it before it first starts or
// uses an engine; the engine functions here do so themselves.
void recogniseOnThisThreadOnly();

// Starts an engine for the languages ("osd" for orientation only) from `folder`. VLM_ERR_LANGUAGE when a
// pack is missing or does not load.
int32_t startEngine(const std::string& folder, const std::string& languages, Engine& engine);

} // namespace vlm
