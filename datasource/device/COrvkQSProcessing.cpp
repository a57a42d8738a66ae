// The image-processing thread of one page: takes the oldest raw page, cuts it into bands of at most
// 2 MiB of raw data per side, runs each band through the page library (first, middle, last; a page that
// ended short gets its missing lines appended as backing) and queues the finished bands per side.
#include "COrvkQS.h"
#include "FilterRequest.h"

#include "ScannerErrors.h"

#include <algorithm>
#include <cstring>

namespace k3100 {
namespace {

constexpr auto kDataWait = std::chrono::milliseconds(100);

struct PageShape {
    uint32_t sides = 1;
    int32_t inSpp = 1;
    uint32_t offsetLines = 0;
    uint32_t bandLineWidth = 0; // pixels, all sides
    uint32_t rawLineBytes = 0;  // all sides
    uint64_t bandLimit = 0;
};

// What the page's untaken pieces hold right now.
struct Supply {
    uint64_t bytes = 0;
    bool complete = false; // the closing data piece is among them
    uint32_t error = 0;
    bool aborted = false;
};

Supply inspectPieces(const SPageData& page, uint64_t limit) {
    Supply s;
    for (const SScanData& piece : page.pieces) {
        if (piece.kind == SScanData::kAborted) {
            s.aborted = true;
            return s;
        }
        if (piece.kind == SScanData::kError) {
            s.error = piece.code;
            return s;
        }
        s.bytes += piece.byteCount - piece.taken;
        if (piece.code == SScanData::kLastPiece) {
            s.complete = true;
            return s;
        }
        if (s.bytes > limit)
            return s;
    }
    return s;
}

} // namespace

// One page's trip through the library; owned by the processing thread.
class PageProcessor {
public:
    PageProcessor(COrvkQS& device, std::shared_ptr<SPageData> page)
        : d(device), page(std::move(page)), params(device.params) {}
    ~PageProcessor();
    PageProcessor(const PageProcessor&) = delete;
    PageProcessor& operator=(const PageProcessor&) = delete;
    void run();

private:
    uint32_t waitForBand(uint32_t remaining, uint32_t& lines, uint32_t& appended);
    uint32_t copyBand(CImg& band, uint32_t lines);
    uint32_t runBand(CImg& band, uint32_t lines, uint32_t appended, uint32_t remaining, bool first);
    void queueSide(SImageData& side, SideRequest& request, std::unique_ptr<CImg> out);
    uint32_t fail(uint32_t error);

