// Every capability of the scanner's set, twins and the maker's own included, through every message that
// reads it: each answer holds the whole TWAIN structure it names, a value read and written back unchanged
// stays as it was, with no default moving, and a reset does what a set of the default does.
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

// A one value of the item's bytes.
test::OwnedHandle OneValueOf(TW_UINT16 itemType, const std::uint8_t* item, std::size_t size) {
    test::OwnedHandle handle =
        test::NewHandle(offsetof(TW_ONEVALUE, Item) + std::max(size, sizeof(TW_UINT32)));
    auto* bytes = static_cast<std::uint8_t*>(handle.get());
    std::memcpy(bytes, &itemType, sizeof itemType);
    std::memcpy(bytes + offsetof(TW_ONEVALUE, Item), item, size);
    return handle;
}

// Values of a capability other than its current one, in the order they are tried, from what MSG_GET
// answers: the other entries of an enumeration, the bounds of a range, for a list (the device events) one
// event the scanner reports, and for a one value the number 1 and then the value with one of the two low
// bits of one of its bytes turned over.
std::vector<test::OwnedHandle> OtherValues(TW_UINT16 conType, const Bytes& container) {
    const TW_UINT16 itemType = test::ItemType(const_cast<std::uint8_t*>(container.data()));
    const std::size_t size = twainItemSize(itemType);
    std::vector<test::OwnedHandle> values;
    const auto add = [&](const std::uint8_t* item) { values.push_back(OneValueOf(itemType, item, size)); };
    if (conType == TWON_ENUMERATION) {
        TW_UINT32 count = 0;
        TW_UINT32 current = 0;
        std::memcpy(&count, container.data() + offsetof(TW_ENUMERATION, NumItems), sizeof count);
        std::memcpy(&current, container.data() + offsetof(TW_ENUMERATION, CurrentIndex), sizeof current);
        for (TW_UINT32 i = 0; i < count; ++i) {
            if (i != current)
                add(container.data() + offsetof(TW_ENUMERATION, ItemList) + i * size);
        }
    } else if (conType == TWON_RANGE) {
        add(container.data() + offsetof(TW_RANGE, MinValue));
        add(container.data() + offsetof(TW_RANGE, MaxValue));
    } else if (conType == TWON_ARRAY) {
        values.push_back(test::UInt16Array({COrvkQSDS::kDeviceEventScanReady}));
    } else {
        Bytes item(size, 0);
        item[0] = 1;
        add(item.data());
        for (std::size_t i = 0; i < size; ++i) {
            for (const std::uint8_t bit : {1, 2}) {
                item.assign(container.begin() + offsetof(TW_ONEVALUE, Item),
                            container.begin() + offsetof(TW_ONEVALUE, Item) + size);
                item[i] ^= bit;
                add(item.data());
            }
        }
    }
    return values;
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
    bool IsWritable(TW_UINT16 id) {
        return Cap(MSG_QUERYSUPPORT, id) == TWRC_SUCCESS && (AnswerField<TW_INT32>() & TWQC_SET) != 0;
    }
    bool IsResettable(TW_UINT16 id) {
        constexpr TW_INT32 kSetAndReset = TWQC_SET | TWQC_RESET;
        return Cap(MSG_QUERYSUPPORT, id) == TWRC_SUCCESS &&
               (AnswerField<TW_INT32>() & kSetAndReset) == kSetAndReset;
    }
    // Sets the capability away from its default with the first of its other values that moves it; false
    // when none does (a setting that applies only in another mode, or that follows another).
    bool SetAway(TW_UINT16 id) {
        EXPECT_EQ(Cap(MSG_GETDEFAULT, id), TWRC_SUCCESS);
        const Bytes byDefault = AnswerBytes();
        EXPECT_EQ(Cap(MSG_GET, id), TWRC_SUCCESS);
        const TW_UINT16 conType = mAnswerType;
        for (const test::OwnedHandle& value : OtherValues(conType, AnswerBytes())) {
            const TW_UINT16 rc =
                Cap(MSG_SET, id, conType == TWON_ARRAY ? TWON_ARRAY : TWON_ONEVALUE, value.get());
            if ((rc == TWRC_SUCCESS || rc == TWRC_CHECKSTATUS) && Cap(MSG_GETCURRENT, id) == TWRC_SUCCESS &&
                AnswerBytes() != byDefault)
                return true;
        }
        return false;
    }
    std::map<TW_UINT16, Bytes> Answers(TW_UINT16 msg) {
        std::map<TW_UINT16, Bytes> answers;
        for (TW_UINT16 id : mIds) {
            EXPECT_EQ(Cap(msg, id), TWRC_SUCCESS) << std::hex << id;
            answers[id] = AnswerBytes();
        }
        return answers;
    }
    // Every capability answers msg as it did in before; how names what came in between.
    void ExpectAnswersAsBefore(TW_UINT16 msg, const std::map<TW_UINT16, Bytes>& before, const char* how) {
        const std::map<TW_UINT16, Bytes> after = Answers(msg);
        for (const auto& [id, answer] : before)
            EXPECT_EQ(after.at(id), answer) << how << ": capability 0x" << std::hex << id;
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

// A host that saves what it reads and writes it back, ten times over, by the getter's own container: where
// the frame (A4 at 200 dpi, in inches), the threshold (black and white) and the size code of a frame of
// the host's own used to move. Nothing else moves either.
TEST_F(CapabilitySweep, ValuesWrittenBackAsReadStayAsTheyWere) {
    ASSERT_EQ(Float(ICAP_XRESOLUTION), 200.0f);
    ASSERT_EQ(Int(ICAP_PIXELTYPE), TWPT_BW);
    const std::map<TW_UINT16, Bytes> defaults = Answers(MSG_GETDEFAULT);
    const TW_FRAME ownFrame{FloatToFix32(1), FloatToFix32(1), FloatToFix32(5), FloatToFix32(5)};
    for (const bool own : {false, true}) {
        SCOPED_TRACE(own ? "the host's own frame" : "A4");
        ASSERT_EQ(own ? SetOne(ICAP_FRAMES, TWTY_FRAME, ownFrame)
                      : SetOne(ICAP_SUPPORTEDSIZES, TWTY_UINT16, TW_UINT16{TWSS_A4}),
                  TWRC_SUCCESS);
        const std::map<TW_UINT16, Bytes> current = Answers(MSG_GETCURRENT);
        int writable = 0;
        for (TW_UINT16 id : mIds) {
            if (!IsWritable(id))
                continue;
            ++writable;
            for (TW_UINT16 msg : {MSG_GETCURRENT, MSG_GET}) {
                SCOPED_TRACE(testing::Message() << "capability 0x" << std::hex << id << " message 0x" << msg);
                ASSERT_EQ(Cap(msg, id), TWRC_SUCCESS);
                const Bytes read = AnswerBytes();
                for (int trip = 1; trip <= 10; ++trip) {
                    const TW_UINT16 rc = Cap(MSG_SET, id, mAnswerType, mAnswer.get());
                    EXPECT_TRUE(rc == TWRC_SUCCESS || rc == TWRC_CHECKSTATUS) << rc;
                    ASSERT_EQ(Cap(msg, id), TWRC_SUCCESS);
                    if (AnswerBytes() != read) {
                        ADD_FAILURE() << "changed on round trip " << std::dec << trip;
                        break;
                    }
                }
            }
        }
        EXPECT_GT(writable, 80);
        RecordProperty("writable", writable);
        ExpectAnswersAsBefore(MSG_GETCURRENT, current, "every value written back");
    }
    ExpectAnswersAsBefore(MSG_GETDEFAULT, defaults, "every value written back");
}

// The frame in every unit and resolution: written back as read, the scan area it came from stays; the
// default is the default paper's page whatever was set, and a reset brings it back.
TEST_F(CapabilitySweep, TheFrameKeepsItsAreaAndItsDefault) {
    ASSERT_EQ(SetOne(ICAP_SUPPORTEDSIZES, TWTY_UINT16, TW_UINT16{TWSS_A4}), TWRC_SUCCESS);
    for (TW_UINT16 units : {TWUN_INCHES, TWUN_CENTIMETERS, TWUN_PIXELS}) {
        ASSERT_EQ(SetOne(ICAP_UNITS, TWTY_UINT16, units), TWRC_SUCCESS);
        for (float resolution : {150.0f, 200.0f, 300.0f, 400.0f, 600.0f}) {
            SCOPED_TRACE(testing::Message() << "units " << units << " at " << resolution << " dpi");
            ASSERT_EQ(SetFix(ICAP_XRESOLUTION, resolution), TWRC_SUCCESS);
            ASSERT_EQ(Cap(MSG_GET, ICAP_FRAMES), TWRC_SUCCESS);
            const Bytes read = AnswerBytes();
            for (int trip = 0; trip < 10; ++trip) {
                ASSERT_EQ(Cap(MSG_SET, ICAP_FRAMES, TWON_ONEVALUE, mAnswer.get()), TWRC_SUCCESS);
                ASSERT_EQ(Cap(MSG_GET, ICAP_FRAMES), TWRC_SUCCESS);
            }
            EXPECT_EQ(AnswerBytes(), read);
            EXPECT_EQ(Int(CCAP_OVKM_SCANAREA_WIDTH), 9921); // A4, 1,653 columns at 200 dpi
            EXPECT_EQ(Int(CCAP_OVKM_SCANAREA_HEIGHT), 14031);
        }
    }
    ASSERT_EQ(Cap(MSG_GETDEFAULT, ICAP_FRAMES), TWRC_SUCCESS);
    const TW_FRAME letter = AnswerField<TW_FRAME>();
    EXPECT_EQ(test::Fix(letter.Right), 10200 * 600 / 1200.0f); // pixels at 600 dpi
    EXPECT_EQ(test::Fix(letter.Bottom), 13200 * 600 / 1200.0f);
    const Bytes defaultFrame = AnswerBytes();
    ASSERT_EQ(Cap(MSG_RESET, ICAP_FRAMES), TWRC_SUCCESS);
    EXPECT_EQ(AnswerBytes(), defaultFrame);
    ASSERT_EQ(Cap(MSG_GETCURRENT, ICAP_FRAMES), TWRC_SUCCESS);
    EXPECT_EQ(AnswerBytes(), defaultFrame);
    EXPECT_EQ(Int(CCAP_OVKM_SCANAREA_WIDTH), 10200);
}

// A host that sends the frame back before every scan as it read it, by ICAP_FRAMES or by the image layout,
// also after choosing another resolution in between: nothing else moves, the automatic deskew, size and
// text direction and the page's width included. A4 is no whole number of pixels at most resolutions.
TEST_F(CapabilitySweep, AFrameWrittenBackAsReadChangesNoOtherSetting) {
    ASSERT_EQ(SetOne(ICAP_SUPPORTEDSIZES, TWTY_UINT16, TW_UINT16{TWSS_A4}), TWRC_SUCCESS);
    ASSERT_EQ(SetBool(ICAP_AUTOMATICDESKEW, true), TWRC_SUCCESS);
    for (TW_UINT16 id : {CCAP_OVK_DETECTPAGESIZE, CCAP_OVK_RECOGNIZE_DIRECTION, CCAP_OVK_FOLDLARGESIZE})
        ASSERT_EQ(SetInt(id, 1), TWRC_SUCCESS);
    for (TW_UINT16 units : {TWUN_INCHES, TWUN_CENTIMETERS}) {
        ASSERT_EQ(SetOne(ICAP_UNITS, TWTY_UINT16, units), TWRC_SUCCESS);
        for (float writtenAt : {200.0f, 300.0f, 150.0f, 600.0f}) {
            SCOPED_TRACE(testing::Message()
                         << "units " << units << ", read at 200 dpi, written at " << writtenAt);
            ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 200), TWRC_SUCCESS);
            ASSERT_EQ(Cap(MSG_GET, ICAP_FRAMES), TWRC_SUCCESS);
            const test::OwnedHandle frame = std::move(mAnswer);
            const TW_UINT16 frameType = mAnswerType;
            TW_IMAGELAYOUT layout{};
            ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, &layout), TWRC_SUCCESS);
            ASSERT_EQ(SetFix(ICAP_XRESOLUTION, writtenAt), TWRC_SUCCESS);
            const std::map<TW_UINT16, Bytes> before = Answers(MSG_GETCURRENT);
            ASSERT_EQ(Cap(MSG_SET, ICAP_FRAMES, frameType, frame.get()), TWRC_SUCCESS);
            ExpectAnswersAsBefore(MSG_GETCURRENT, before, "ICAP_FRAMES");
            ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_SUCCESS);
            ExpectAnswersAsBefore(MSG_GETCURRENT, before, "DAT_IMAGELAYOUT");
        }
    }
}

