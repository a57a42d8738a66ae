// Text-direction detection sessions. A session belongs to the thread that opened it, so that the page
// pipeline can detect while another thread of the same process has a document open.
#pragma once

#include "vellumv2.h"

#include <cstdint>

namespace vlm {

// True when the orientation model is found, without loading it.
bool detectionModelFound();

// Opens this thread's session: VLM_ERR_LANGUAGE without an orientation model. The model is loaded, once
// per thread and data folder, when a page first needs it.
int32_t openDetection();
bool detectionIsOpen();
void closeDetection();

// Clockwise rotation of the text in degrees (0, 90, 180, 270), 0 for pages with too little text.
int32_t detectDirection(const PdfPageImageDesc& page, int32_t& degrees);

} // namespace vlm
