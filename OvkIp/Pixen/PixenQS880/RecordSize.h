// Every request record begins with its size word, which must equal the size of the record as built
// here; a caller built against another layout is refused instead of being misread.
#pragma once

#include "ResultCodes.h"

#include <cstdint>
#include <cstring>

namespace Ovk::Pixen {

template <class Record> bool hasRecordSize(const void* record) noexcept {
    if (record == nullptr)
        return false;
    std::uint32_t size;
    std::memcpy(&size, record, sizeof size);
    return size == sizeof(Record);
}

// RTN_OK for a record of type Record, RTN_PAR for a null record or a wrong size word.
template <class Record> std::int32_t checkRecordSize(const void* record) noexcept {
    return hasRecordSize<Record>(record) ? RTN_OK : RTN_PAR;
}

} // namespace Ovk::Pixen
