// The source manager against data sources built for the test: listing a folder with broken files in it,
// opening and forwarding, callbacks (also nested and from another thread) and hostile arguments.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "twain.h"

namespace fs = std::filesystem;

namespace {

TW_IDENTITY makeApplication(const char* name) {
    TW_IDENTITY identity{};
    identity.Id = 0; // the manager gives the application its Id
    identity.ProtocolMajor = TWON_PROTOCOLMAJOR;
    identity.ProtocolMinor = TWON_PROTOCOLMINOR;
    identity.SupportedGroups = DG_CONTROL | DG_IMAGE;
    snprintf(identity.Manufacturer, sizeof identity.Manufacturer, "%s", "Test Makers");
    snprintf(identity.ProductName, sizeof identity.ProductName, "%s", name);
    return identity;
}

// What the applications' callback saw; the callback also reads the device event inside itself.
struct Received {
    std::vector<TW_UINT16> messages;
    std::string source;
    std::string application;
    TW_MEMREF data = nullptr;
    TW_UINT32 nestedEvent = 0;
};
Received received;

TW_UINT16 recordingCallback(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat,
                            TW_UINT16 msg, TW_MEMREF data) {
    if (dg != DG_CONTROL || dat != DAT_NULL)
        return TWRC_FAILURE;
    received.messages.push_back(msg);
    received.source = origin->ProductName;
    received.application = dest->ProductName;
    received.data = data;
    TW_DEVICEEVENT event{};
    if (DSM_Entry(dest, origin, DG_CONTROL, DAT_DEVICEEVENT, MSG_GET, &event) == TWRC_SUCCESS)
        received.nestedEvent = event.Event;
    return TWRC_SUCCESS;
}

class Application {
public:
    explicit Application(const char* name) : mIdentity(makeApplication(name)) {}
    ~Application() {
        for (TW_IDENTITY& source : mOpened)
            call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source);
        call(nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, nullptr);
    }
    TW_UINT16 call(pTW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
        return DSM_Entry(&mIdentity, dest, dg, dat, msg, data);
    }
    TW_UINT16 openManager() { return call(nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, nullptr); }
    // The manager's condition code, or a data source's when given one.
    TW_UINT16 status(pTW_IDENTITY dest = nullptr) {
        TW_STATUS status{};
        EXPECT_EQ(call(dest, DG_CONTROL, DAT_STATUS, MSG_GET, &status), TWRC_SUCCESS);
        return status.ConditionCode;
    }
    std::vector<TW_IDENTITY> list() {
        std::vector<TW_IDENTITY> sources;
        TW_IDENTITY source{};
        for (TW_UINT16 msg = MSG_GETFIRST;
             call(nullptr, DG_CONTROL, DAT_IDENTITY, msg, &source) == TWRC_SUCCESS; msg = MSG_GETNEXT)
            sources.push_back(source);
        return sources;
    }
    TW_UINT16 open(const char* productName, TW_IDENTITY& source) {
        source = TW_IDENTITY{};
        snprintf(source.ProductName, sizeof source.ProductName, "%s", productName);
        const TW_UINT16 result = call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source);
        if (result == TWRC_SUCCESS)
            mOpened.push_back(source);
        return result;
    }
    TW_UINT16 close(TW_IDENTITY& source) {
        std::erase_if(mOpened, [&](const TW_IDENTITY& opened) { return opened.Id == source.Id; });
        return call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source);
    }
    TW_UINT16 registerCallback(pTW_IDENTITY dest, TWAINCALLBACKPROC proc, TW_UINT32 refCon) {
        TW_CALLBACK callback{};
        callback.CallBackProc = reinterpret_cast<TW_MEMREF>(proc);
        callback.RefCon = refCon;
        return call(dest, DG_CONTROL, DAT_CALLBACK, MSG_REGISTER_CALLBACK, &callback);
    }
    TW_IDENTITY& identity() { return mIdentity; }

private:
    TW_IDENTITY mIdentity;
    std::vector<TW_IDENTITY> mOpened;
};

