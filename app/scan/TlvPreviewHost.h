// What the preview of scanned pages needs of the application's main controller: the state, the page
// list with the thumbnails, and the one change the preview makes to a record (its quarter turns). The
// main controller implements it; tests stand in for it. Main thread only.
#pragma once

#include "TlvAppState.h"
#include "TlvPageRecord.h"
#include "Value.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>

namespace tlv {

class TlvPreviewHost {
public:
    virtual ~TlvPreviewHost() = default;

    virtual AppState appState() const = 0;
    virtual std::size_t countOfImgInfoDict() const = 0;
    virtual std::optional<fnd::Dictionary> imgInfoAtIndex(std::size_t index) const = 0;
    // Null when the page has no thumbnail.
    virtual std::shared_ptr<const TlvThumbnail> thumbnailAtIndex(std::size_t index) const = 0;
    // Stores value under key in the record of page index (from 0). Only ImgInfo_RotateKey with a count
    // of 0..3 and a page of the list is taken; anything else changes nothing and answers false.
    virtual bool replaceImgInfoByParam(std::size_t index, std::string_view key, int value) = 0;
};

} // namespace tlv
