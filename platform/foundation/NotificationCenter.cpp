// Posting copies the matching registrations before calling them, so handlers may add or remove
// observers (themselves included) without invalidating the walk; a cleared flag skips removed ones.
#include "NotificationCenter.h"

#include "Immortal.h"

#include <algorithm>
#include <atomic>

namespace fnd {

struct NotificationCenter::Registration {
    const void* owner;
    std::string name;
    Handler handler;
    std::optional<Value> object;
    std::atomic<bool> active{true};

    bool matches(std::string_view n, const Value& o) const { return name == n && (!object || *object == o); }
};

NotificationCenter& NotificationCenter::defaultCenter() {
    static Immortal<NotificationCenter> center;
    return center.get();
}

void NotificationCenter::addObserver(const void* owner, std::string name, Handler handler,
                                     std::optional<Value> object) {
    if (!handler)
        return;
    auto r = std::make_shared<Registration>();
    r->owner = owner;
    r->name = std::move(name);
    r->handler = std::move(handler);
    r->object = std::move(object);
    std::lock_guard lock(mutex_);
    registrations_.push_back(std::move(r));
}

template <typename Pred> void NotificationCenter::removeIf(Pred pred) {
    std::lock_guard lock(mutex_);
    std::erase_if(registrations_, [&](const std::shared_ptr<Registration>& r) {
        if (!pred(*r))
            return false;
        r->active = false;
        return true;
    });
}

void NotificationCenter::removeObserver(const void* owner) {
    removeIf([&](const Registration& r) { return r.owner == owner; });
}

void NotificationCenter::removeObserver(const void* owner, std::string_view name) {
    removeIf([&](const Registration& r) { return r.owner == owner && r.name == name; });
}

void NotificationCenter::post(std::string_view name, const Value& object, Dictionary* userInfo) {
    std::vector<std::shared_ptr<Registration>> matching;
    {
        std::lock_guard lock(mutex_);
        for (const auto& r : registrations_)
            if (r->matches(name, object))
                matching.push_back(r);
    }
    const Notification note{name, object, userInfo};
    for (const auto& r : matching)
        if (r->active)
            r->handler(note);
}

} // namespace fnd
