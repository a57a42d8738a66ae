// The scanner's data source for tests: a private settings folder ($XDG_CONFIG_HOME), the data source's
// bundle resources (those built beside K3100.ds) found through $K3100_BUNDLE_PATH, a private lock folder, no
// device, and callbacks recorded instead of sent. QSDataSourceTest opens it and sends capability triplets.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "CapHelpers.h"
#include "CapNames.h"
#include "Containers.h"
#include "FixedPoint.h"
#include "LockDir.h"
#include "OrvkQSDS.h"
#include "PreferencesFile.h"
#include "QSCapIds.h"
#include "TripletTest.h"

namespace test {

// An identity string in its length-prefixed form.
inline void SetIdentityText(TW_STR32& field, const char* text) {
    std::memset(field, 0, sizeof field);
    field[0] = static_cast<char>(std::strlen(text));
    std::memcpy(field + 1, text, std::strlen(text));
}

class CTestQSDS : public COrvkQSDS {
public:
    std::vector<TW_INT16> callbacks;

    bool SetupScanner() override { return true; }
    void TerminateScanner() override {}
    TW_UINT16 InvokeCallback(TW_CALLBACK& callback, const fnd::Value&) override {
        callbacks.push_back(callback.Message);
        return TWRC_SUCCESS;
    }
    void SetDetectedPageSize(SScanSize size) { mDetectedPageSize = size; }
};

// Settings and resources of one test; every variable it sets is restored on destruction.
class QSEnvironment {
public:
    QSEnvironment() {
        namespace fs = std::filesystem;
        setenv("XDG_CONFIG_HOME", mDir.Path().c_str(), 1);
        // The data source is linked into this program, so its bundle is this program's.
        const fs::path program = fs::read_symlink("/proc/self/exe");
        const char* build = std::getenv("K3100_BUILD_DIR");
        const fs::path resources = fs::path(build ? build : ".") / "lib" / "K3100.resources";
        fs::create_directory_symlink(resources,
                                     fs::path(mDir.Path()) / (program.stem().string() + ".resources"));
        setenv("K3100_BUNDLE_PATH", mDir.Path().c_str(), 1);
        unsetenv("LC_ALL");
        unsetenv("LC_MEASUREMENT");
        setenv("LANG", "C", 1);
    }
    ~QSEnvironment() {
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("K3100_BUNDLE_PATH");
    }
    std::filesystem::path PreferencesPath() const {
        return std::filesystem::path(mDir.Path()) / "com.orvikElectronics.k3100.plist";
    }

private:
    LockDir mDir;
};

class QSDataSourceTest : public TripletTest {
protected:
    CDataSource& Source() override { return *mDS; }
    // Opens as the application named by manufacturer and product (length-prefixed strings).
    void Open(const char* manufacturer = "Test Maker", const char* product = "Test Scan") {
        SetIdentityText(mApp.Manufacturer, manufacturer);
        SetIdentityText(mApp.ProductName, product);
        ASSERT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, nullptr), TWRC_SUCCESS);
    }
    void Close() { ASSERT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr), TWRC_SUCCESS); }
    TW_UINT16 SetInt(TW_UINT16 id, TW_INT32 value) { return SetOne(id, TWTY_INT32, value); }
    TW_UINT16 SetFix(TW_UINT16 id, float value) { return SetOne(id, TWTY_FIX32, FloatToFix32(value)); }
    TW_UINT16 SetBool(TW_UINT16 id, bool value) { return SetOne(id, TWTY_BOOL, TW_BOOL{value}); }

    CCapPool* Pool() { return mDS->GetCapPool(); }
    std::int32_t Int(TW_UINT16 id) { return GetCapSIntValue(Pool(), id); }
    float Float(TW_UINT16 id) { return GetCapFloatValue(Pool(), id); }

    QSEnvironment mEnv;
    std::unique_ptr<CTestQSDS> mDS = std::make_unique<CTestQSDS>();
};

} // namespace test
