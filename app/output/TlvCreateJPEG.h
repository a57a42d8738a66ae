// JPEG pages: one file per page, grey or colour, with the quality of the rate setting.
#pragma once

#include "TlvFormatWriter.h"
#include "TlvStagedOutput.h"

namespace tlv {

class TlvCreateJPEG : public TlvFormatWriter {
public:
    TlvCreateJPEG(TlvWrittenFiles& files, TlvNextFreeName nextFreeName);

    int pagesPerFile(const TlvOutputOptions&) const override { return 1; }
    // Fails with "Err_JPEGInvalidParam" (1-bit pages), "Err_JPEGNotCreate", "Err_DiskFull" (with the
    // folder) or "Flg_MailSizeOver" (the file is published then).
    void writePage(const TlvWriteContext& ctx, const TlvWritePage& page,
                   std::optional<std::filesystem::path>& published) override;

private:
    TlvWrittenFiles& mFiles;
    TlvNextFreeName mNextFreeName;
};

// JPEG quality (1..100) of a rate setting: 1 the best, 5 the smallest.
int jpegQualityOfRate(int rate);

} // namespace tlv
