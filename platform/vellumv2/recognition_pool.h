// Workers that recognise pages side by side: each owns one engine and runs it on its own thread alone, as
// many workers as the process may use cores, less one for the caller that encodes and writes, and no more
// than the free memory holds. Engines are started once for a folder and languages and kept for the next
// document.
#pragma once

#include "page_image.h"
#include "text_layer.h"

#include <cstdint>
#include <future>
#include <string>
#include <vector>

namespace vlm {

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
    size_t workerCount() const { return workerCount_; }

    struct State; // the queue and the preparation, shared with the workers

private:
    RecognitionPool();
    const size_t workerCount_;
    State& state_;
};

} // namespace vlm
