// Storing and loading the job lists. A stored list of a known version is read with today's reader
// (its dictionaries name every field, and missing ones keep their defaults), so an older list is
// carried over and written under the current version at the next save. Anything else stored is
// left alone on disk.
#include "TlvJobListStorage.h"

#include "TlvJobRows.h"
#include "TlvUtilsMethod.h"

#include <algorithm>
#include <string>

namespace {

bool isKnownFileVersion(std::uint32_t version) {
    return std::ranges::find(TlvJobListStorage::kFileVersions, version) !=
           std::end(TlvJobListStorage::kFileVersions);
}

std::optional<fnd::Dictionary> decoded(const fnd::Data* data) {
    return data ? TlvUtilsMethod::decodeDataToDict(*data) : std::nullopt;
}

std::uint32_t storedVersion(const fnd::Value& stored) {
    return stored.asUInt32().value_or(0);
}

} // namespace

std::uint32_t TlvJobListStorage::currentFileVersion() {
    return std::end(kFileVersions)[-1];
}

void TlvJobListStorage::saveFileVersionToFile(fnd::UserDefaults& store) {
    store.set(kFileVerKey, currentFileVersion());
}

void TlvJobListStorage::saveFileVersionToFile(fnd::Dictionary& store) {
    store.set(kFileVerKey, currentFileVersion());
}

std::uint32_t TlvJobListStorage::loadFileVersionFromFile(const fnd::UserDefaults& store) {
    return storedVersion(store.object(kFileVerKey));
}

std::uint32_t TlvJobListStorage::loadFileVersionFromFile(const fnd::Dictionary& store) {
    return storedVersion(store.get(kFileVerKey));
}

TlvJobListStorage::TlvJobListStorage(fnd::UserDefaults& defaults) : mDefaults(defaults) {
    makeFreshFoaJob(true);
    buildBuiltInRows();
}

void TlvJobListStorage::buildBuiltInRows() {
    mRows.clear();
    for (int i = 0; i < TlvJobListSettingMdl::kJobSlotCount; ++i)
        mRows.push_back(std::make_shared<TlvJobListSettingMdl>(*TlvJobListSettingMdl::initWithJobIndex(i)));
}

void TlvJobListStorage::makeFreshFoaJob(bool isBtn1AllocFOAScan) {
    mFoaJob = std::make_shared<TlvJobListSettingMdl>();
    mFoaJob->setJList_ScanBtnStatus(isBtn1AllocFOAScan ? 1 : TlvJobListSettingMdl::kNoButton);
}

void TlvJobListStorage::loadJobListMdlFromFile(bool isBtn1AllocFOAScan) {
    const std::optional<fnd::Data> foa = mDefaults.data(kMainFoaJLMdlKey);
    const std::optional<fnd::Data> rows = mDefaults.data(kMainJobJLMdlKey);
    const std::uint32_t version = loadFileVersionFromFile(mDefaults);
    mKeptFileVersion.reset();
    if ((foa || rows) && !isKnownFileVersion(version))
        mKeptFileVersion = version;
    const bool readable = !mKeptFileVersion;
    if (!readable || !loadFoaJLMdlFromData(foa ? &*foa : nullptr))
        makeFreshFoaJob(isBtn1AllocFOAScan);
    if (!readable || !loadJobJLMdlFromData(rows ? &*rows : nullptr))
        buildBuiltInRows();
}

bool TlvJobListStorage::saveJobListMdlToFile() {
    if (mKeptFileVersion)
        return false;
    const std::optional<fnd::Data> foa = foaJLMdlDictData();
    const std::optional<fnd::Data> rows = jobJLMdlDictData();
    saveFileVersionToFile(mDefaults);
    if (foa)
        mDefaults.set(kMainFoaJLMdlKey, *foa);
    if (rows)
        mDefaults.set(kMainJobJLMdlKey, *rows);
    return mDefaults.synchronize();
}

std::optional<fnd::Data> TlvJobListStorage::foaJLMdlDictData() const {
    return mFoaJob ? TlvUtilsMethod::encodeDictToData(mFoaJob->jobListMdlToDict()) : std::nullopt;
}

std::optional<fnd::Data> TlvJobListStorage::jobJLMdlDictData() const {
    fnd::Dictionary positions;
    for (std::size_t i = 0; i < mRows.size(); ++i)
        positions.set(std::to_string(i), mRows[i]->jobListMdlToDict());
    return TlvUtilsMethod::encodeDictToData(positions);
}

std::optional<fnd::Data> TlvJobListStorage::appStngMdlDictData(const TlvAppSettingMdl& settings) {
    return TlvUtilsMethod::encodeDictToData(settings.appSttingToDict());
}

