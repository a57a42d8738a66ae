// A thumbnail's file holds its pixels alone; its shape stays in memory with the page.
#include "TlvThumbnailShelf.h"

#include "TlvUtilsMethod.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <unistd.h>

namespace tlv {
namespace {

// Every file gets a name never used before in this process, so a name left by a dropped page or by
// another list is never met.
std::string newFileName() {
    static std::atomic<std::uint64_t> made{0};
    return "tmpThumb_" + std::to_string(made++);
}

bool writeAll(int fd, const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool readAll(int fd, std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

TlvThumbnailShelf::~TlvThumbnailShelf() {
    dropAfter(0);
}

void TlvThumbnailShelf::add(std::shared_ptr<const TlvThumbnail> thumbnail) {
    const bool has = thumbnail != nullptr;
    mPages.push_back({std::move(thumbnail), {}, {}});
    if (!has)
        return;
    mInMemory.push_back(mPages.size() - 1);
    if (mInMemory.size() > kInMemory) {
        putAway(mInMemory.front());
        mInMemory.pop_front();
    }
}

void TlvThumbnailShelf::putAway(std::size_t index) {
    Shelved& page = mPages[index];
    const TlvThumbnail& thumbnail = *page.inMemory;
    std::string name = newFileName();
    const int fd = TlvUtilsMethod::createTmpFile(name);
    if (fd < 0)
        return;
    const bool written = writeAll(fd, thumbnail.pixels);
    ::close(fd);
    if (!written) {
        TlvUtilsMethod::removeTmpFile(name);
        return;
    }
    page.shape = {thumbnail.width, thumbnail.height, thumbnail.bitsPerPixel, thumbnail.bytesPerRow, {}};
    page.file = std::move(name);
    page.inMemory.reset();
}

std::shared_ptr<const TlvThumbnail> TlvThumbnailShelf::at(std::size_t index) const {
    if (index >= mPages.size())
        return nullptr;
    const Shelved& page = mPages[index];
    if (page.file.empty())
        return page.inMemory;
    auto thumbnail = std::make_shared<TlvThumbnail>(page.shape);
    thumbnail->pixels.resize(static_cast<std::size_t>(page.shape.bytesPerRow) * page.shape.height);
    const int fd = TlvUtilsMethod::openTmpFile(page.file);
    if (fd < 0)
        return nullptr;
    const bool read = readAll(fd, thumbnail->pixels);
    ::close(fd);
    return read ? thumbnail : nullptr;
}

void TlvThumbnailShelf::dropAfter(std::size_t keep) {
    while (mPages.size() > keep) {
        if (!mPages.back().file.empty())
            TlvUtilsMethod::removeTmpFile(mPages.back().file);
        mPages.pop_back();
    }
    std::erase_if(mInMemory, [keep](std::size_t index) { return index >= keep; });
}

} // namespace tlv
