// The page list of a batch: one record per scanned page, in arrival order, shared by the main thread
// and the output threads. The lock is the list's owner's for its whole life, so a thread that still
// holds or takes it after the batch was released finds an absent list, never a freed lock. Each record
// keeps the thumbnail its transfer made, shared, so the preview shows it without copying it; all but the
// latest few lie in the temporary folder, so a long batch holds no more memory than a short one.
#pragma once

#include "TlvPageRecord.h"
#include "TlvThumbnailShelf.h"
#include "Value.h"

#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tlv {

class TlvImgInfoList {
public:
    // Starts a batch's list; false (nothing changed) when one exists.
    bool initImgInfoArray();
    // Ends it; false when there was none.
    bool releaseImgInfoArray();
    bool exists() const;

    // False when there is no list.
    bool add(fnd::Dictionary record, std::shared_ptr<const TlvThumbnail> thumbnail = {});
    std::size_t count() const;
    std::optional<fnd::Dictionary> at(std::size_t index) const;
    // The page's thumbnail; null when there is none or no such page.
    std::shared_ptr<const TlvThumbnail> thumbnailAt(std::size_t index) const;
    std::optional<fnd::Dictionary> byName(const std::string& name) const;
    // Replaces the record at index; false when there is none.
    bool replace(std::size_t index, fnd::Dictionary record);
    // Stores the page's quarter turns (0..3) in its record under the one lock; false when there is no
    // such page or the count is out of range.
    bool setRotation(std::size_t index, int quarterTurns);
    // Removes the records behind the first keep ones and answers them, last first.
    std::vector<fnd::Dictionary> dropAfter(std::size_t keep);

private:
    mutable std::mutex mImgInfoLck;
    std::optional<std::vector<fnd::Dictionary>> mImgInfoArray;
    std::optional<TlvThumbnailShelf> mThumbnails; // present with the list
};

} // namespace tlv