    COrvkQS& d;
    std::shared_ptr<SPageData> page;
    tagScanParam params; // this page's copy: its detected length must not leak into the host's record
    PageShape shape;
    std::unique_ptr<FilterRequest> request;
    bool libraryPage = false; // the library holds bands of this page: a band went in, the page's end did not
};

// However the page stops (abort, jam, library failure, no memory), the library must not keep its bands.
PageProcessor::~PageProcessor() {
    if (!libraryPage)
        return;
    std::lock_guard lock(d.libraryMutex);
    d.library.AbandonPage();
}

uint32_t PageProcessor::fail(uint32_t error) {
    if (error == kScanErrCancelled)
        d.abortState = 2;
    d.deviceError = error;
    return error;
}

uint32_t PageProcessor::waitForBand(uint32_t remaining, uint32_t& lines, uint32_t& appended) {
    std::unique_lock lock(page->mutex);
    for (;;) {
        const Supply s = inspectPieces(*page, shape.bandLimit);
        if (s.aborted)
            return fail(kScanErrCancelled);
        if (s.error != 0)
            return fail(s.error);
        const uint64_t whole = s.bytes / shape.rawLineBytes;
        const uint64_t maxLines = std::max<uint64_t>(1, shape.bandLimit / shape.rawLineBytes);
        lines = static_cast<uint32_t>(std::min<uint64_t>({remaining, whole, maxLines}));
        // Missing lines are appended only in the band that takes the page's last data.
        appended = (s.complete && whole <= maxLines && whole < remaining)
                       ? remaining - static_cast<uint32_t>(whole)
                       : 0;
        if (whole >= maxLines || s.complete || whole >= remaining)
            return lines + appended > 0 ? kScanOk : fail(kScanErrNoPage);
        if (d.processingStop || (d.abortState == 1 && !d.readerRunning))
            return fail(kScanErrCancelled);
        if (!d.readerRunning && page->pieces.size() == 0)
            return fail(kScanErrNoPage);
        page->arrived.wait_for(lock, kDataWait);
    }
}

uint32_t PageProcessor::copyBand(CImg& band, uint32_t lines) {
    band.createImg(static_cast<int32_t>(shape.bandLineWidth), static_cast<int32_t>(lines),
                   static_cast<int32_t>(shape.bandLineWidth), 8, shape.inSpp, 1,
                   static_cast<int32_t>(params.opticalXRes), static_cast<int32_t>(params.opticalYRes));
    if (band.isNull())
        return fail(kScanErrNoMemory);
    uint64_t wanted = uint64_t(lines) * shape.rawLineBytes;
    uint8_t* to = band.getImage();
    std::lock_guard lock(page->mutex);
    while (wanted > 0 && !page->pieces.empty()) {
        SScanData& piece = page->pieces.front();
        const uint32_t take =
            static_cast<uint32_t>(std::min<uint64_t>(wanted, piece.byteCount - piece.taken));
        std::memcpy(to, piece.buffer.get() + piece.taken, take);
        to += take;
        wanted -= take;
        piece.taken += take;
        d.bufferedBytes -= take;
        if (piece.taken < piece.byteCount)
            break;
        if (piece.code == SScanData::kLastPiece) {
            // The emptied last piece stays behind as the page's end mark.
            piece.buffer.reset();
            break;
        }
        page->pieces.pop_front(); // `piece` dangles from here on
    }
    d.notifyProgress();
    return kScanOk;
}

void PageProcessor::queueSide(SImageData& side, SideRequest& req, std::unique_ptr<CImg> out) {
    if (!out || out->isNull())
        return;
    const tagScanParam& p = params;
    const auto& outInfo = shape.sides == 2 ? request->duplex.OutImageInfo : request->simplex.OutImageInfo;
    uint32_t width = static_cast<uint32_t>(outInfo.lWidth) * (p.folio ? 2 : 1);
    uint32_t height = static_cast<uint32_t>(outInfo.lHeight);
    if (p.rotation == kRotate90 || p.rotation == kRotate270)
        std::swap(width, height);
    if (p.detectPageSize || p.recognizeDirection) {
        width = static_cast<uint32_t>(out->getWidth());
        height = static_cast<uint32_t>(out->getHeight());
    }
    uint32_t type = p.pixelMode;
    if (type == 128)
        type = out->getBps() == 1 ? 0 : out->getSpp() == 1 ? 1 : 2;
    std::lock_guard lock(side.mutex);
    side.width = width;
    side.height = height;
    side.pixelType = type;
    side.blank = req.isBlank();
    side.finalFiltered = false;
    side.described = true;
    side.timeStamp = page->timeStamp;
    if (side.blank)
        return;
    side.bytesPerLine = static_cast<uint32_t>(out->getSync());
    side.chunks.push_back({std::move(out), 0});
}

uint32_t PageProcessor::runBand(CImg& band, uint32_t lines, uint32_t appended, uint32_t remaining,
                                bool first) {
    auto frontOut = std::make_unique<CImg>();
    auto backOut = std::make_unique<CImg>();
    if (first) {
        const std::array<const CImg*, 4> refs{d.whiteFront.get(), d.blackFront.get(), d.whiteBack.get(),
                                              d.blackBack.get()};
        PageGeometry geometry{page->geometryA, page->geometryB, page->geometryC};
        request->fill(params, band, refs, geometry, d.protectImage, d.library);
    }
    const bool last = lines + appended >= remaining;
    const auto extra = static_cast<int32_t>(appended);
    ImageLibrary& lib = d.library;
    std::unique_lock libraryLock(d.libraryMutex);
    libraryPage = true;
    int32_t result;
    if (shape.sides == 1) {
        auto* r = &request->simplex;
        if (last && appended > 0)
            result = lib.FilterSimplexLastAppended(*frontOut, band, r, extra);
        else if (first && last)
            result = lib.FilterSimplex(*frontOut, band, r);
        else if (first)
            result = lib.FilterSimplexFirst(*frontOut, band, r);
        else
            result = last ? lib.FilterSimplexLast(*frontOut, band, r)
                          : lib.FilterSimplexMiddle(*frontOut, band, r);
    } else {
        auto* r = &request->duplex;
        if (last && appended > 0)
            result = lib.FilterDuplexLastAppended(*frontOut, *backOut, band, r, extra);
        else if (first && last)
            result = lib.FilterDuplex(*frontOut, *backOut, band, r);
        else if (first)
            result = lib.FilterDuplexFirst(*frontOut, *backOut, band, r);
        else
            result = last ? lib.FilterDuplexLast(*frontOut, *backOut, band, r)
                          : lib.FilterDuplexMiddle(*frontOut, *backOut, band, r);
    }
    libraryLock.unlock();
    if (result != 0)
        return fail(COrvkQS::libraryError(result));
    libraryPage = !last;
    band.deleteImg();
    queueSide(d.front, request->front, std::move(frontOut));
    if (shape.sides == 2)
        queueSide(d.back, request->back, std::move(backOut));
    d.notifyProgress();
    return kScanOk;
}

void PageProcessor::run() {
    tagScanParam& p = params;
    shape.sides = (p.duplex == 2 || p.folio) ? 2 : 1;
    shape.inSpp = p.channelMode == 2 ? 3 : 1;
    if (shape.sides == 2 && !p.detectPageSize)
        shape.offsetLines =
            static_cast<uint32_t>(std::abs(d.library.getOffset(static_cast<int32_t>(p.opticalYRes))));
    const uint32_t rawWidth = p.opticalXRes * 10208 / 1200;
    shape.bandLineWidth = rawWidth * shape.sides;
    shape.rawLineBytes = shape.bandLineWidth * static_cast<uint32_t>(shape.inSpp);
    shape.bandLimit = uint64_t(shape.sides) * d.limits.bandLimit;
    if (shape.rawLineBytes == 0) {
        fail(kScanErrIllegalRequest);
        return;
    }
    uint32_t remaining = shape.offsetLines + p.opticalLines;
    if (page->geometryA != 0) {
        if (p.detectPageSize) {
            p.opticalLines = static_cast<uint32_t>(uint64_t(page->geometryA) * p.opticalYRes / 1200);
            p.outLines = static_cast<uint32_t>(uint64_t(page->geometryB) * p.resolution / 1200);
            remaining = p.opticalLines;
        } else {
            p.outLines = static_cast<uint32_t>(std::max(0.0, double(p.resolution) * p.scanLength / 1200));
        }
    }
    request = std::make_unique<FilterRequest>();
    CImg band;
    for (bool first = true; remaining > 0; first = false) {
        uint32_t lines = 0, appended = 0;
        if (waitForBand(remaining, lines, appended) != kScanOk)
            return;
        if (lines > 0 && copyBand(band, lines) != kScanOk)
            return;
        if (runBand(band, lines, appended, remaining, first) != kScanOk)
            return;
        remaining -= std::min(remaining, lines + appended);
    }
}

void COrvkQS::ImageProcessing() {
    std::shared_ptr<SPageData> page;
    {
        std::lock_guard lock(pageListMutex);
        if (!pageList.empty()) {
            page = pageList.front();
            pageList.pop_front();
        }
    }
    {
        std::lock_guard lock(inProcessMutex);
        inProcessPage = page;
    }
    notifyProgress(); // the reader may go on to the next sheet
    try {
        if (page)
            PageProcessor(*this, page).run();
        else
            deviceError = kScanErrNoPage;
    } catch (const std::bad_alloc&) {
        deviceError = kScanErrNoMemory;
    }
    if (deviceError != 0)
        stopReader();
    if (page) {
        std::lock_guard lock(page->mutex);
        for (const SScanData& piece : page->pieces)
            bufferedBytes -= piece.byteCount - piece.taken;
        page->pieces.clear();
    }
    {
        std::lock_guard lock(inProcessMutex);
        inProcessPage.reset();
    }
    processingRunning = false;
    notifyProgress();
}

} // namespace k3100
