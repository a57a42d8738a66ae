// The host side of the data source: which application is calling, notifications answered under
// "Result"/"Code", when settings are saved, when a data source counts as part of its host, and the
// helpers for names and the measurement system.
#include "HostIntegration.h"
#include "ClientApp.h"
#include "EmbeddingHost.h"
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

// Messages become "DSM Notification" only for the maker's own application that registered itself as the
// embedding host; any other program gets them through its manager, wherever it or the data source lies.
TEST_F(HostNotifications, OnlyTheMakersRegisteredApplicationTakesMessagesAsNotifications) {
    Open();
    std::vector<std::optional<std::uint16_t>> posted; // "MSG" of each notification
    fnd::NotificationCenter::defaultCenter().addObserver(
        this, "DSM Notification", [&](const fnd::Notification& n) {
            posted.push_back(n.userInfo ? n.userInfo->get("MSG").asUInt16() : std::nullopt);
        });
    test::StandInManager::messages.clear();
    TW_CALLBACK callback{};
    callback.Message = MSG_XFERREADY;
    const auto send = [&] { return mDS->CDataSource::InvokeCallback(callback, fnd::Value::absent()); };

    EXPECT_EQ(send(), TWRC_SUCCESS);
    fnd::registerEmbeddingHost("org.example.viewer");
    EXPECT_EQ(send(), TWRC_SUCCESS);
    EXPECT_EQ(test::StandInManager::messages, (std::vector<TW_UINT16>{MSG_XFERREADY, MSG_XFERREADY}));
    EXPECT_TRUE(posted.empty());

    fnd::registerEmbeddingHost("com.orvikElectronics.tollivar");
    EXPECT_EQ(send(), TWRC_SUCCESS);
    fnd::unregisterEmbeddingHost();
    fnd::NotificationCenter::defaultCenter().removeObserver(this);
    EXPECT_EQ(test::StandInManager::messages.size(), 2u) << "no manager call when embedded";
    EXPECT_EQ(posted, (std::vector<std::optional<std::uint16_t>>{MSG_INVOKE_CALLBACK}));
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
