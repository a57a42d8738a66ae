// C entry points: arguments are checked here, the work is done by the document and detection sessions,
// and no exception leaves (out of memory becomes its code, anything else a general failure).
#include "vellumv2.h"

#include "document_session.h"
#include "tesseract_engine.h"
#include "text_direction.h"

#include <new>
#include <numbers>

static_assert(sizeof(VlmSubModeQuality) == 8 && sizeof(VlmSubModeOptions) == 16);
static_assert(sizeof(PdfPageRect) == 16);

namespace {

template <typename Work> int32_t guarded(int32_t outOfMemory, int32_t otherFailure, Work work) noexcept {
    try {
        return work();
    } catch (const std::bad_alloc&) {
        return outOfMemory;
    } catch (...) {
        return otherFailure;
    }
}

} // namespace

extern "C" {

int32_t VLMC_changepath(const char* path) {
    return guarded(VLM_ERR_NOMEMORY, VLM_ERR_PARAM, [&] {
        vlm::setDataPath(path);
        return VLM_OK;
    });
}

int32_t VLMC_exmodeset(int32_t mode, uint32_t langMask, uint32_t flags) {
    // Orientation needs no language, only its model: a missing one is said here, before any page.
    if (mode == VLM_MODE_DETECT)
        return guarded(VLM_ERR_NOMEMORY, VLM_ERR_PARAM,
                       [] { return vlm::detectionModelFound() ? VLM_OK : VLM_ERR_LANGUAGE; });
    return guarded(VLM_ERR_NOMEMORY, VLM_ERR_PARAM,
                   [&] { return vlm::setDocumentMode(mode, langMask, flags); });
}

int32_t VLMC_exopen(const char* path, int32_t openMode, int32_t reserved) {
    if (reserved != 0)
        return VLM_ERR_PARAM;
    if (openMode == VLM_OPEN_DETECT)
        return guarded(VLM_ERR_DETECTNOMEMORY, VLM_ERR_LANGUAGE, [] { return vlm::openDetection(); });
    if (openMode != VLM_OPEN_PDF && openMode != VLM_OPEN_PDF_OCR && openMode != 1)
        return VLM_ERR_PARAM;
    if (path == nullptr || *path == '\0')
        return VLM_ERR_PARAM;
    return guarded(VLM_ERR_NOMEMORY, VLM_ERR_FILECREATE,
                   [&] { return vlm::openDocument(path, openMode != VLM_OPEN_PDF); });
}

int32_t VLMC_submodeset(int32_t subMode, const void* record) {
    if (record == nullptr)
        return VLM_ERR_PARAM;
    return guarded(VLM_ERR_NOMEMORY, VLM_ERR_PARAM, [&] { return vlm::setDocumentSubMode(subMode, record); });
}

int32_t VLMC_spmake(const PdfPageImageDesc* page, const PdfPageRect* rect) {
    if (page == nullptr)
        return VLM_ERR_PARAM;
    return guarded(VLM_ERR_NOMEMORY, VLM_ERR_OCR, [&] { return vlm::makePage(*page, rect); });
}

int32_t VLMC_getFileSize(uint32_t* size) {
    if (size == nullptr)
        return VLM_ERR_PARAM;
    *size = 0;
    return guarded(VLM_ERR_NOMEMORY, VLM_ERR_FILEWRITE, [&] { return vlm::documentSize(*size); });
}

int32_t VLMC_getPageCount(int32_t* count) {
    if (count == nullptr)
        return VLM_ERR_PARAM;
    return guarded(VLM_ERR_NOMEMORY, VLM_ERR_PARAM, [&] { return vlm::documentPageCount(*count); });
}

int32_t VLMC_exocrbound(int32_t milliseconds) {
    vlm::boundTextWait(milliseconds);
    return VLM_OK;
}

int32_t VLMC_exclose(int32_t reserved) {
    if (reserved != 0)
        return VLM_ERR_PARAM;
    if (vlm::detectionIsOpen()) {
        vlm::closeDetection();
        return VLM_OK;
    }
    return guarded(VLM_ERR_NOMEMORY, VLM_ERR_FILEWRITE, [] { return vlm::closeDocument(); });
}

int32_t VLMC_exrename(const char* path) {
    if (path == nullptr || *path == '\0')
        return VLM_ERR_PARAM;
    return guarded(VLM_ERR_NOMEMORY, VLM_ERR_PARAM, [&] { return vlm::renameDocument(path); });
}

int32_t VLMC_exabandon(void) {
    return guarded(VLM_ERR_NOMEMORY, VLM_ERR_PARAM, [] { return vlm::abandonDocument(); });
}

int32_t VLMD_spdetect(const PdfPageImageDesc* page, int32_t* degrees, double* radians) {
    if (degrees != nullptr)
        *degrees = 0;
    if (radians != nullptr)
        *radians = 0.0;
    if (page == nullptr || degrees == nullptr || radians == nullptr)
        return VLM_ERR_PARAM;
    return guarded(VLM_ERR_DETECTNOMEMORY, VLM_ERR_ENGINENOMEMORY, [&] {
        const int32_t result = vlm::detectDirection(*page, *degrees);
        *radians = *degrees * std::numbers::pi / 180.0;
        return result;
    });
}
}
