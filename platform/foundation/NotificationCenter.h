// In-process notifications: observers register for a name (and optionally one object); post() calls
// every matching observer synchronously on the posting thread, in registration order. The user-info
// dictionary is the poster's own, so observers can answer in it (e.g. a "Code" inside a "Result"
// dictionary) and the poster reads the answer as soon as post() returns.
#pragma once

#include "Export.h"
#include "Value.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fnd {

struct Notification {
    std::string_view name;
    const Value& object;  // absent when the poster gave none
    Dictionary* userInfo; // may be null; owned by the poster, valid during the call only
};

class FND_EXPORT NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;

    NotificationCenter() = default;
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    static NotificationCenter& defaultCenter();

    // owner only identifies the registration for removal and is never dereferenced. With an object,
    // only posts whose object equals it (a pointer value: the same address) reach the handler.
    void addObserver(const void* owner, std::string name, Handler handler,
                     std::optional<Value> object = std::nullopt);
    // An observer removed while a post is under way is not called by that post any more.
    void removeObserver(const void* owner);
    void removeObserver(const void* owner, std::string_view name);

    // Exceptions of a handler reach the poster, like those of a direct call.
    void post(std::string_view name, const Value& object = Value::absent(), Dictionary* userInfo = nullptr);

private:
    struct Registration;
    template <typename Pred> void removeIf(Pred pred);

    std::mutex mutex_;
    std::vector<std::shared_ptr<Registration>> registrations_;
};

} // namespace fnd
