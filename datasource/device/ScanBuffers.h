// Raw and finished data between the reader thread, the image-processing thread and the host: raw pieces
// per page as the scanner sent them, and finished bands per side. Each list has its own mutex; the device
// object never holds two of them at once.
#pragma once

#include "CImg.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

namespace k3100 {

// One raw piece, or the empty piece that ends a page.
struct SScanData {
    enum Kind : uint32_t { kData = 0, kAborted = 1, kError = 2 };
    static constexpr uint32_t kLastPiece = 0x10000000; // code of the piece that ends a page normally

    uint32_t byteCount = 0;
    uint32_t taken = 0; // bytes the image-processing thread has already copied out
    std::unique_ptr<uint8_t[]> buffer;
    uint32_t kind = kData;
    uint32_t code = 0; // kLastPiece for data, the error for kError
};

// One page with both sides interleaved. The reader appends pieces and notifies `arrived`.
struct SPageData {
    std::mutex mutex;
    std::condition_variable arrived;
    std::deque<SScanData> pieces;
    uint32_t geometryA = 0; // scanned length, 1/1200 inch (only when sizing or deskewing)
    uint32_t geometryB = 0; // document length
    std::array<uint32_t, 4> geometryC{};
    double timeStamp = 0; // s, when the reader started the page
};

// A finished band and how much of it the host has read.
struct SImageChunk {
    std::unique_ptr<Ovk::Pixen::CImg> image;
    uint32_t delivered = 0; // bytes
};

// One side's finished output.
struct SImageData {
    std::mutex mutex;
    uint32_t bytesPerLine = 0;
    uint32_t pixelType = 0; // 0 black and white, 1 grey, 2 colour
    uint32_t width = 0;
    uint32_t height = 0;
    bool blank = false;
    bool finalFiltered = false; // the host's final filter ran on it
    bool described = false;     // width, height and type are known (the first band has been queued)
    std::deque<SImageChunk> chunks;
    double timeStamp = 0;

    void clear() {
        std::lock_guard lock(mutex);
        chunks.clear();
        described = false;
    }
};

} // namespace k3100