void copyFile(const char* from, const fs::path& to) {
    fs::create_directories(to.parent_path());
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

void writeFile(const fs::path& path, const std::string& contents) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

class SourceManager : public testing::Test {
protected:
    // One data-source folder per process: the manager remembers what each file answered, so it must not
    // change.
    static void SetUpTestSuite() {
        std::string pattern = (fs::temp_directory_path() / "k3100-dsm-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        copyFile(TESTSOURCE_A, folder / "a" / "testsource_a.ds");
        copyFile(TESTSOURCE_B, folder / "testsource_b.ds");
        copyFile(TESTSOURCE_REFUSING, folder / "z" / "refusing.ds");
        copyFile(TESTSOURCE_NOENTRY, folder / "sub" / "noentry.ds");
        copyFile(TESTSOURCE_OVERWRITING, folder / "z" / "zz-overwriting.ds");
        writeFile(folder / "broken.ds", "\x7f"
                                        "ELF but not really a shared object");
        writeFile(folder / "sub" / "empty.ds", "");
        copyFile(TESTSOURCE_A, folder / "notes.txt"); // loadable, but not named as a data source
        setenv("K3100_TWAIN_DS_DIR", folder.c_str(), 1);

        // The first scan of the process is the one that meets the broken files.
        testing::internal::CaptureStderr();
        Application app("First scan");
        app.openManager();
        app.list();
        firstScanLog = testing::internal::GetCapturedStderr();
    }
    static void TearDownTestSuite() { fs::remove_all(folder); }
    void SetUp() override { received = Received{}; }

    static inline fs::path folder;
    static inline std::string firstScanLog;
};

std::vector<std::string> productNames(const std::vector<TW_IDENTITY>& sources) {
    std::vector<std::string> names;
    for (const TW_IDENTITY& source : sources)
        names.emplace_back(source.ProductName);
    return names;
}

TEST_F(SourceManager, ListsLoadableDataSourcesAndLogsEachBrokenFileOnce) {
    Application app("Lister");
    ASSERT_EQ(app.openManager(), TWRC_SUCCESS);
    EXPECT_NE(app.identity().Id, 0u);

    testing::internal::CaptureStderr();
    const std::vector<TW_IDENTITY> first = app.list();
    const std::vector<TW_IDENTITY> second = app.list();
    const std::string log = testing::internal::GetCapturedStderr();

    EXPECT_EQ(productNames(first), (std::vector<std::string>{"Test Source A", "Test Source B",
                                                             "Refusing Source", "Overwriting Source"}));
    ASSERT_EQ(second.size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(second[i].Id, first[i].Id) << "a rescan keeps the Ids";
        EXPECT_NE(first[i].Id, 0u);
        EXPECT_NE(first[i].Id, app.identity().Id);
    }
    EXPECT_NE(first[0].Id, first[1].Id);
    for (const char* file : {"broken.ds", "empty.ds", "noentry.ds"}) {
        const auto at = firstScanLog.find(file);
        EXPECT_NE(at, std::string::npos) << file << " not logged in:\n" << firstScanLog;
        EXPECT_EQ(firstScanLog.find(file, at + 1), std::string::npos) << file << " logged twice";
    }
    EXPECT_EQ(firstScanLog.find("notes.txt"), std::string::npos);
    EXPECT_EQ(log, "") << "unchanged broken files are not tried again";

    TW_IDENTITY source{};
    EXPECT_EQ(app.call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT, &source), TWRC_ENDOFLIST);
    EXPECT_EQ(app.call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &source), TWRC_SUCCESS);
    EXPECT_STREQ(source.ProductName, "Test Source A");
}

