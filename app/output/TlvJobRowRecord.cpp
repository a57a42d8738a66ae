#include "TlvJobRowRecord.h"

#include <QString>

std::optional<TlvJobRowRecord> TlvJobRowRecord::jobListObjDict(std::shared_ptr<TlvJobListSettingMdl> job) {
    if (!job)
        return std::nullopt;
    TlvJobRowRecord row;
    row.jobTitleSrtKey = job->jList_Title().value_or(std::string());
    const std::int32_t type = job->jList_FunctionType();
    row.outPutSrtKey = row.jobTitleSrtKey.empty() || type == -1 ? kSortLast : type;
    row.numSrtKey = job->jList_Num();
    switch (job->jList_ScanBtnStatus()) {
    case 1:
        row.btnSrtKey = 1;
        break;
    case 2:
        row.btnSrtKey = 2;
        break;
    case 4:
        row.btnSrtKey = 3;
        break;
    default:
        row.btnSrtKey = kSortLast;
    }
    row.jobListMdl = std::move(job);
    return row;
}

bool TlvJobRowRecord::isLess(const TlvJobRowRecord& a, const TlvJobRowRecord& b, Column column,
                             bool ascending) {
    const TlvJobRowRecord& first = ascending ? a : b;
    const TlvJobRowRecord& second = ascending ? b : a;
    switch (column) {
    case Column::Output:
        return first.outPutSrtKey < second.outPutSrtKey;
    case Column::Title:
        return QString::fromStdString(first.jobTitleSrtKey)
                   .localeAwareCompare(QString::fromStdString(second.jobTitleSrtKey)) < 0;
    case Column::Num:
        return first.numSrtKey < second.numSrtKey;
    case Column::Btn:
        return first.btnSrtKey < second.btnSrtKey;
    }
    return false;
}
