// Every capability of the scanner's set, twins and the maker's own included, through every message that
// reads it: each answer holds the whole TWAIN structure it names.
#include <map>
#include <vector>

#include "QSDataSource.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The source manager's memory functions, remembering the size of each block they hand out.
struct SizedMemory {
    static inline std::map<TW_HANDLE, std::size_t> sizes;
    static TW_HANDLE Allocate(TW_UINT32 bytes) {
        TW_HANDLE block = std::calloc(1, bytes);
        if (block)
            sizes[block] = bytes;
        return block;
    }
    static void Free(TW_HANDLE block) {
        sizes.erase(block);
        std::free(block);
    }
    static TW_MEMREF Lock(TW_HANDLE block) { return block; }
    static void Unlock(TW_HANDLE) {}
};

// What a host may read of a container of the type, judged from the header it can read safely.
std::size_t StructureBytes(TW_UINT16 conType, const std::uint8_t* data, std::size_t size) {
    TW_UINT16 itemType = 0;
    if (size < sizeof itemType)
        return sizeof(TW_ONEVALUE);
    std::memcpy(&itemType, data, sizeof itemType);
    const std::size_t item = twainItemSize(itemType);
    if (item == 0)
        return SIZE_MAX;
    const auto list = [&](std::size_t structure, std::size_t header) {
        TW_UINT32 count = 0;
        if (size < offsetof(TW_ARRAY, NumItems) + sizeof count)
            return structure;
        std::memcpy(&count, data + offsetof(TW_ARRAY, NumItems), sizeof count);
        return std::max(structure, header + count * item);
    };
    switch (conType) {
    case TWON_ONEVALUE:
        return std::max(sizeof(TW_ONEVALUE), offsetof(TW_ONEVALUE, Item) + item);
    case TWON_RANGE:
        return sizeof(TW_RANGE);
    case TWON_ARRAY:
        return list(sizeof(TW_ARRAY), offsetof(TW_ARRAY, ItemList));
    case TWON_ENUMERATION:
        return list(sizeof(TW_ENUMERATION), offsetof(TW_ENUMERATION, ItemList));
    default:
        return SIZE_MAX;
    }
}

class CapabilitySweep : public test::QSDataSourceTest {
protected:
    void SetUp() override {
        Open();
        TW_ENTRYPOINT points = test::StandInManager::EntryPoints();
        points.DSM_MemAllocate = &SizedMemory::Allocate;
        points.DSM_MemFree = &SizedMemory::Free;
        points.DSM_MemLock = &SizedMemory::Lock;
        points.DSM_MemUnlock = &SizedMemory::Unlock;
        ASSERT_EQ(Call(DG_CONTROL, DAT_ENTRYPOINT, MSG_SET, &points), TWRC_SUCCESS);
        for (const auto& [id, capability] : Pool()->Capabilities())
            mIds.push_back(id);
    }
    // The last answer as the manager handed it out, every byte; empty when there was none.
    Bytes AnswerBytes() const {
        const auto block = SizedMemory::sizes.find(mAnswer.get());
        if (!mAnswer || block == SizedMemory::sizes.end())
            return {};
        const auto* data = static_cast<const std::uint8_t*>(mAnswer.get());
        return Bytes(data, data + block->second);
    }

    std::vector<TW_UINT16> mIds;
};

TEST_F(CapabilitySweep, EveryAnswerHoldsTheWholeStructureItNames) {
    int answers = 0;
    for (TW_UINT16 id : mIds) {
        for (TW_UINT16 msg : {MSG_GET, MSG_GETCURRENT, MSG_GETDEFAULT, MSG_QUERYSUPPORT, MSG_GETHELP,
                              MSG_GETLABEL, MSG_GETLABELENUM}) {
            SCOPED_TRACE(testing::Message() << "capability 0x" << std::hex << id << " message 0x" << msg);
            if (Cap(msg, id) != TWRC_SUCCESS) {
                EXPECT_GE(msg, MSG_GETHELP) << "only the texts about a capability are not answered";
                EXPECT_EQ(mAnswer, nullptr);
                continue;
            }
            const Bytes answer = AnswerBytes();
            ASSERT_FALSE(answer.empty()) << "not from the manager's memory";
            EXPECT_GE(answer.size(), StructureBytes(mAnswerType, answer.data(), answer.size()));
            ++answers;
        }
    }
    EXPECT_GE(answers, 4 * static_cast<int>(mIds.size()));
    RecordProperty("containers", answers);
}

} // namespace
