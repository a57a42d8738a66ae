// Trace dumps of the library's request records in a fixed layout, and numbered debug images. Every
// operation does nothing while the trace is off.
#pragma once

#include "CImg.h"
#include "NormalFilterRecords.h"
#include "QS880Records.h"

namespace Ovk::Pixen::QS880 {

class QS880Logger {
public:
    QS880Logger() = default;
    virtual ~QS880Logger() = default;

    static void createLogger(const char* path) noexcept;

    static void writeADJUSTINFO(const tagADJUSTINFO& info) noexcept;
    static void writeFILTERSIMPLEXINFO(tagFILTERSIMPLEXINFO& info) noexcept;
    static void writeFILTERDUPLEXINFO(tagFILTERDUPLEXINFO& info) noexcept;
    static void writeSPECIALFILTERINFO(tagSPECIALFILTERINFO& info) noexcept;
    static void writeNORMALFILTERINFO(tagNORMALFILTERINFO& info) noexcept;
    static void writeIMAGEINFO(const tagIMAGEINFO* info) noexcept;
    // Stores the image as "<prefix>NNN.ovk" under the first number 000..999 whose name is free; a new
    // file is always created, never an existing name or link reused. Nothing when all are taken.
    static void writeOvk(const CImg& image, const char* prefix) noexcept;
};

} // namespace Ovk::Pixen::QS880
