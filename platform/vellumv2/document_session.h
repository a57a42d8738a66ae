// The one document a process builds at a time: its mode, its recognition languages and the JPEG quality,
// and the pages it is made of.
#pragma once

#include "vellumv2.h"

#include <cstdint>

namespace vlm {

int32_t setDocumentMode(int32_t mode, uint32_t langMask, uint32_t flags);
int32_t setDocumentSubMode(int32_t subMode, const void* record);
int32_t openDocument(const char* path, bool withText);
int32_t makePage(const PdfPageImageDesc& page, const PdfPageRect* rect);
int32_t documentSize(uint32_t& size);
int32_t documentPageCount(int32_t& count);
int32_t closeDocument();
int32_t renameDocument(const char* path);
int32_t abandonDocument();
// The end of the waits for recognised text: milliseconds from now; none when negative.
void boundTextWait(int32_t milliseconds);

} // namespace vlm
