// Entry points of the document maker and text-direction detector. This first version only checks
// its arguments; every session is refused until the writer and the detector are in place.
#include "vellumv2.h"

extern "C" {

int32_t VLMC_changepath(const char*) {
    return VLM_OK;
}

int32_t VLMC_exmodeset(int32_t, uint32_t, uint32_t) {
    return VLM_OK;
}

int32_t VLMC_exopen(const char*, int32_t, int32_t) {
    return VLM_ERR_FILECREATE;
}

int32_t VLMC_submodeset(int32_t, const void* record) {
    return record ? VLM_ERR_NOTOPEN : VLM_ERR_PARAM;
}

int32_t VLMC_spmake(const PdfPageImageDesc* page, const PdfPageRect*) {
    return page ? VLM_ERR_NOTOPEN : VLM_ERR_PARAM;
}

int32_t VLMC_getFileSize(uint32_t* size) {
    if (size == nullptr)
        return VLM_ERR_PARAM;
    *size = 0;
    return VLM_ERR_NOTOPEN;
}

int32_t VLMC_exclose(int32_t) {
    return VLM_ERR_NOTOPEN;
}

int32_t VLMD_spdetect(const PdfPageImageDesc* page, int32_t* degrees, double* radians) {
    if (degrees)
        *degrees = 0;
    if (radians)
        *radians = 0.0;
    return page ? VLM_ERR_NOTOPEN : VLM_ERR_PARAM;
}
}
