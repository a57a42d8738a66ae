// Private to the image-file code: the error reporting shared by every loader and saver, and the raw
// ".ovk" writer on an open descriptor, which the trace's debug images use too.
#pragma once

#include "CImgFile.h"

namespace Ovk::Pixen::fileio {

inline bool fail(ImageFileError* why, ImageFileError error) noexcept {
    if (why != nullptr)
        *why = error;
    return false;
}

inline bool succeed(ImageFileError* why) noexcept {
    if (why != nullptr)
        *why = ImageFileError::None;
    return true;
}

// Writes the 52-byte record and the pixel buffer; the image must be non-empty and consistent.
ImageFileError writeOvkFile(int fd, const CImg& image) noexcept;

} // namespace Ovk::Pixen::fileio
