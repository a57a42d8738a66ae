// The host's own filter runs: the final filter over a kept side (after a prescan) and the live preview
// over a caller's buffer, both through the library's normal chain alone; plus the page error and the
// recogniser path. Levels are range-checked and 1-bit results are expanded within the caller's lines.
#include "COrvkQS.h"
#include "FilterRequest.h"

#include "ScannerErrors.h"

#include <algorithm>
#include <cstring>

namespace k3100 {
namespace {

constexpr uint32_t kNeutral = 128;

} // namespace

struct FinalFilterRecords {
    Ovk::Pixen::tagGRCINFO tone{};
    Ovk::Pixen::tagEMPHASISEDGEINFO edge{};
    Ovk::Pixen::tagGRAYTOBINARYINFO binary{};
    Ovk::Pixen::tagBLANKPAGEINFO blank{};
};

void COrvkQS::fillFinalFilter(Ovk::Pixen::tagNORMALFILTERSIMPLEXINFO& record, FinalFilterRecords& r,
                              const CImg& image, const FilterSettings& s) {
    record = {};
    record.ulSize = sizeof(record);
    record.InImageInfo = image.getInfo();
    record.OutImageInfo = image.getInfo();
    auto& block = record.NormalFilterInfo;
    block.ulSize = sizeof(block);
    const bool tables = s.gray || s.red || s.green || s.blue;
    r.tone.ulSize = sizeof(r.tone);
    r.tone.ucBrightness = static_cast<uint8_t>(s.brightness);
    r.tone.ucContrast = contrastForLevel(s.contrast, 0);
    const std::array<uint8_t*, 4> targets{r.tone.ucGray, r.tone.ucRed, r.tone.ucGreen, r.tone.ucBlue};
    const std::array<const std::optional<std::array<uint8_t, 256>>*, 4> sources{&s.gray, &s.red, &s.green,
                                                                                &s.blue};
    for (size_t i = 0; i < targets.size(); ++i) {
        if (*sources[i])
            std::copy((*sources[i])->begin(), (*sources[i])->end(), targets[i]);
        else
            for (int v = 0; v < 256; ++v)
                targets[i][v] = static_cast<uint8_t>(v);
    }
    block.pGRCInfo = &r.tone;
    if (s.edgeEmphasis != 0) {
        r.edge = {sizeof(r.edge), s.edgeEmphasis};
        block.pEmphasisEdgeInfo = &r.edge;
    }
    if (s.grayToBin >= 0) {
        const int32_t method = s.grayToBin == 1 ? 1 : s.grayToBin == 8 ? 8 : 0;
        uint32_t contrast = s.contrast == 0 ? kNeutral : contrastForLevel(s.contrast, kNeutral);
        if (method == 8) {
            contrast = static_cast<uint32_t>(s.contrast);
            r.tone.ucBrightness = r.tone.ucContrast = 0;
            if (!tables)
                block.pGRCInfo = nullptr;
        }
        r.binary = {sizeof(r.binary), method,
                    s.brightness == 0 ? kNeutral : static_cast<uint32_t>(s.brightness), contrast};
        block.pGrayToBinaryInfo = &r.binary;
        block.bInverse = s.inverse == 0;
        record.OutImageInfo.lBps = 1;
        record.OutImageInfo.lSpp = 1;
    }
    if (lowHalf(s.checkBlankPage) != 0) {
        r.blank = {sizeof(r.blank), static_cast<int32_t>(highHalf(s.checkBlankPage)), false};
        block.pBlankPageInfo = &r.blank;
    }
}

int COrvkQS::ApplyImageFilter(const FilterSettings& settings) {
    SImageData* side = currentImageData;
    if (side == nullptr)
        return 0;
    std::lock_guard lock(side->mutex);
    if (side->finalFiltered || side->chunks.empty())
        return 0;
    const CImg& firstChunk = *side->chunks.front().image;
    int32_t height = 0;
    for (const SImageChunk& chunk : side->chunks)
        height += chunk.image->getHeight();
    auto joined = std::make_unique<CImg>();
    joined->createImg(firstChunk.getWidth(), height, firstChunk.getSync(), firstChunk.getBps(),
                      firstChunk.getSpp(), 0, firstChunk.getXResolution(), firstChunk.getYResolution());
    if (joined->isNull())
        return static_cast<int>(kScanErrNoMemory);
    int32_t line = 0;
    for (const SImageChunk& chunk : side->chunks) {
        const auto bytes = static_cast<size_t>(std::min(chunk.image->getSync(), joined->getSync()));
        for (int32_t y = 0; y < chunk.image->getHeight(); ++y)
            std::memcpy(joined->getLine(line++), chunk.image->getLine(y), bytes);
    }
    side->chunks.clear();
    Ovk::Pixen::tagNORMALFILTERSIMPLEXINFO record{};
    FinalFilterRecords records;
    fillFinalFilter(record, records, *joined, settings);
    auto out = std::make_unique<CImg>();
    int32_t result;
    {
        std::lock_guard libraryLock(libraryMutex);
        result = library.NormalFilterSimplex(*out, *joined, &record);
    }
    if (result != 0)
        return static_cast<int>(kScanErrImageLibrary);
    side->bytesPerLine = static_cast<uint32_t>(out->getSync());
    side->blank = record.NormalFilterInfo.pBlankPageInfo != nullptr && records.blank.bBlankPage;
    side->finalFiltered = true;
    if (!side->blank)
        side->chunks.push_back({std::move(out), 0});
    return 0;
}

int COrvkQS::ApplyImageFilter(uint8_t* pixels, int32_t width, int32_t height, int32_t lineBytes, int32_t bits,
                              int32_t samples, const FilterSettings& settings) {
    if (pixels == nullptr || width <= 0 || height <= 0 || bits != 8 || (samples != 1 && samples != 3) ||
        lineBytes < CImg::calcMinSync(width, bits, samples, 0))
        return static_cast<int>(kScanErrIllegalRequest);
    CImg image;
    image.createImg(width, height, bits, samples, 0);
    if (image.isNull())
        return static_cast<int>(kScanErrNoMemory);
    for (int32_t y = 0; y < height; ++y)
        std::memcpy(image.getLine(y), pixels + size_t(y) * lineBytes, static_cast<size_t>(image.getSync()));
    Ovk::Pixen::tagNORMALFILTERSIMPLEXINFO record{};
    FinalFilterRecords records;
    FilterSettings preview = settings;
    preview.checkBlankPage = 0;
    fillFinalFilter(record, records, image, preview);
    CImg out;
    int32_t result;
    {
        std::lock_guard libraryLock(libraryMutex);
        result = library.NormalFilterSimplex(out, image, &record);
    }
    if (result != 0 || out.isNull())
        return static_cast<int>(kScanErrImageLibrary);
    const int32_t lines = std::min(height, out.getHeight());
    for (int32_t y = 0; y < lines; ++y) {
        uint8_t* to = pixels + size_t(y) * lineBytes;
        const uint8_t* from = out.getLine(y);
        if (out.getBps() == 1) {
            // One byte a pixel, but never past the caller's line.
            const int32_t count = std::min({out.getWidth(), lineBytes, width * samples});
            for (int32_t x = 0; x < count; ++x)
                to[x] = (from[x / 8] & (0x80 >> (x % 8))) ? 0xFF : 0x00;
        } else {
            std::memcpy(to, from, static_cast<size_t>(std::min(lineBytes, out.getSync())));
        }
    }
    return 0;
}

uint32_t COrvkQS::GetPageError() {
    std::shared_ptr<SPageData> page;
    {
        std::lock_guard lock(inProcessMutex);
        page = inProcessPage;
    }
    if (!page)
        return 0;
    std::lock_guard lock(page->mutex);
    for (const SScanData& piece : page->pieces)
        if (piece.kind == SScanData::kError)
            return piece.code;
    return 0;
}

void COrvkQS::SetOcrPath(const char* path) {
    if (path == nullptr)
        return;
    std::lock_guard lock(libraryMutex);
    library.setOcrPath(path);
}

bool COrvkQS::CanDetectTextDirection() {
    std::lock_guard lock(libraryMutex);
    return library.checkTextDirection() == 0;
}

} // namespace k3100
