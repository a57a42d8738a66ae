// The page list under its one lock.
#include "TlvImgInfoList.h"

#include "ImgInfoKeys.h"

namespace tlv {

bool TlvImgInfoList::initImgInfoArray() {
    std::lock_guard lock(mImgInfoLck);
    if (mImgInfoArray)
        return false;
    mImgInfoArray.emplace();
    mThumbnails.emplace();
    return true;
}

bool TlvImgInfoList::releaseImgInfoArray() {
    std::lock_guard lock(mImgInfoLck);
    const bool had = mImgInfoArray.has_value();
    mImgInfoArray.reset();
    mThumbnails.reset();
    return had;
}

bool TlvImgInfoList::exists() const {
    std::lock_guard lock(mImgInfoLck);
    return mImgInfoArray.has_value();
}

bool TlvImgInfoList::add(fnd::Dictionary record, std::shared_ptr<const TlvThumbnail> thumbnail) {
    std::lock_guard lock(mImgInfoLck);
    if (!mImgInfoArray)
        return false;
    mImgInfoArray->push_back(std::move(record));
    mThumbnails->add(std::move(thumbnail));
    return true;
}

std::size_t TlvImgInfoList::count() const {
    std::lock_guard lock(mImgInfoLck);
    return mImgInfoArray ? mImgInfoArray->size() : 0;
}

std::optional<fnd::Dictionary> TlvImgInfoList::at(std::size_t index) const {
    std::lock_guard lock(mImgInfoLck);
    if (!mImgInfoArray || index >= mImgInfoArray->size())
        return std::nullopt;
    return (*mImgInfoArray)[index];
}

std::shared_ptr<const TlvThumbnail> TlvImgInfoList::thumbnailAt(std::size_t index) const {
    std::lock_guard lock(mImgInfoLck);
    return mThumbnails ? mThumbnails->at(index) : nullptr;
}

std::optional<fnd::Dictionary> TlvImgInfoList::byName(const std::string& name) const {
    std::lock_guard lock(mImgInfoLck);
    if (!mImgInfoArray)
        return std::nullopt;
    for (const fnd::Dictionary& record : *mImgInfoArray) {
        const std::string* recordName = record.get(ImgInfo_NameKey).asString();
        if (recordName && *recordName == name)
            return record;
    }
    return std::nullopt;
}

bool TlvImgInfoList::replace(std::size_t index, fnd::Dictionary record) {
    std::lock_guard lock(mImgInfoLck);
    if (!mImgInfoArray || index >= mImgInfoArray->size())
        return false;
    (*mImgInfoArray)[index] = std::move(record);
    return true;
}

bool TlvImgInfoList::setRotation(std::size_t index, int quarterTurns) {
    std::lock_guard lock(mImgInfoLck);
    if (!mImgInfoArray || index >= mImgInfoArray->size() || quarterTurns < 0 || quarterTurns > 3)
        return false;
    (*mImgInfoArray)[index].set(ImgInfo_RotateKey, std::int32_t{quarterTurns});
    return true;
}

std::vector<fnd::Dictionary> TlvImgInfoList::dropAfter(std::size_t keep) {
    std::lock_guard lock(mImgInfoLck);
    std::vector<fnd::Dictionary> dropped;
    while (mImgInfoArray && mImgInfoArray->size() > keep) {
        dropped.push_back(std::move(mImgInfoArray->back()));
        mImgInfoArray->pop_back();
    }
    if (mThumbnails)
        mThumbnails->dropAfter(keep);
    return dropped;
}

} // namespace tlv
