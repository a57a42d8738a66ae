// Notifications: answers travel back in the user info, objects filter observers, and observers can be
// removed, even by one another in the middle of a post.
#include "NotificationCenter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace fnd;

TEST(NotificationCenter, ObserverAnswersThroughTheUserInfo) {
    NotificationCenter center;
    int owner = 0;
    center.addObserver(&owner, "XferReadyNotification", [](const Notification& n) {
        if (!n.userInfo)
            return;
        if (Value* result = n.userInfo->find("Result"); result && result->asDictionary())
            result->asDictionary()->set("Code", std::uint16_t{5});
    });

    Dictionary info{{"Result", Dictionary{}}};
    center.post("XferReadyNotification", Value(), &info);
    EXPECT_EQ(info.get("Result").asDictionary()->get("Code").asUInt16(), 5);

    Dictionary withoutResult{{"Other", 1}};
    center.post("XferReadyNotification", Value(), &withoutResult);
    center.post("XferReadyNotification");
    EXPECT_EQ(withoutResult, (Dictionary{{"Other", 1}}));
}

TEST(NotificationCenter, ObjectsAndNamesSelectObservers) {
    NotificationCenter center;
    int window = 0, otherWindow = 0, owner = 0;
    std::vector<std::string> seen;
    center.addObserver(&owner, "ShowQSWindowNotification",
                       [&](const Notification&) { seen.push_back("any"); });
    center.addObserver(
        &owner, "ShowQSWindowNotification", [&](const Notification&) { seen.push_back("window"); },
        Value::pointer(&window));
    center.addObserver(&owner, "CloseRequestNotification", [&](const Notification& n) {
        seen.push_back(n.object.asBool().value_or(false) ? "save" : "keep");
    });

    center.post("ShowQSWindowNotification", Value::pointer(&window));
    center.post("ShowQSWindowNotification", Value::pointer(&otherWindow));
    center.post("CloseRequestNotification", Value(true));
    center.post("HideQSWindowNotification", Value::pointer(&window));
    EXPECT_EQ(seen, (std::vector<std::string>{"any", "window", "any", "save"}));
}

TEST(NotificationCenter, RemovalByOwnerAndNameAlsoDuringAPost) {
    NotificationCenter center;
    int first = 0, second = 0;
    std::vector<std::string> seen;
    center.addObserver(&first, "A", [&](const Notification&) {
        seen.push_back("first");
        center.removeObserver(&second); // later in the same post: must not run any more
        center.removeObserver(&first, "A");
    });
    center.addObserver(&second, "A", [&](const Notification&) { seen.push_back("second"); });
    center.addObserver(&first, "B", [&](const Notification&) { seen.push_back("first B"); });

    center.post("A");
    center.post("A");
    center.post("B");
    EXPECT_EQ(seen, (std::vector<std::string>{"first", "first B"}));

    center.removeObserver(&first);
    center.post("B");
    EXPECT_EQ(seen.size(), 2u);
}
