// The document session. All state sits behind one lock: the callers use one document from one thread at a
// time, but a stray call from another thread must not tear it. Pages of a document with a text layer are
// recognised by the workers of the recognition pool while the caller hands in the next pages; they wait in
// order and are written as soon as the text of every page before them is, or without their text once the
// wait for it is bounded and over.
#include "document_session.h"

#include "image_encoders.h"
#include "page_image.h"
#include "pdf_document.h"
#include "recognition_pool.h"
#include "tesseract_engine.h"
#include "text_layer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <deque>
#include <future>
#include <limits>
#include <mutex>
#include <optional>
#include <string>

namespace vlm {
namespace {

constexpr int32_t kDefaultQuality = 75;
// Recognition works best near 300 dpi; finer scans are reduced by a whole factor first.
constexpr int32_t kRecognitionDpi = 300;

struct PendingPage {
    PdfPage page;
    std::future<Recognition> text; // none without a text layer
    double scaleX = 0;             // points per pixel of the recognised copy
    double scaleY = 0;
};

struct DocumentState {
    std::mutex lock;
    int32_t mode = VLM_MODE_PLAIN;
    std::string languages;
    int32_t quality = kDefaultQuality;
    std::unique_ptr<PdfDocument> document;
    bool withText = false;
    std::deque<PendingPage> pending; // pages not yet written, in order
};

// When waiting for recognised text ends, in steady-clock ticks; the largest value while nothing bounds it.
// Not under the session's lock, which a page waiting for its text holds.
std::atomic<std::chrono::steady_clock::rep> sTextDeadline{
    std::chrono::steady_clock::time_point::max().time_since_epoch().count()};

bool isPastTextDeadline() {
    return std::chrono::steady_clock::now().time_since_epoch().count() >= sTextDeadline.load();
}

// The page's words once they are recognised; none when the bound came first, and then no worker spends
// more time on pages that nobody waits for. The bound may be set while this waits, so it waits in short
// steps.
std::optional<Recognition> awaitText(std::future<Recognition>& text) {
    constexpr auto kStep = std::chrono::milliseconds(50);
    for (;;) {
        if (text.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
            try {
                return text.get();
            } catch (const std::future_error&) { // dropped unrecognised
                return std::nullopt;
            }
        }
        if (isPastTextDeadline()) {
            RecognitionPool::shared().dropWaiting();
            return std::nullopt;
        }
        text.wait_for(kStep);
    }
}

DocumentState& session() {
    // Never destroyed: a document may still be open, its pages recognised, when the process ends.
    static DocumentState* const state = std::make_unique<DocumentState>().release();
    return *state;
}

struct SubModeHeader {
    uint16_t version;
    uint16_t size;
};

int32_t encodeImage(const PackedImage& packed, int32_t mode, int32_t quality, PdfImage& image) {
    const ImageView& view = packed.view;
    image.width = view.width;
    image.height = view.height;
    image.colorSpace = view.kind == kKindRgb ? "DeviceRGB" : "DeviceGray";
    image.bitsPerComponent = view.kind == VLM_KIND_BW ? 1 : 8;
    if (view.kind == VLM_KIND_BW) {
        // G4 is lossless and far smaller than Flate on bilevel pages, so it serves both modes.
        image.filterEntries = "/Filter /CCITTFaxDecode /DecodeParms << /K -1 /Columns " +
                              std::to_string(view.width) + " /Rows " + std::to_string(view.height) + " >>";
        return encodeG4(view, image.stream);
    }
    if (mode == VLM_MODE_COMPRESS) {
        image.filterEntries = "/Filter /DCTDecode";
        return encodeJpeg(view, quality, image.stream);
    }
    image.filterEntries = "/Filter /FlateDecode /DecodeParms << /Predictor 15 /Colors " +
                          std::to_string(view.kind == kKindRgb ? 3 : 1) + " /BitsPerComponent 8 /Columns " +
                          std::to_string(view.width) + " >>";
    return encodeFlateImage(view, image.stream);
}

// Writes the pages at the head of the queue whose text is ready. With `all` it waits for every page, else
// only while more pages wait than the workers hold: no page waits unrecognised behind the workers, so the
// document is done within one page's recognition after the last, and the pages' memory stays bounded. A
// page that cannot be written ends the queue: the file keeps the pages before it.
int32_t writeReady(DocumentState& s, bool all) {
    const size_t limit = all ? 0 : RecognitionPool::shared().workerCount();
    while (!s.pending.empty()) {
        PendingPage& next = s.pending.front();
        if (next.text.valid()) {
            if (s.pending.size() <= limit && !isPastTextDeadline() &&
                next.text.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
                return VLM_OK;
            // A page whose recognition fails or comes too late still carries its image: losing it would be
            // the greater harm.
            if (const std::optional<Recognition> text = awaitText(next.text); text && text->result == VLM_OK)
                next.page.textOperators =
                    textOperators(text->words, next.scaleX, next.scaleY, next.page.heightPt);
        }
        if (const int32_t result = s.document->addPage(next.page); result != VLM_OK) {
            s.pending.clear();
            return result;
        }
        s.pending.pop_front();
    }
    return VLM_OK;
}

} // namespace

int32_t setDocumentMode(int32_t mode, uint32_t langMask, uint32_t flags) {
    if (mode != VLM_MODE_PLAIN && mode != VLM_MODE_COMPRESS)
        return VLM_ERR_PARAM;
    const std::string languages = languagesOfMask(langMask, flags);
    if (langMask != 0 && languages.empty())
        return VLM_ERR_PARAM;
    DocumentState& s = session();
    std::lock_guard guard(s.lock);
    s.mode = mode;
    s.languages = languages;
    return VLM_OK;
}

int32_t setDocumentSubMode(int32_t subMode, const void* record) {
    SubModeHeader header;
    std::memcpy(&header, record, sizeof header);
    DocumentState& s = session();
    std::lock_guard guard(s.lock);
    if (subMode == VLM_SUBMODE_QUALITY && header.version == 1 && header.size == sizeof(VlmSubModeQuality)) {
        VlmSubModeQuality quality;
        std::memcpy(&quality, record, sizeof quality);
        if (quality.lQuality < 1 || quality.lQuality > 100)
            return VLM_ERR_PARAM;
        s.quality = quality.lQuality;
        return VLM_OK;
    }
    if (subMode == VLM_SUBMODE_OPTIONS && header.version == 1 && header.size == sizeof(VlmSubModeOptions))
        return VLM_OK;
    return VLM_ERR_PARAM;
}

int32_t openDocument(const char* path, bool withText) {
    DocumentState& s = session();
    std::lock_guard guard(s.lock);
    if (s.document)
        return VLM_ERR_ALREADYOPEN;
    if (withText) {
        if (s.languages.empty())
            return VLM_ERR_PARAM;
        if (const int32_t result = RecognitionPool::shared().prepare(dataPath(), s.languages);
            result != VLM_OK)
            return result;
    }
    s.withText = withText;
    return PdfDocument::create(path, s.document);
}

int32_t makePage(const PdfPageImageDesc& page, const PdfPageRect* rect) {
    DocumentState& s = session();
    std::lock_guard guard(s.lock);
    if (!s.document)
        return VLM_ERR_NOTOPEN;
    ImageView view;
    if (const int32_t result = viewOfPage(page, rect, view); result != VLM_OK)
        return result;
    const PackedImage packed = packImage(view, rect ? rect->lLeft : 0);
    PendingPage pending;
    if (const int32_t result = encodeImage(packed, s.mode, s.quality, pending.page.image); result != VLM_OK)
        return result;
    pending.page.widthPt = view.width * 72.0 / page.lXResolution;
    pending.page.heightPt = view.height * 72.0 / page.lYResolution;
    if (s.withText && !isPastTextDeadline()) {
        const int32_t factor = std::max(1, page.lXResolution / kRecognitionDpi);
        pending.scaleX = 72.0 * factor / page.lXResolution;
        pending.scaleY = 72.0 * factor / page.lYResolution;
        pending.text =
            RecognitionPool::shared().recognise(greyReduced(packed.view, factor), page.lXResolution / factor);
    }
    s.pending.push_back(std::move(pending));
    return writeReady(s, false);
}

int32_t documentSize(uint32_t& size) {
    size = 0;
    DocumentState& s = session();
    std::lock_guard guard(s.lock);
    if (!s.document)
        return VLM_ERR_NOTOPEN;
    if (const int32_t result = writeReady(s, true); result != VLM_OK)
        return result;
    const uint64_t bytes = s.document->finishedSize();
    if (bytes > std::numeric_limits<uint32_t>::max())
        return VLM_ERR_FILEWRITE; // the callers count in 32 bits
    size = static_cast<uint32_t>(bytes);
    return VLM_OK;
}

int32_t documentPageCount(int32_t& count) {
    count = 0;
    DocumentState& s = session();
    std::lock_guard guard(s.lock);
    if (!s.document)
        return VLM_ERR_NOTOPEN;
    count = s.document->pageCount();
    return VLM_OK;
}

int32_t closeDocument() {
    DocumentState& s = session();
    std::lock_guard guard(s.lock);
    if (!s.document)
        return VLM_ERR_NOTOPEN;
    // The pages that fit are finished as a sound document; the failure is still said.
    const int32_t written = writeReady(s, true);
    const int32_t result = s.document->finish();
    if (result != VLM_ERR_FILEEXISTS)
        s.document.reset();
    return result == VLM_OK ? written : result;
}

int32_t renameDocument(const char* path) {
    DocumentState& s = session();
    std::lock_guard guard(s.lock);
    if (!s.document)
        return VLM_ERR_NOTOPEN;
    s.document->setPath(path);
    return VLM_OK;
}

void boundTextWait(int32_t milliseconds) {
    const auto deadline = milliseconds < 0
                              ? std::chrono::steady_clock::time_point::max()
                              : std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    sTextDeadline = deadline.time_since_epoch().count();
}

int32_t abandonDocument() {
    DocumentState& s = session();
    std::lock_guard guard(s.lock);
    if (!s.document)
        return VLM_ERR_NOTOPEN;
    s.pending.clear();
    s.document.reset(); // leaves no file
    return VLM_OK;
}

} // namespace vlm