bool TlvJobListStorage::loadFoaJLMdlFromData(const fnd::Data* data) {
    const std::optional<fnd::Dictionary> dict = decoded(data);
    if (!dict)
        return false;
    mFoaJob =
        std::make_shared<TlvJobListSettingMdl>(TlvJobListSettingMdl::initWithJobListMdlDict(&*dict, true));
    return true;
}

bool TlvJobListStorage::loadJobJLMdlFromData(const fnd::Data* data) {
    const std::optional<fnd::Dictionary> dict = decoded(data);
    if (!dict)
        return false;
    mRows = TlvJobRowsFromDict(*dict);
    TlvJobRowsKeepButtonsUnique(mRows);
    return true;
}

std::optional<TlvAppSettingMdl> TlvJobListStorage::loadAppStngMdlFromData(const fnd::Data* data,
                                                                          std::int32_t curScanModeType,
                                                                          const fnd::UserDefaults& defaults) {
    const std::optional<fnd::Dictionary> dict = decoded(data);
    if (!dict)
        return std::nullopt;
    TlvAppSettingMdl settings = TlvAppSettingMdl::initWithAppSttingDict(&*dict, defaults);
    settings.setScanModeType(curScanModeType);
    return settings;
}

TlvJobListStorage::Row TlvJobListStorage::jobListMdlAtIndex(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < mRows.size() ? mRows[static_cast<std::size_t>(row)]
                                                                    : nullptr;
}

TlvJobListStorage::Row TlvJobListStorage::titledJobAt(int row) const {
    Row job = jobListMdlAtIndex(row);
    return job && !job->isBlank() ? job : nullptr;
}

int TlvJobListStorage::countOfJLMdlForMainJLDisp() const {
    return static_cast<int>(std::ranges::count_if(mRows, [](const Row& row) { return !row->isBlank(); }));
}

std::vector<TlvJobListStorage::Row> TlvJobListStorage::jobListMdlArrayCopy() const {
    std::vector<Row> copies;
    for (const Row& row : mRows)
        copies.push_back(std::make_shared<TlvJobListSettingMdl>(row->copyWithZone()));
    return copies;
}

bool TlvJobListStorage::replaceMdlInJLMdlArray(const TlvJobListSettingMdl& job) {
    const auto found =
        std::ranges::find_if(mRows, [&](const Row& row) { return row->jList_Num() == job.jList_Num(); });
    return found != mRows.end() && applyJob(static_cast<int>(found - mRows.begin()), job);
}

bool TlvJobListStorage::saveAfterEdit() {
    return mKeptFileVersion || saveJobListMdlToFile();
}

bool TlvJobListStorage::applyJob(int row, const TlvJobListSettingMdl& job) {
    const Row current = jobListMdlAtIndex(row);
    if (!current)
        return false;
    auto replacement = std::make_shared<TlvJobListSettingMdl>(job.copyWithZone());
    replacement->setJList_Num(current->jList_Num() - 1);
    mRows[static_cast<std::size_t>(row)] = replacement;
    if (TlvJobListSettingMdl::isScanButton(replacement->jList_ScanBtnStatus()))
        return assignScanButton(row, replacement->jList_ScanBtnStatus());
    return saveAfterEdit();
}

bool TlvJobListStorage::deleteJob(int row) {
    const Row current = jobListMdlAtIndex(row);
    if (!current)
        return false;
    mRows[static_cast<std::size_t>(row)] = std::make_shared<TlvJobListSettingMdl>(
        *TlvJobListSettingMdl::initWithBlankJobMdlIndex(current->jList_Num() - 1));
    return saveAfterEdit();
}

bool TlvJobListStorage::assignScanButton(int row, std::int32_t status) {
    const Row target = jobListMdlAtIndex(row);
    if (!target || !(TlvJobListSettingMdl::isScanButton(status) || status == TlvJobListSettingMdl::kNoButton))
        return false;
    for (const Row& other : mRows)
        if (other != target && other->jList_ScanBtnStatus() == status)
            other->setJList_ScanBtnStatus(TlvJobListSettingMdl::kNoButton);
    target->setJList_ScanBtnStatus(status);
    return saveAfterEdit();
}

bool TlvJobListStorage::sortRows(const RowOrder& order) {
    if (!order)
        return false;
    const std::vector<Row> before = mRows;
    std::stable_sort(mRows.begin(), mRows.end(), [&](const Row& a, const Row& b) { return order(*a, *b); });
    return mRows == before || saveAfterEdit();
}

void TlvJobListStorage::applyFoaJob(const TlvJobListSettingMdl& job) {
    mFoaJob = std::make_shared<TlvJobListSettingMdl>(job.copyWithZone());
    saveAfterEdit();
}
