// The thumbnails of a batch in bounded memory: the latest few stay in memory, each older one lies in a
// file of its own in the temporary folder and is read back when asked for, so a batch of any length
// holds the same memory (a colour thumbnail is about 230 KB). A thumbnail whose file cannot be written
// stays in memory. Not locked: its owner's lock covers it.
#pragma once

#include "TlvPageRecord.h"

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace tlv {

class TlvThumbnailShelf {
public:
    // Thumbnails kept in memory: the pages around the one just scanned, which the preview shows.
    static constexpr std::size_t kInMemory = 8;

    TlvThumbnailShelf() = default;
    ~TlvThumbnailShelf(); // removes the files
    TlvThumbnailShelf(const TlvThumbnailShelf&) = delete;
    TlvThumbnailShelf& operator=(const TlvThumbnailShelf&) = delete;

    // Adds the next page's thumbnail (null for a page without one).
    void add(std::shared_ptr<const TlvThumbnail> thumbnail);
    // The page's thumbnail; null when it has none, there is no such page or its file cannot be read.
    std::shared_ptr<const TlvThumbnail> at(std::size_t index) const;
    // Forgets the pages behind the first keep ones.
    void dropAfter(std::size_t keep);
    std::size_t inMemoryCount() const { return mInMemory.size(); }

private:
    struct Shelved {
        std::shared_ptr<const TlvThumbnail> inMemory;
        TlvThumbnail shape; // the thumbnail without its pixels, when they lie in file
        std::string file;   // empty while in memory
    };
    void putAway(std::size_t index);

    std::vector<Shelved> mPages;
    std::deque<std::size_t> mInMemory; // indexes of the thumbnails in memory, oldest first
};

} // namespace tlv
