// What the writers read of the current output function's settings entry, taken as one snapshot per
// page, so a page is written under one consistent set of rules.
#pragma once

#include "TlvAppState.h"
#include "TlvPlatformLookup.h"

#include <string>

class TlvFuncSettingMdl;

namespace tlv {

enum : int { kFormatPDF = 0, kFormatTIFF = 1, kFormatJPEG = 2 };

struct TlvOutputOptions {
    int fileFormatType = kFormatPDF;
    int ffMultiTypePDF = 0; // 0 all pages in one file, 1 a new file every multiPageNumPDF pages
    int multiPageNumPDF = 1;
    int ffMultiTypeTIFF = 0;
    int multiPageNumTIFF = 1;
    int ffCompType = 0;   // PDF: 0 lossless, else JPEG for grey and colour
    int compRatePDF = 3;  // 1 (best) .. 5
    int compRateJPEG = 3; // 1 (best) .. 5
    bool isAddOCR = false;
    int ffOCRLangType = 0;

    bool isPictureFolderSave = true;
    std::string pictureFolder; // the user's picture folder
    std::string fileSavePath;

    bool isUseFNSetting = true; // the automatic rule also names scan-first files
    bool isAddNumber = false;
    std::string partFileName; // the user's own part of automatic names
    std::string imgFileName;  // the automatic name with its extension, made with the snapshot
    std::string freeFileName; // the name the user typed, with its extension; empty when none
};

// The snapshot of the settings entry of functionType (save, mail or application); the automatic name
// carries the date and time nameTime. pictureFolder is the user's picture folder.
TlvOutputOptions outputOptionsOf(const TlvFuncSettingMdl& settings, int functionType,
                                 std::string pictureFolder, const TlvLocalTime& nameTime);

} // namespace tlv
