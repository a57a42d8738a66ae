// Sends triplets to a data source the way an application does and keeps the last capability answer, so
// the tests of the generic source and those of the scanner's source drive theirs alike.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "Containers.h"
#include "DataSource.h"

namespace test {

// The manager's side of the messages a data source sends its application (DAT_NULL), recorded.
struct StandInManager {
    static inline std::vector<TW_UINT16> messages;
    static TW_UINT16 Entry(pTW_IDENTITY, pTW_IDENTITY, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                           TW_MEMREF) {
        if (dg == DG_CONTROL && dat == DAT_NULL)
            messages.push_back(msg);
        return TWRC_SUCCESS;
    }
    // The record a TWAIN 2 manager hands over before every open; memory stays the C heap's.
    static TW_ENTRYPOINT EntryPoints() {
        TW_ENTRYPOINT points{};
        points.Size = sizeof points;
        points.DSM_Entry = &Entry;
        return points;
    }
};

class TripletTest : public ::testing::Test {
protected:
    // The source under test; a test may replace it between calls.
    virtual CDataSource& Source() = 0;

    // As through a manager: an open is preceded by the manager's entry points unless a test leaves them out.
    TW_UINT16 Call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, void* data) {
        if (dg == DG_CONTROL && dat == DAT_IDENTITY && msg == MSG_OPENDS && mGiveEntryPoints &&
            Source().GetState() == CDataSource::kClosed) {
            TW_ENTRYPOINT points = StandInManager::EntryPoints();
            EXPECT_EQ(Source().Dispatch(&mApp, DG_CONTROL, DAT_ENTRYPOINT, MSG_SET, &points), TWRC_SUCCESS);
        }
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
    bool mGiveEntryPoints = true;
    test::OwnedHandle mAnswer;
    TW_UINT16 mAnswerType = 0;
};

} // namespace test
