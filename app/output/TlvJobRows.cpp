// Completing a stored job list: stored data may come from a damaged file or a restored backup.
#include "TlvJobRows.h"

#include <algorithm>
#include <array>
#include <string>

std::vector<std::shared_ptr<TlvJobListSettingMdl>> TlvJobRowsFromDict(const fnd::Dictionary& positions) {
    constexpr int kRows = TlvJobListSettingMdl::kJobSlotCount;
    std::vector<std::shared_ptr<TlvJobListSettingMdl>> rows(kRows);
    std::array<bool, kRows> numberTaken{};
    for (int position = 0; position < kRows; ++position) {
        const fnd::Dictionary* stored = positions.get(std::to_string(position)).asDictionary();
        if (!stored)
            continue;
        TlvJobListSettingMdl job = TlvJobListSettingMdl::initWithJobListMdlDict(stored, false);
        const int number = job.jList_Num();
        if (number < 1 || number > kRows || numberTaken[number - 1])
            continue;
        numberTaken[number - 1] = true;
        rows[position] = std::make_shared<TlvJobListSettingMdl>(std::move(job));
    }
    int freeNumber = 0;
    for (auto& row : rows) {
        if (row)
            continue;
        while (numberTaken[freeNumber])
            ++freeNumber;
        numberTaken[freeNumber] = true;
        row = std::make_shared<TlvJobListSettingMdl>(
            *TlvJobListSettingMdl::initWithBlankJobMdlIndex(freeNumber));
    }
    return rows;
}

void TlvJobRowsKeepButtonsUnique(std::vector<std::shared_ptr<TlvJobListSettingMdl>>& rows) {
    std::vector<std::int32_t> seen;
    for (const auto& row : rows) {
        const std::int32_t status = row->jList_ScanBtnStatus();
        if (!TlvJobListSettingMdl::isScanButton(status))
            continue;
        if (std::find(seen.begin(), seen.end(), status) != seen.end())
            row->setJList_ScanBtnStatus(TlvJobListSettingMdl::kNoButton);
        else
            seen.push_back(status);
    }
}
