// A process-wide object that is never destroyed. The exit handlers end statics in the reverse order of
// their making, so a module whose own statics were made earlier (a data source loaded before the first
// use of a singleton) would otherwise meet the singleton already gone; what it holds stays reachable to
// the end, so no leak is reported for it.
#pragma once

#include <new>
#include <utility>

namespace fnd {

template <typename T> class Immortal {
public:
    template <typename... Args> explicit Immortal(Args&&... args) {
        ::new (static_cast<void*>(storage_)) T(std::forward<Args>(args)...);
    }
    Immortal(const Immortal&) = delete;
    Immortal& operator=(const Immortal&) = delete;

    T& get() { return *std::launder(reinterpret_cast<T*>(storage_)); }

private:
    alignas(T) unsigned char storage_[sizeof(T)];
};

} // namespace fnd
