// The host side of the data source: which application is calling, notifications answered under
// "Result"/"Code", when settings are saved, where a data source counts as part of its host, and the
// helpers for names and the measurement system.
#include "HostIntegration.h"
#include "ClientApp.h"
#include "NotificationCenter.h"
#include "QSDataSource.h"
#include "UIController.h"

namespace {

using test::QSDataSourceTest;

TW_IDENTITY Identity(const char* manufacturer, const char* product, bool lengthPrefixed) {
    TW_IDENTITY identity{};
    if (lengthPrefixed) {
        test::SetIdentityText(identity.Manufacturer, manufacturer);
        test::SetIdentityText(identity.ProductName, product);
    } else {
        std::strncpy(identity.Manufacturer, manufacturer, sizeof identity.Manufacturer - 1);
        std::strncpy(identity.ProductName, product, sizeof identity.ProductName - 1);
    }
    return identity;
}

struct ClientCase {
    const char* manufacturer;
    const char* product;
    bool lengthPrefixed;
    std::int32_t id;
};

TEST(ClientApp, SignatureTableGivesTheClientIds) {
    const ClientCase cases[] = {
        {"Apple Computer", "TWAINBridge", true, 1},
        {"Apple Computer, Inc.", "Image Capture TWAIN", true, 2}, // row 2 before row 3
        {"Apple Inc.", "Image Capture TWAIN", true, 3},
        {"Adobe", "Adobe Acrobat 9", true, 7},
        {"Adobe Systems, Inc.", "Adobe Photoshop CS3", true, 5},
        {"Adobe", "Adobe Reader", true, 4},
        {"Adobe", "Adobe Reader", false, 8},
        {"Microsoft", "Microsoft Word", false, 6},
        {"NewSoftInc", "ScanModule", true, 9},
        {"Orvik Electronics", "Anything", true, 10},
        {"Orvik Electronics", "Anything", false, 10}, // on Linux its identity is zero-terminated
        {"Orvik", "Anything", true, 0},
        {"", "Anything", true, 0},
        {"Some Maker", "Adobe", true, 0},
    };
    for (const ClientCase& c : cases) {
        const CClientApp client(Identity(c.manufacturer, c.product, c.lengthPrefixed));
        EXPECT_EQ(client.ClientId(), c.id) << c.manufacturer << " / " << c.product;
    }
}

TEST(ClientApp, ClientIdsChooseTheirBehaviour) {
    const CClientApp office(Identity("Microsoft", "Microsoft Word", true));
    EXPECT_TRUE(office.IsDisableDetectPageType());
    EXPECT_FALSE(office.RequireNextTransferRequest());
    const CClientApp photo(Identity("Adobe Systems, Inc.", "Adobe Photoshop CS3", true));
    EXPECT_TRUE(photo.RequireNextTransferRequest());
    const CClientApp own(Identity("Orvik Electronics", "Tollivar", true));
    EXPECT_FALSE(own.IsDisableDetectPageType());
    EXPECT_FALSE(own.RequireNextTransferRequest());
    EXPECT_FALSE(own.IsBackgroundOnly());

    CClientApp::BeginSession(Identity("NewSoftInc", "ScanModule", true));
    EXPECT_EQ(CClientApp::CurrentId(), 9);
    CClientApp::EndSession();
    EXPECT_EQ(CClientApp::CurrentId(), 0);
}

class HostNotifications : public QSDataSourceTest {
protected:
    // Posts like the dialog does and answers the code left under "Result".
    std::optional<std::uint16_t> Post(const char* name, const fnd::Value& object = fnd::Value::absent()) {
        fnd::Dictionary userInfo{{"Result", fnd::Dictionary()}};
        fnd::NotificationCenter::defaultCenter().post(name, object, &userInfo);
        return userInfo.get("Result").asDictionary()->get("Code").asUInt16();
    }
    bool Saved() { return std::filesystem::exists(mEnv.PreferencesPath()); }
    void EnableWithDialog() {
        TW_USERINTERFACE ui{1, 0, nullptr};
        SetUIControllerFactory([] { return std::make_unique<CNullUIController>(); });
        const TW_UINT16 rc = Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
        SetUIControllerFactory(nullptr);
        ASSERT_EQ(rc, TWRC_SUCCESS);
    }
};

TEST_F(HostNotifications, DialogNotificationsBecomeCallbacksWithTheirCode) {
    Open();
    EXPECT_FALSE(Post("XferReadyNotification")); // nobody listens before the enable
    EnableWithDialog();
    EXPECT_EQ(Post("CloseRequestNotification", fnd::Value(false)), TWRC_SUCCESS);
    EXPECT_FALSE(Saved());
    EXPECT_EQ(Post("CloseRequestNotification", fnd::Value(true)), TWRC_SUCCESS);
    EXPECT_TRUE(Saved());
    ASSERT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr), TWRC_SUCCESS);
    EXPECT_FALSE(Post("CloseDSOkayNotification"));
    EXPECT_EQ(mDS->callbacks, (std::vector<TW_INT16>{MSG_CLOSEDSREQ, MSG_CLOSEDSREQ}));

    EnableWithDialog();
    EXPECT_EQ(Post("XferReadyNotification"), TWRC_SUCCESS);
    EXPECT_EQ(mDS->GetState(), CDataSource::kXferReady);
    EXPECT_EQ(mDS->callbacks.back(), MSG_XFERREADY);
}

