// Sends triplets to a data source the way an application does and keeps the last capability answer, so
// the tests of the generic source and those of the scanner's source drive theirs alike.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>

#include "Containers.h"
#include "DataSource.h"

namespace test {

class TripletTest : public ::testing::Test {
protected:
    // The source under test; a test may replace it between calls.
    virtual CDataSource& Source() = 0;

    TW_UINT16 Call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, void* data) {
        return Source().Dispatch(&mApp, dg, dat, msg, data);
    }
    TW_UINT16 Status() {
        TW_STATUS status{};
        EXPECT_EQ(Call(DG_CONTROL, DAT_STATUS, MSG_GET, &status), TWRC_SUCCESS);
        return status.ConditionCode;
    }
    // Sends a capability message; the answer's container is kept in mAnswer.
    TW_UINT16 Cap(TW_UINT16 msg, TW_UINT16 id, TW_UINT16 conType = 0, TW_HANDLE container = nullptr) {
        TW_CAPABILITY cap{id, conType, container};
        const TW_UINT16 rc = Call(DG_CONTROL, DAT_CAPABILITY, msg, &cap);
        if (msg != MSG_SET) {
            mAnswer.reset(cap.hContainer);
            mAnswerType = cap.ConType;
        }
        return rc;
    }
    // By reference, so that a string field keeps its size instead of decaying to a pointer.
    template <class T> TW_UINT16 SetOne(TW_UINT16 id, TW_UINT16 itemType, const T& value) {
        const auto container = OneValue(itemType, value);
        return Cap(MSG_SET, id, TWON_ONEVALUE, container.get());
    }
    template <class T> T AnswerField(std::size_t offset = offsetof(TW_ONEVALUE, Item)) {
        return Field<T>(mAnswer.get(), offset);
    }

    TW_IDENTITY mApp{};
    test::OwnedHandle mAnswer;
    TW_UINT16 mAnswerType = 0;
};

} // namespace test