TEST_F(SourceManager, ForwardsTripletsToTheOpenDataSourceOnly) {
    Application app("Forwarder");
    ASSERT_EQ(app.openManager(), TWRC_SUCCESS);
    TW_IDENTITY source;
    ASSERT_EQ(app.open("Test Source B", source), TWRC_SUCCESS);
    EXPECT_STREQ(source.ProductName, "Test Source B");
    EXPECT_NE(source.Id, 0u);

    TW_UINT32 command = 0x47744253;
    TW_UINT32 answer = 0;
    TW_PASSTHRU passThru{&command, sizeof command, TWDR_GET, &answer, sizeof answer, 0};
    ASSERT_EQ(app.call(&source, DG_CONTROL, DAT_PASSTHRU, MSG_PASSTHRU, &passThru), TWRC_SUCCESS);
    EXPECT_EQ(answer, app.identity().Id) << "the data source sees the application as origin";
    EXPECT_EQ(passThru.DataBytesXfered, sizeof answer);

    EXPECT_EQ(app.call(&source, DG_IMAGE, DAT_IMAGEINFO, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(app.status(&source), TWCC_BADPROTOCOL) << "DAT_STATUS with a destination is the data source's";
    EXPECT_EQ(app.status(), TWCC_SUCCESS);

    TW_IDENTITY stranger = source;
    stranger.Id += 1000;
    EXPECT_EQ(app.call(&stranger, DG_CONTROL, DAT_DEVICEEVENT, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(app.status(), TWCC_BADDEST);
    EXPECT_EQ(app.status(), TWCC_SUCCESS) << "reading the status clears it";

    ASSERT_EQ(app.close(source), TWRC_SUCCESS);
    TW_DEVICEEVENT event{};
    EXPECT_EQ(app.call(&source, DG_CONTROL, DAT_DEVICEEVENT, MSG_GET, &event), TWRC_FAILURE);
    EXPECT_EQ(app.status(), TWCC_BADDEST);
}

TEST_F(SourceManager, CallbackReachesTheApplicationAndMayCallTheDataSourceInside) {
    Application app("Scanner App");
    ASSERT_EQ(app.openManager(), TWRC_SUCCESS);
    ASSERT_EQ(app.registerCallback(nullptr, recordingCallback, 77), TWRC_SUCCESS);
    TW_IDENTITY source;
    ASSERT_EQ(app.open("Test Source A", source), TWRC_SUCCESS);

    TW_USERINTERFACE ui{};
    // The data source signals from inside this triplet; the callback reads its device event meanwhile.
    ASSERT_EQ(app.call(&source, DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
    ASSERT_EQ(received.messages, std::vector<TW_UINT16>{MSG_XFERREADY});
    EXPECT_EQ(received.source, "Test Source A");
    EXPECT_EQ(received.application, "Scanner App");
    EXPECT_EQ(received.data, reinterpret_cast<TW_MEMREF>(std::uintptr_t{77})) << "RefCon comes back";
    EXPECT_GT(received.nestedEvent, TWDE_CUSTOMEVENTS);

    // And from a thread of its own while the application waits inside the triplet.
    const TW_UINT32 eventBefore = received.nestedEvent;
    ASSERT_EQ(app.call(&source, DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDSUIONLY, &ui), TWRC_SUCCESS);
    EXPECT_EQ(received.messages, (std::vector<TW_UINT16>{MSG_XFERREADY, MSG_CLOSEDSOK}));
    EXPECT_GT(received.nestedEvent, eventBefore);
}

TEST_F(SourceManager, CallbacksGoToTheApplicationThatOpenedTheDataSource) {
    Application first("First App");
    Application second("Second App");
    ASSERT_EQ(first.openManager(), TWRC_SUCCESS);
    ASSERT_EQ(second.openManager(), TWRC_SUCCESS);
    TW_IDENTITY sourceA, sourceB, taken;
    ASSERT_EQ(first.open("Test Source A", sourceA), TWRC_SUCCESS);
    EXPECT_EQ(second.open("Test Source A", taken), TWRC_FAILURE);
    EXPECT_EQ(second.status(), TWCC_MAXCONNECTIONS);
    ASSERT_EQ(second.open("Test Source B", sourceB), TWRC_SUCCESS);
    EXPECT_EQ(first.call(&sourceB, DG_CONTROL, DAT_DEVICEEVENT, MSG_GET, nullptr), TWRC_FAILURE)
        << "an application reaches only its own data sources";

    // Only the second application registers, for its one data source.
    ASSERT_EQ(second.registerCallback(&sourceB, recordingCallback, 0), TWRC_SUCCESS);
    TW_USERINTERFACE ui{};
    EXPECT_EQ(first.call(&sourceA, DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_FAILURE)
        << "no callback registered by the first application";
    EXPECT_TRUE(received.messages.empty());
    EXPECT_EQ(second.call(&sourceB, DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
    EXPECT_EQ(received.source, "Test Source B");
    EXPECT_EQ(received.application, "Second App");
}

TEST_F(SourceManager, ReopenedDataSourceStillReachesTheCallback) {
    Application app("Reopener");
    ASSERT_EQ(app.openManager(), TWRC_SUCCESS);
    ASSERT_EQ(app.registerCallback(nullptr, recordingCallback, 0), TWRC_SUCCESS);
    TW_IDENTITY source;
    ASSERT_EQ(app.open("Test Source A", source), TWRC_SUCCESS);
    ASSERT_EQ(app.close(source), TWRC_SUCCESS); // the data source forgets its Id here
    ASSERT_EQ(app.open("Test Source A", source), TWRC_SUCCESS);
    TW_USERINTERFACE ui{};
    EXPECT_EQ(app.call(&source, DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
    EXPECT_EQ(received.messages.size(), 1u);
}

TEST_F(SourceManager, RefusedOpenKeepsTheDataSourcesReason) {
    Application app("Refused");
    ASSERT_EQ(app.openManager(), TWRC_SUCCESS);
    TW_IDENTITY source;
    EXPECT_EQ(app.open("Refusing Source", source), TWRC_FAILURE);
    EXPECT_EQ(app.status(), TWCC_CHECKDEVICEONLINE);
    EXPECT_EQ(app.call(&source, DG_CONTROL, DAT_DEVICEEVENT, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(app.status(), TWCC_BADDEST) << "a refused data source is not open";
    EXPECT_EQ(app.open("No Such Source", source), TWRC_FAILURE);
    EXPECT_EQ(app.status(), TWCC_NODS);
}

TEST_F(SourceManager, RefusesCallsOutOfSequence) {
    Application app("Out of order");
    TW_IDENTITY source{};
    EXPECT_EQ(app.call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &source), TWRC_FAILURE);
    EXPECT_EQ(app.status(), TWCC_SEQERROR) << "before MSG_OPENDSM";

    ASSERT_EQ(app.openManager(), TWRC_SUCCESS);
    EXPECT_EQ(app.openManager(), TWRC_FAILURE);
    EXPECT_EQ(app.status(), TWCC_SEQERROR);
    EXPECT_EQ(app.call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT, &source), TWRC_FAILURE);
    EXPECT_EQ(app.status(), TWCC_SEQERROR) << "MSG_GETNEXT before MSG_GETFIRST";

    ASSERT_EQ(app.open("Test Source A", source), TWRC_SUCCESS);
    TW_IDENTITY again;
    EXPECT_EQ(app.open("Test Source A", again), TWRC_FAILURE);
    EXPECT_EQ(app.status(), TWCC_SEQERROR);
    EXPECT_EQ(app.call(nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, nullptr), TWRC_FAILURE);
    EXPECT_EQ(app.status(), TWCC_SEQERROR) << "closing the manager with a data source open";
    ASSERT_EQ(app.close(source), TWRC_SUCCESS);
    EXPECT_EQ(app.close(source), TWRC_FAILURE);
    EXPECT_EQ(app.status(), TWCC_SEQERROR);
}

TEST_F(SourceManager, SurvivesNullArgumentsAndAThrowingDataSource) {
    TW_STATUS status{};
    EXPECT_EQ(DSM_Entry(nullptr, nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, nullptr), TWRC_FAILURE);
    EXPECT_EQ(DSM_Entry(nullptr, nullptr, DG_CONTROL, DAT_STATUS, MSG_GET, &status), TWRC_FAILURE);

    Application app("Hostile");
    ASSERT_EQ(app.openManager(), TWRC_SUCCESS);
    for (TW_UINT16 msg : {MSG_GETFIRST, MSG_GETDEFAULT, MSG_OPENDS, MSG_CLOSEDS}) {
        EXPECT_EQ(app.call(nullptr, DG_CONTROL, DAT_IDENTITY, msg, nullptr), TWRC_FAILURE);
        EXPECT_EQ(app.status(), TWCC_BADVALUE) << "message " << msg;
    }
    EXPECT_EQ(app.call(nullptr, DG_CONTROL, DAT_CALLBACK, MSG_REGISTER_CALLBACK, nullptr), TWRC_FAILURE);
    EXPECT_EQ(app.status(), TWCC_BADVALUE);
    EXPECT_EQ(app.call(nullptr, DG_CONTROL, DAT_STATUS, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(app.call(nullptr, DG_CONTROL, DAT_PARENT, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(app.status(), TWCC_BADPROTOCOL);
    EXPECT_EQ(app.call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT, &status), TWRC_FAILURE);
    EXPECT_EQ(app.status(), TWCC_BADPROTOCOL);

    TW_IDENTITY source;
    ASSERT_EQ(app.open("Test Source A", source), TWRC_SUCCESS);
    TW_UINT16 group = 0;
    EXPECT_EQ(app.call(&source, DG_CONTROL, DAT_XFERGROUP, MSG_GET, &group), TWRC_FAILURE);
    EXPECT_EQ(app.call(&source, DG_CONTROL, DAT_DEVICEEVENT, MSG_GET, &status), TWRC_SUCCESS)
        << "the manager and the data source still work after the exception";
}

TEST_F(SourceManager, TellsOnlyTwain2ApplicationsThatItIsTwain2) {
    Application older("TWAIN 1 App");
    ASSERT_EQ(older.openManager(), TWRC_SUCCESS);
    EXPECT_EQ(older.identity().SupportedGroups & DF_DSM2, 0u);

    Application app("TWAIN 2 App");
    app.identity().SupportedGroups |= DF_APP2;
    ASSERT_EQ(app.openManager(), TWRC_SUCCESS);
    EXPECT_NE(app.identity().SupportedGroups & DF_DSM2, 0u);
}

TEST_F(SourceManager, GivesApplicationsItsEntryPointsAndMemory) {
    Application app("TWAIN 2 App");
    TW_ENTRYPOINT points{};
    points.Size = sizeof points;
    EXPECT_EQ(app.call(nullptr, DG_CONTROL, DAT_ENTRYPOINT, MSG_GET, &points), TWRC_FAILURE)
        << "before MSG_OPENDSM";
    ASSERT_EQ(app.openManager(), TWRC_SUCCESS);
    ASSERT_EQ(app.call(nullptr, DG_CONTROL, DAT_ENTRYPOINT, MSG_GET, &points), TWRC_SUCCESS);
    // Copied out: in the packed record the pointers sit on 2-byte boundaries.
    const TW_UINT32 size = points.Size;
    const auto entry = points.DSM_Entry;
    const DSM_MEMALLOCATE allocate = points.DSM_MemAllocate;
    const DSM_MEMFREE release = points.DSM_MemFree;
    const DSM_MEMLOCK lock = points.DSM_MemLock;
    const DSM_MEMUNLOCK unlock = points.DSM_MemUnlock;
    EXPECT_EQ(size, sizeof(TW_ENTRYPOINT));
    EXPECT_EQ(entry, &DSM_Entry);
    ASSERT_TRUE(allocate && release && lock && unlock);
    TW_HANDLE block = allocate(64);
    auto* bytes = static_cast<unsigned char*>(lock(block));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::count(bytes, bytes + 64, 0), 64) << "zero-filled";
    unlock(block);
    release(block);
}

TEST_F(SourceManager, DeliversOnlyMessagesThatNameBothEnds) {
    Application app("Strict");
    ASSERT_EQ(app.openManager(), TWRC_SUCCESS);
    ASSERT_EQ(app.registerCallback(nullptr, recordingCallback, 0), TWRC_SUCCESS);
    TW_IDENTITY source;
    ASSERT_EQ(app.open("Test Source A", source), TWRC_SUCCESS);
    EXPECT_EQ(DSM_Entry(nullptr, &app.identity(), DG_CONTROL, DAT_NULL, MSG_XFERREADY, nullptr), TWRC_FAILURE)
        << "no origin";
    EXPECT_EQ(DSM_Entry(&source, nullptr, DG_CONTROL, DAT_NULL, MSG_XFERREADY, nullptr), TWRC_FAILURE)
        << "no destination";
    TW_CALLBACK old{};
    old.Message = MSG_XFERREADY;
    EXPECT_EQ(DSM_Entry(&source, nullptr, DG_CONTROL, DAT_CALLBACK, MSG_INVOKE_CALLBACK, &old), TWRC_FAILURE)
        << "the other platform's way";
    EXPECT_TRUE(received.messages.empty());
    EXPECT_EQ(DSM_Entry(&source, &app.identity(), DG_CONTROL, DAT_NULL, MSG_CLOSEDSREQ, nullptr),
              TWRC_SUCCESS);
    EXPECT_EQ(received.messages, std::vector<TW_UINT16>{MSG_CLOSEDSREQ});
}

TEST_F(SourceManager, RefusesADataSourceThatTakesAnotherId) {
    testing::internal::CaptureStderr();
    Application app("Victim");
    ASSERT_EQ(app.openManager(), TWRC_SUCCESS);
    TW_IDENTITY source;
    EXPECT_EQ(app.open("Overwriting Source", source), TWRC_FAILURE);
    EXPECT_EQ(app.status(), TWCC_OPERATIONERROR);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("changed its Id"), std::string::npos);
}

// A data source is in memory only while it is open: listed, it is asked and unloaded; closed, it goes.
TEST_F(SourceManager, LoadsADataSourceOnlyWhileItIsOpen) {
    const fs::path file = folder / "testsource_b.ds";
    const auto loaded = [&] {
        void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_NOLOAD);
        if (library)
            dlclose(library);
        return library != nullptr;
    };
    Application app("Tidy");
    ASSERT_EQ(app.openManager(), TWRC_SUCCESS);
    EXPECT_EQ(productNames(app.list()).size(), 4u);
    EXPECT_FALSE(loaded()) << "after listing";
    TW_IDENTITY source;
    ASSERT_EQ(app.open("Test Source B", source), TWRC_SUCCESS);
    EXPECT_TRUE(loaded());
    ASSERT_EQ(app.close(source), TWRC_SUCCESS);
    EXPECT_FALSE(loaded()) << "after MSG_CLOSEDS";
    ASSERT_EQ(app.open("Refusing Source", source), TWRC_FAILURE);
    EXPECT_FALSE(dlopen((folder / "z" / "refusing.ds").c_str(), RTLD_NOW | RTLD_NOLOAD))
        << "after a refused MSG_OPENDS";
}

} // namespace
