#include "TlvFormatWriters.h"

#include "TlvCreateJPEG.h"
#include "TlvCreateTIFF.h"
#include "TlvOutputFailure.h"

namespace tlv {

void TlvFormatWriter::abandonPage(const TlvPageFiles& files) {
    if (files.reserved && !files.isRemake) {
        std::error_code ec;
        std::filesystem::remove(*files.reserved, ec);
    }
}

TlvFormatWriters::TlvFormatWriters(TlvWrittenFiles& files, const TlvCreatePDF::Renamer& renamer) {
    add(kFormatPDF, std::make_unique<TlvCreatePDF>(files, renamer));
    add(kFormatTIFF, std::make_unique<TlvCreateTIFF>());
    add(kFormatJPEG, std::make_unique<TlvCreateJPEG>());
}

void TlvFormatWriters::add(int format, std::unique_ptr<TlvFormatWriter> writer) {
    if (mWriters.size() <= static_cast<std::size_t>(format))
        mWriters.resize(static_cast<std::size_t>(format) + 1);
    mWriters[static_cast<std::size_t>(format)] = std::move(writer);
}

TlvFormatWriter* TlvFormatWriters::find(int format) const {
    if (format < 0 || static_cast<std::size_t>(format) >= mWriters.size())
        return nullptr;
    return mWriters[static_cast<std::size_t>(format)].get();
}

TlvFormatWriter& TlvFormatWriters::of(int format) const {
    TlvFormatWriter* writer = find(format);
    if (!writer)
        fail(kErrFileCreate);
    return *writer;
}

void TlvFormatWriters::endBatch(bool drop) const {
    for (const auto& writer : mWriters)
        if (writer)
            writer->endBatch(drop);
}

} // namespace tlv
