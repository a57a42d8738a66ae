// TIFF pages. A page that starts a file is written to its reserved name; each further page of its
// group is written as a child file in the temporary "Multi" folder and appended in place to the
// group's file by the joiner.
#pragma once

#include "TlvFormatWriter.h"

namespace tlv {

class TlvCreateTIFF : public TlvFormatWriter {
public:
    int pagesPerFile(const TlvOutputOptions& o) const override;
    void bringIntoForm(TlvPageImage& page) const override;
    void writePage(const TlvWriteContext& ctx, const TlvWritePage& page,
                   std::optional<std::filesystem::path>&) override;
};

// Fails with "Err_FileCreateFailed", "Err_TIFFAddPage" or "Flg_MailSizeOver".
void writeToTIFF(const TlvWriteContext& ctx, const TlvWritePage& page);
// The child file of a continuing page; none when the "Multi" folder cannot be made.
std::optional<std::filesystem::path> childImgPathForMultiTiff(int index);
} // namespace tlv
