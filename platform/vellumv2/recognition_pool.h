// Workers that recognise pages side by side: each owns one engine and runs it on its own thread alone, as
// many workers as the process may use cores, and no more than the free memory holds. Engines are started
// once for a folder and languages and kept for the next document.
#pragma once

#include "page_image.h"
#include "text_layer.h"

#include <cstdint>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <vector>

namespace vlm {

// An engine with its page in flight takes up to a few hundred megabytes (Japanese with English the most).
inline constexpr uint64_t kBytesPerWorker = uint64_t{400} << 20;
// What the rest of the scan holds meanwhile: a 300 dpi colour duplex batch peaks near 360 MB without text.
inline constexpr uint64_t kBytesBesideWorkers = uint64_t{512} << 20;

// Workers for a process that may use `cores` cores with `freeBytes` of memory free (none: not known).
// One per core: the scan, the encoding and the writing take about a tenth of a core a page against a
// second or more of recognition, so a core left to them would idle while pages wait. No more than the
// memory beside the rest of the scan holds, and at least one.
size_t recognitionWorkers(size_t cores, std::optional<uint64_t> freeBytes);

struct Recognition {
    int32_t result = VLM_OK; // VLM_ERR_OCR, or VLM_ERR_LANGUAGE when the worker's engine did not start
    std::vector<OcrWord> words;
};

class RecognitionPool {
public:
    static RecognitionPool& shared(); // never destroyed: Tesseract may be gone before its engines at exit

    // Has the workers' engines started for the languages from the folder, starting the workers first when
    // there are none; returns when the first engine is ready, VLM_ERR_LANGUAGE when it does not start.
    int32_t prepare(const std::string& folder, const std::string& languages);
    // Recognises the page with the engines last prepared, on the first worker free.
    std::future<Recognition> recognise(GreyImage page, int32_t resolution);
    // Forgets the pages no worker has taken yet: their futures end without a result (broken promise).
    void dropWaiting();
    // What a worker makes of a page taken from now on instead of reading it with its engine, for tests
    // that must decide when a page's text comes; null reads with the engine again. Called on the
    // worker's thread, never under the pool's lock.
    using PageReader = std::function<Recognition(const GreyImage& page, int32_t resolution)>;
    void setPageReader(PageReader reader);
    size_t workerCount() const { return workerCount_; }

    struct State; // the queue and the preparation, shared with the workers

private:
    RecognitionPool();
    const size_t workerCount_;
    State& state_;
};

} // namespace vlm
