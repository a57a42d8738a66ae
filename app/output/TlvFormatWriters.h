// The output formats by their number (kFormatPDF, kFormatTIFF, kFormatJPEG): one writer each for a
// batch's page writer.
#pragma once

#include "TlvCreatePDF.h"
#include "TlvFormatWriter.h"
#include "TlvStagedOutput.h"

#include <memory>
#include <vector>

namespace tlv {

class TlvFormatWriters {
public:
    TlvFormatWriters(TlvWrittenFiles& files, const TlvNextFreeName& nextFreeName);

    // Null, or with of a failure "Err_FileCreateFailed", for a number that names no format.
    TlvFormatWriter* find(int format) const;
    TlvFormatWriter& of(int format) const;
    void endBatch(bool drop) const;

private:
    void add(int format, std::unique_ptr<TlvFormatWriter> writer);

    std::vector<std::unique_ptr<TlvFormatWriter>> mWriters; // by format number
};

} // namespace tlv
