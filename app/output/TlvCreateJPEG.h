// JPEG pages: one file per page, grey or colour, with the quality of the rate setting.
#pragma once

#include "TlvFormatWriter.h"

namespace tlv {

class TlvCreateJPEG : public TlvFormatWriter {
public:
    int pagesPerFile(const TlvOutputOptions&) const override { return 1; }
    void writePage(const TlvWriteContext& ctx, const TlvWritePage& page,
                   std::optional<std::filesystem::path>&) override;
};

// Fails with "Err_JPEGInvalidParam" (1-bit pages), "Err_JPEGNotCreate" or "Flg_MailSizeOver".
void writeToJPEG(const TlvWriteContext& ctx, const TlvWritePage& page);
// JPEG quality (1..100) of a rate setting: 1 the best, 5 the smallest.
int jpegQualityOfRate(int rate);

} // namespace tlv
