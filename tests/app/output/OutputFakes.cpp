// See OutputFakes.h.
#include "OutputFakes.h"

#include "TlvUtilsMethod.h"

#include <fstream>

namespace outtest {

tlv::AppState FakeHost::appState() const {
    std::lock_guard guard(mLock);
    return static_cast<tlv::AppState>(mState);
}

void FakeHost::report(tlv::TlvOutcome outcome) {
    std::lock_guard guard(mLock);
    mOutcomes.push_back(outcome);
}

void FakeHost::setState(int state) {
    std::lock_guard guard(mLock);
    mState = state;
}

tlv::TlvBatchSnapshot FakeHost::batch() const {
    std::lock_guard guard(mLock);
    tlv::TlvBatchSnapshot snapshot;
    snapshot.scanMode = scanMode;
    snapshot.funcType = function;
    snapshot.confirmOutput = confirmOutput;
    snapshot.options = options;
    snapshot.cancel = mCancel;
    return snapshot;
}

std::size_t FakeHost::countOfImgInfoDict() const {
    std::lock_guard guard(mLock);
    return mPages.size();
}

std::optional<fnd::Dictionary> FakeHost::imgInfoAtIndex(std::size_t index) const {
    std::lock_guard guard(mLock);
    if (index >= mPages.size())
        return std::nullopt;
    return mPages[index];
}

bool FakeHost::isFinScanAndWritedFile(bool scanEnded, int index) {
    std::lock_guard guard(mLock);
    if (index < 0)
        mScanEnded = scanEnded;
    else
        mWritten = index + 1;
    return mScanEnded && mPages.size() == static_cast<size_t>(mWritten);
}

void FakeHost::setSizeOverIndex(int index) {
    std::lock_guard guard(mLock);
    mSizeOverIndex = index;
}

void FakeHost::renewCancel() {
    std::lock_guard guard(mLock);
    mCancel = std::stop_source();
}

bool FakeHost::isCancelled() const {
    std::lock_guard guard(mLock);
    return mCancel.stop_requested();
}

void FakeHost::removeImgInfoByIndexOver(bool) {
    std::lock_guard guard(mLock);
    if (mSizeOverIndex <= -2)
        return;
    while (mPages.size() > static_cast<size_t>(mSizeOverIndex + 1))
        mPages.pop_back();
}

bool FakeHost::isCheckedMailSize() const {
    std::lock_guard guard(mLock);
    return mMailChecked;
}

void FakeHost::resetWritedFileSize() {
    std::lock_guard guard(mLock);
    mMailBytes = 0;
}

void FakeHost::setWritedFileSizeForPfm(int, std::uint64_t bytes) {
    std::lock_guard guard(mLock);
    mMailBytes += bytes;
    if (mailLimit != 0 && mMailBytes > mailLimit && !mMailChecked) {
        mMailChecked = true; // the user answered Cancel
        mCancel.request_stop();
    }
}

void FakeHost::resetMailCheck() {
    std::lock_guard guard(mLock);
    mMailChecked = false;
    mMailBytes = 0;
}

void FakeHost::cancelDriver(bool) {}

void FakeHost::displayOfPreview(const fnd::Dictionary&, int) {}

void FakeHost::showErrorPanel(const std::string& key, const std::vector<std::string>& args) {
    std::lock_guard guard(mLock);
    mErrors.push_back(key);
    mErrorArgs.push_back(args);
}

void FakeHost::addPage(fnd::Dictionary record) {
    std::lock_guard guard(mLock);
    mPages.push_back(std::move(record));
}

std::vector<tlv::TlvOutcome> FakeHost::outcomes() const {
    std::lock_guard guard(mLock);
    return mOutcomes;
}

std::vector<std::string> FakeHost::errors() const {
    std::lock_guard guard(mLock);
    return mErrors;
}

std::vector<std::vector<std::string>> FakeHost::errorArgs() const {
    std::lock_guard guard(mLock);
    return mErrorArgs;
}

std::vector<std::uint8_t> rawPixels(const RawPage& page, int seed) {
    const std::uint64_t row = tlv::bytesPerRowByImgSetting(page.bpp, page.width);
    std::vector<std::uint8_t> data(row * page.height);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>((i * 37 + seed * 11 + i / row * 5) ^ (i >> 3));
    return data;
}

fnd::Dictionary writeRawPage(const RawPage& page, int index) {
    const fs::path path = TlvUtilsMethod::tmpBaseImageFilePath(index);
    const std::vector<std::uint8_t> data = rawPixels(page, index);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), data.size());
    return fnd::Dictionary{{ImgInfo_NameKey, path.filename().string()},
                           {ImgInfo_bppKey, page.bpp},
                           {ImgInfo_WidthKey, page.width},
                           {ImgInfo_HeightKey, page.height},
                           {ImgInfo_XResKey, page.xRes},
                           {ImgInfo_YResKey, page.yRes},
                           {ImgInfo_RotateKey, page.rotation}};
}

} // namespace outtest
