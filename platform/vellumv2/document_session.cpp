// The document session. All state sits behind one lock: the callers use one document from one thread at a
// time, but a stray call from another thread must not tear it. The recognition engine outlives the
// document so that the next file with the same languages starts at once.
#include "document_session.h"

#include "image_encoders.h"
#include "page_image.h"
#include "pdf_document.h"
#include "tesseract_engine.h"
#include "text_layer.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <mutex>
#include <string>

namespace vlm {
namespace {

constexpr int32_t kDefaultQuality = 75;
// Recognition works best near 300 dpi; finer scans are reduced by a whole factor first.
constexpr int32_t kRecognitionDpi = 300;

struct DocumentState {
    std::mutex lock;
    int32_t mode = VLM_MODE_PLAIN;
    std::string languages;
    int32_t quality = kDefaultQuality;
    std::unique_ptr<PdfDocument> document;
    bool withText = false;
    Engine engine;
    std::string engineKey; // folder and languages the engine was started with
};

DocumentState& session() {
    // Never destroyed: Tesseract's own dictionary cache may already be gone at exit, and ending an engine
    // after it would leak and warn. The process ends right after anyway.
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

int32_t addTextLayer(DocumentState& s, const PackedImage& packed, const PdfPageImageDesc& page,
                     PdfPage& pdfPage) {
    const int32_t factor = std::max(1, page.lXResolution / kRecognitionDpi);
    std::vector<OcrWord> words;
    const GreyImage grey = greyReduced(packed.view, factor);
    if (const int32_t result = recognizeWords(*s.engine, grey, page.lXResolution / factor, words);
        result != VLM_OK)
        return result;
    const double scaleX = 72.0 * factor / page.lXResolution; // points per pixel of the reduced copy
    const double scaleY = 72.0 * factor / page.lYResolution;
    pdfPage.textOperators = textOperators(words, scaleX, scaleY, pdfPage.heightPt);
    return VLM_OK;
}

int32_t startTextEngine(DocumentState& s) {
    const std::string folder = dataPath();
    const std::string key = folder + '\n' + s.languages;
    if (s.engine && s.engineKey == key)
        return VLM_OK;
    s.engineKey.clear();
    const int32_t result = startEngine(folder, s.languages, s.engine);
    if (result == VLM_OK)
        s.engineKey = key;
    return result;
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
        if (const int32_t result = startTextEngine(s); result != VLM_OK)
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
    PdfPage pdfPage;
    if (const int32_t result = encodeImage(packed, s.mode, s.quality, pdfPage.image); result != VLM_OK)
        return result;
    pdfPage.widthPt = view.width * 72.0 / page.lXResolution;
    pdfPage.heightPt = view.height * 72.0 / page.lYResolution;
    // A page whose recognition fails still carries its image: losing the page would be the greater harm.
    if (s.withText && addTextLayer(s, packed, page, pdfPage) != VLM_OK)
        pdfPage.textOperators.clear();
    return s.document->addPage(pdfPage);
}

int32_t documentSize(uint32_t& size) {
    size = 0;
    DocumentState& s = session();
    std::lock_guard guard(s.lock);
    if (!s.document)
        return VLM_ERR_NOTOPEN;
    const uint64_t bytes = s.document->finishedSize();
    if (bytes > std::numeric_limits<uint32_t>::max())
        return VLM_ERR_FILEWRITE; // the callers count in 32 bits
    size = static_cast<uint32_t>(bytes);
    return VLM_OK;
}

int32_t closeDocument() {
    DocumentState& s = session();
    std::lock_guard guard(s.lock);
    if (!s.document)
        return VLM_ERR_NOTOPEN;
    const int32_t result = s.document->finish();
    if (result != VLM_ERR_FILEEXISTS)
        s.document.reset();
    return result;
}

int32_t renameDocument(const char* path) {
    DocumentState& s = session();
    std::lock_guard guard(s.lock);
    if (!s.document)
        return VLM_ERR_NOTOPEN;
    s.document->setPath(path);
    return VLM_OK;
}

int32_t abandonDocument() {
    DocumentState& s = session();
    std::lock_guard guard(s.lock);
    if (!s.document)
        return VLM_ERR_NOTOPEN;
    s.document.reset(); // leaves no file
    return VLM_OK;
}

} // namespace vlm
