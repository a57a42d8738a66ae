// Text-direction detection sessions. A session belongs to the thread that opened it, so that the page
// pipeline can detect while another thread of the same process has a document open.
#pragma once

#include "vellumv2.h"

#include <cstdint>

namespace vlm {

// True when the orientation model is found, without loading it.
bool detectionModelFound();

// Opens this thread's session; the orientation model is loaded once per thread and data folder.
int32_t openDetection();
bool detectionIsOpen();
void closeDetection();

// Clockwise rotation of the text in degrees (0, 90, 180, 270), 0 for pages with too little text.
int32_t detectDirection(const PdfPageImageDesc& page, int32_t& degrees);

} // namespace vlm
