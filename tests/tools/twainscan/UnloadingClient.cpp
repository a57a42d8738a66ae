// A third party's TWAIN 2 application, written against nothing but the TWAIN definitions: it loads the
// source manager given as its argument privately, scans every page of the feeder by memory transfer,
// closes the data source and the manager, unloads the manager and ends as any program ends. It answers 0
// only when all of that worked and the data source was no longer in memory after its close; the pages
// it received go to standard output.
#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "ThirdPartyClient.h"
#include "twain.h"

namespace {

bool gXferReady = false;

TW_UINT16 OnMessage(pTW_IDENTITY, pTW_IDENTITY, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF) {
    if (dg == DG_CONTROL && dat == DAT_NULL && msg == MSG_XFERREADY)
        gXferReady = true;
    return TWRC_SUCCESS;
}

bool DataSourceMapped() {
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);)
        if (line.find("K3100.ds") != std::string::npos)
            return true;
    return false;
}

class Client {
public:
    explicit Client(DSMENTRYPROC entry) : mEntry(entry) {}

    bool Open() {
        TW_ENTRYPOINT points{};
        points.Size = sizeof points;
        if (Manager(DAT_PARENT, MSG_OPENDSM, nullptr) != TWRC_SUCCESS ||
            Manager(DAT_ENTRYPOINT, MSG_GET, &points) != TWRC_SUCCESS)
            return false;
        mPoints = points;
        TW_IDENTITY found{};
        if (test::FindScannerSource([this](auto... call) { return Manager(call...); }, found) != TWRC_SUCCESS)
            return false;
        std::memcpy(mSource.ProductName, found.ProductName, sizeof found.ProductName);
        TW_CALLBACK callback{};
        callback.CallBackProc = reinterpret_cast<TW_MEMREF>(&OnMessage);
        return Manager(DAT_IDENTITY, MSG_OPENDS, &mSource) == TWRC_SUCCESS &&
               Source(DG_CONTROL, DAT_CALLBACK, MSG_REGISTER_CALLBACK, &callback) == TWRC_SUCCESS &&
               SetOneValue(ICAP_XFERMECH, TWTY_UINT16, TWSX_MEMORY) &&
               SetOneValue(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY) &&
               SetOneValue(ICAP_XRESOLUTION, TWTY_FIX32, 150) &&
               SetOneValue(ICAP_YRESOLUTION, TWTY_FIX32, 150);
    }

    // Pages received, or -1 when the scan failed.
    int Scan() {
        TW_USERINTERFACE ui{};
        if (Source(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui) != TWRC_SUCCESS || !gXferReady)
            return -1;
        int pages = 0;
        for (TW_PENDINGXFERS pending{1, {}}; pending.Count != 0; ++pages) {
            if (!ReceivePage() || Source(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending) != TWRC_SUCCESS)
                return -1;
        }
        return Source(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui) == TWRC_SUCCESS ? pages : -1;
    }

    bool Close() {
        return Manager(DAT_IDENTITY, MSG_CLOSEDS, &mSource) == TWRC_SUCCESS &&
               Manager(DAT_PARENT, MSG_CLOSEDSM, nullptr) == TWRC_SUCCESS;
    }

private:
    TW_UINT16 Manager(TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
        return mEntry(&mApp, nullptr, DG_CONTROL, dat, msg, data);
    }
    TW_UINT16 Source(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
        return mEntry(&mApp, &mSource, dg, dat, msg, data);
    }

    bool SetOneValue(TW_UINT16 capId, TW_UINT16 itemType, TW_UINT32 item) {
        TW_HANDLE handle = mPoints.DSM_MemAllocate(sizeof(TW_ONEVALUE));
        auto* one = static_cast<TW_ONEVALUE*>(mPoints.DSM_MemLock(handle));
        one->ItemType = itemType;
        one->Item = item;
        mPoints.DSM_MemUnlock(handle);
        TW_CAPABILITY cap{capId, TWON_ONEVALUE, handle};
        const TW_UINT16 rc = Source(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap);
        mPoints.DSM_MemFree(handle);
        return rc == TWRC_SUCCESS;
    }

    bool ReceivePage() {
        TW_IMAGEINFO info{};
        TW_SETUPMEMXFER setup{};
        if (Source(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info) != TWRC_SUCCESS ||
            Source(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup) != TWRC_SUCCESS)
            return false;
        std::vector<unsigned char> buffer(setup.Preferred);
        std::size_t received = 0;
        for (TW_UINT16 rc = TWRC_SUCCESS; rc == TWRC_SUCCESS;) {
            TW_IMAGEMEMXFER block{};
            block.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
            block.Memory.Length = static_cast<TW_UINT32>(buffer.size());
            block.Memory.TheMem = buffer.data();
            rc = Source(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &block);
            if (rc != TWRC_SUCCESS && rc != TWRC_XFERDONE)
                return false;
            received += block.BytesWritten;
        }
        return received == std::size_t(info.ImageWidth) * std::size_t(info.ImageLength);
    }

    DSMENTRYPROC mEntry;
    TW_ENTRYPOINT mPoints{};
    TW_IDENTITY mApp = test::ThirdPartyIdentity("Unloading Client");
    TW_IDENTITY mSource{};
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <source manager library>\n", argv[0]);
        return 2;
    }
    void* manager = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    auto entry = manager ? reinterpret_cast<DSMENTRYPROC>(dlsym(manager, "DSM_Entry")) : nullptr;
    if (!entry) {
        std::fprintf(stderr, "cannot load the source manager: %s\n", dlerror());
        return 1;
    }
    int pages = -1;
    {
        Client client(entry);
        if (!client.Open() || (pages = client.Scan()) < 0 || !client.Close()) {
            std::fprintf(stderr, "the scan failed\n");
            return 1;
        }
    }
    if (DataSourceMapped()) {
        std::fprintf(stderr, "the data source is still loaded after its close\n");
        return 1;
    }
    dlclose(manager);
    std::printf("pages: %d\n", pages);
    return 0;
}