// Each capability that may be set and reset, set away from its default and reset: the reset answers what
// MSG_GETCURRENT then reads, and leaves every capability as a MSG_SET of the default does, those that follow
// it included (the other resolution, the bit depth, the back side's twin, the scan area of a paper). The
// frame's reset also brings the paper back, so it is held to its default instead. Set away once more,
// MSG_RESETALL brings back the settings as opened, the device events an application chose included.
TEST_F(CapabilitySweep, AResetAnswersWhatItAppliesAsASetOfTheDefaultWould) {
    const std::map<TW_UINT16, Bytes> opened = Answers(MSG_GETCURRENT);
    const auto expectSame = [](const std::map<TW_UINT16, Bytes>& found,
                               const std::map<TW_UINT16, Bytes>& wanted, const char* what) {
        for (const auto& [id, answer] : wanted)
            EXPECT_EQ(found.at(id), answer) << what << ": capability 0x" << std::hex << id;
    };
    const auto resetAll = [&] {
        ASSERT_EQ(Cap(MSG_RESETALL, 0), TWRC_SUCCESS);
        expectSame(Answers(MSG_GETCURRENT), opened, "MSG_RESETALL");
    };
    int resets = 0;
    for (TW_UINT16 id : mIds) {
        if (!IsResettable(id))
            continue;
        SCOPED_TRACE(testing::Message() << "capability 0x" << std::hex << id);
        if (!SetAway(id))
            continue;
        ++resets;
        ASSERT_EQ(Cap(MSG_RESET, id), TWRC_SUCCESS);
        const Bytes answer = AnswerBytes();
        ASSERT_EQ(Cap(MSG_GETCURRENT, id), TWRC_SUCCESS);
        EXPECT_EQ(answer, AnswerBytes()) << "the reset answered a value the capability does not hold";
        const std::map<TW_UINT16, Bytes> afterReset = Answers(MSG_GETCURRENT);
        if (id == ICAP_FRAMES) {
            ASSERT_EQ(Cap(MSG_GETDEFAULT, id), TWRC_SUCCESS);
            EXPECT_EQ(answer, AnswerBytes());
        } else {
            resetAll();
            ASSERT_TRUE(SetAway(id));
            ASSERT_EQ(Cap(MSG_GETDEFAULT, id), TWRC_SUCCESS);
            ASSERT_EQ(Cap(MSG_SET, id, mAnswerType, mAnswer.get()), TWRC_SUCCESS);
            expectSame(Answers(MSG_GETCURRENT), afterReset, "MSG_RESET, against a MSG_SET of the default");
        }
        ASSERT_TRUE(SetAway(id));
        resetAll();
    }
    EXPECT_GT(resets, 70);
    RecordProperty("resets", resets);
}

} // namespace
