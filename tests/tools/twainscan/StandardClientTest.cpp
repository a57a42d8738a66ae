// A TWAIN 2 application written against nothing but the TWAIN definitions, as a third party would write
// one: it loads the source manager privately, takes the manager's entry points and memory, identifies
// itself with zero-terminated texts, finds the scanner by the product name it lists, and scans the
// emulated feeder by memory, native and file transfer.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstring>
#include <fstream>
#include <string>

#include "EmulatorFixture.h"
#include "ThirdPartyClient.h"
#include "twain.h"

namespace {

bool gXferReady = false;

TW_UINT16 OnMessage(pTW_IDENTITY, pTW_IDENTITY, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF) {
    if (dg == DG_CONTROL && dat == DAT_NULL && msg == MSG_XFERREADY)
        gXferReady = true;
    return TWRC_SUCCESS;
}

class StandardClient : public test::EmulatorFixture, public testing::WithParamInterface<TW_UINT16> {
protected:
    void SetUp() override {
        test::EmulatorFixture::SetUp();
        // Kept loaded to the end of the program, as most applications keep their manager.
        mLibrary = dlopen((mBuild / "lib" / DSM_SONAME).c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(mLibrary, nullptr) << dlerror();
        mEntry = reinterpret_cast<DSMENTRYPROC>(dlsym(mLibrary, "DSM_Entry"));
        ASSERT_NE(mEntry, nullptr);
        mApp = test::ThirdPartyIdentity("Standard Client");
        gXferReady = false;
    }

    TW_UINT16 Manager(TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
        return mEntry(&mApp, nullptr, DG_CONTROL, dat, msg, data);
    }
    TW_UINT16 Source(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
        return mEntry(&mApp, &mSource, dg, dat, msg, data);
    }

    void OpenScanner() {
        ASSERT_EQ(Manager(DAT_PARENT, MSG_OPENDSM, nullptr), TWRC_SUCCESS);
        TW_ENTRYPOINT points{};
        points.Size = sizeof points;
        ASSERT_EQ(Manager(DAT_ENTRYPOINT, MSG_GET, &points), TWRC_SUCCESS);
        mAllocate = points.DSM_MemAllocate;
        mFree = points.DSM_MemFree;
        mLock = points.DSM_MemLock;
        mUnlock = points.DSM_MemUnlock;
        TW_IDENTITY found{};
        ASSERT_EQ(test::FindScannerSource([this](auto... call) { return Manager(call...); }, found),
                  TWRC_SUCCESS)
            << "the scanner's data source is not listed";
        std::memcpy(mSource.ProductName, found.ProductName, sizeof found.ProductName);
        ASSERT_EQ(Manager(DAT_IDENTITY, MSG_OPENDS, &mSource), TWRC_SUCCESS);
        TW_CALLBACK callback{};
        callback.CallBackProc = reinterpret_cast<TW_MEMREF>(&OnMessage);
        ASSERT_EQ(Source(DG_CONTROL, DAT_CALLBACK, MSG_REGISTER_CALLBACK, &callback), TWRC_SUCCESS);
    }
    void CloseScanner() {
        TW_USERINTERFACE ui{};
        EXPECT_EQ(Source(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui), TWRC_SUCCESS);
        EXPECT_EQ(Manager(DAT_IDENTITY, MSG_CLOSEDS, &mSource), TWRC_SUCCESS);
        EXPECT_EQ(Manager(DAT_PARENT, MSG_CLOSEDSM, nullptr), TWRC_SUCCESS);
    }

    TW_UINT16 SetOneValue(TW_UINT16 capId, TW_UINT16 itemType, TW_UINT32 item) {
        TW_HANDLE handle = mAllocate(sizeof(TW_ONEVALUE));
        auto* one = static_cast<TW_ONEVALUE*>(mLock(handle));
        one->ItemType = itemType;
        one->Item = item;
        mUnlock(handle);
        TW_CAPABILITY cap{capId, TWON_ONEVALUE, handle};
        const TW_UINT16 rc = Source(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap);
        mFree(handle);
        return rc;
    }

    // Rows of the page in memory blocks; the number of bytes received.
    std::size_t MemoryTransfer() {
        TW_SETUPMEMXFER setup{};
        EXPECT_EQ(Source(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup), TWRC_SUCCESS);
        std::vector<std::uint8_t> buffer(setup.Preferred);
        std::size_t received = 0;
        for (TW_UINT16 rc = TWRC_SUCCESS; rc == TWRC_SUCCESS;) {
            TW_IMAGEMEMXFER block{};
            block.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
            block.Memory.Length = static_cast<TW_UINT32>(buffer.size());
            block.Memory.TheMem = buffer.data();
            rc = Source(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &block);
            EXPECT_TRUE(rc == TWRC_SUCCESS || rc == TWRC_XFERDONE) << rc;
            received += block.BytesWritten;
        }
        return received;
    }
    // The first bytes of the page as the source handed it over: natively in the manager's memory, or
    // in the file it was told to write.
    std::string NativeTransfer() {
        TW_HANDLE image = nullptr;
        EXPECT_EQ(Source(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &image), TWRC_XFERDONE);
        std::string head(static_cast<const char*>(mLock(image)), 4);
        mUnlock(image);
        mFree(image);
        return head;
    }
    std::string FileTransfer(int page) {
        TW_SETUPFILEXFER file{};
        const std::string name = (mDir / ("page" + std::to_string(page) + ".tif")).string();
        std::snprintf(file.FileName, sizeof file.FileName, "%s", name.c_str());
        file.Format = TWFF_TIFF;
        EXPECT_EQ(Source(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &file), TWRC_SUCCESS);
        EXPECT_EQ(Source(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr), TWRC_XFERDONE);
        std::string head(4, '\0');
        std::ifstream(name, std::ios::binary).read(head.data(), 4);
        return head;
    }

    void* mLibrary = nullptr;
    DSMENTRYPROC mEntry = nullptr;
    DSM_MEMALLOCATE mAllocate = nullptr;
    DSM_MEMFREE mFree = nullptr;
    DSM_MEMLOCK mLock = nullptr;
    DSM_MEMUNLOCK mUnlock = nullptr;
    TW_IDENTITY mApp{};
    TW_IDENTITY mSource{};
};

TEST_P(StandardClient, ScansTheFeederPageByPage) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 2"}));
    OpenScanner();
    const TW_UINT16 mechanism = GetParam();
    ASSERT_EQ(SetOneValue(ICAP_XFERMECH, TWTY_UINT16, mechanism), TWRC_SUCCESS);
    ASSERT_EQ(SetOneValue(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY), TWRC_SUCCESS);
    ASSERT_EQ(SetOneValue(ICAP_XRESOLUTION, TWTY_FIX32, 150), TWRC_SUCCESS);
    ASSERT_EQ(SetOneValue(ICAP_YRESOLUTION, TWTY_FIX32, 150), TWRC_SUCCESS);
    TW_USERINTERFACE ui{};
    ASSERT_EQ(Source(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
    ASSERT_TRUE(gXferReady) << "the transfer-ready message never arrived";

    int pages = 0;
    for (TW_PENDINGXFERS pending{1, {}}; pending.Count != 0; ++pages) {
        TW_IMAGEINFO info{};
        ASSERT_EQ(Source(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS);
        EXPECT_EQ(info.XResolution.Whole, 150);
        EXPECT_EQ(info.BitsPerPixel, 8);
        if (mechanism == TWSX_MEMORY)
            EXPECT_EQ(MemoryTransfer(), std::size_t(info.ImageWidth) * std::size_t(info.ImageLength));
        else if (mechanism == TWSX_NATIVE)
            EXPECT_EQ(NativeTransfer(), std::string("II*\0", 4));
        else
            EXPECT_EQ(FileTransfer(pages), std::string("II*\0", 4));
        ASSERT_EQ(Source(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
    }
    EXPECT_EQ(pages, 2);
    CloseScanner();
}

INSTANTIATE_TEST_SUITE_P(EveryMechanism, StandardClient,
                         testing::Values(TWSX_MEMORY, TWSX_NATIVE, TWSX_FILE));

} // namespace
