// A job row as the job tables show and sort it: the job with the sort value of each column. Rows
// without an output or without a button sort after all others in ascending order.
#pragma once

#include "TlvJobListSettingMdl.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

struct TlvJobRowRecord {
    static constexpr std::int32_t kSortLast = 10000;
    enum class Column { Output, Title, Num, Btn };

    std::shared_ptr<TlvJobListSettingMdl> jobListMdl;
    std::int32_t outPutSrtKey = kSortLast;
    std::string jobTitleSrtKey;
    std::int32_t numSrtKey = 0;
    std::int32_t btnSrtKey = kSortLast;

    // None for a null job.
    static std::optional<TlvJobRowRecord> jobListObjDict(std::shared_ptr<TlvJobListSettingMdl> job);
    // The order of one column; ties keep their order in a stable sort.
    static bool isLess(const TlvJobRowRecord& a, const TlvJobRowRecord& b, Column column, bool ascending);
};
