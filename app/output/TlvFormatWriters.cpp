#include "TlvFormatWriters.h"

#include "TlvCreateJPEG.h"
#include "TlvCreateTIFF.h"
#include "TlvOutputFailure.h"

namespace tlv {

void TlvFormatWriter::abandonPage(const TlvPageFiles& files) {
    if (const std::optional<std::filesystem::path> open = openPath()) {
        if (open == files.chosen)
            abandon();
        else
            close();
    }
    if (files.published) {
        std::error_code ec;
        std::filesystem::remove(*files.published, ec);
    }
}

TlvFormatWriters::TlvFormatWriters(TlvWrittenFiles& files, const TlvNextFreeName& nextFreeName) {
    add(kFormatPDF, std::make_unique<TlvCreatePDF>(files, nextFreeName));
    add(kFormatTIFF, std::make_unique<TlvCreateTIFF>(files, nextFreeName));
    add(kFormatJPEG, std::make_unique<TlvCreateJPEG>(files, nextFreeName));
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