TEST_F(HostNotifications, WithoutTheDialogOnlyCloseOkaySaves) {
    Open();
    TW_USERINTERFACE ui{0, 0, nullptr};
    ASSERT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
    EXPECT_EQ(mDS->callbacks, std::vector<TW_INT16>{MSG_XFERREADY});
    EXPECT_EQ(Post("CloseRequestNotification", fnd::Value(true)), TWRC_SUCCESS);
    EXPECT_FALSE(Saved());
    EXPECT_EQ(Post("DeviceEventNotification"), TWRC_SUCCESS);
    EXPECT_FALSE(Saved());
    EXPECT_EQ(Post("CloseDSOkayNotification"), TWRC_SUCCESS);
    EXPECT_TRUE(Saved());
}

TEST(HostFolder, DataSourceInsideTheProgramsFolderBelongsToIt) {
    EXPECT_TRUE(IsInsideHostFolder("/opt/app/bin/K3100.ds", "/opt/app/bin/app"));
    EXPECT_TRUE(IsInsideHostFolder("/opt/app/bin/plugins/K3100.ds", "/opt/app/bin/app"));
    EXPECT_FALSE(IsInsideHostFolder("/usr/local/lib/twain/K3100.ds", "/opt/app/bin/app"));
    EXPECT_FALSE(IsInsideHostFolder("/opt/app/lib/K3100.ds", "/opt/app/bin/app"));
    EXPECT_FALSE(IsInsideHostFolder("/opt/app/bin/app", "/opt/app/bin/app")); // linked in, not a plug-in
    EXPECT_FALSE(IsInsideHostFolder("", "/opt/app/bin/app"));
}

TEST(CapNames, NamesRoundTripThroughUtf16) {
    for (const char* name : {"", "Office",
                             "Gr\xC3\xBC\xC3\x9F"
                             "e",
                             "\xF0\x9F\x93\x84 scan"}) {
        EXPECT_EQ(DecodeCapName(EncodeCapName(name)), name);
    }
    const CapNameItem surrogatePair = EncodeCapName("\xF0\x9F\x93\x84");
    EXPECT_EQ(surrogatePair[0], 2);
    const CapNameItem cut = EncodeCapName(std::string(40, 'a'));
    EXPECT_EQ(cut[0], 32);
    CapNameItem hostile{};
    hostile[0] = 0xFF;
    EXPECT_EQ(DecodeCapName(hostile).size(), 32u); // 32 NUL units, no read past the item
    EXPECT_EQ(DecodeCapName(EncodeCapName("\xFF")), "\xEF\xBF\xBD");
}

} // namespace
