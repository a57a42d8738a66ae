// Registry of the objects the library hands out through records' handle words. It owns them, so a word a
// caller made up, or one already released, is refused instead of being dereferenced or freed twice.
#pragma once

#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>
#include <utility>

template <typename T> class LiveHandles {
public:
    // Takes the object; its address is the handle word. Throws std::bad_alloc (the object is then freed).
    T* add(std::unique_ptr<T> object) {
        T* handle = object.get();
        if (handle) {
            std::lock_guard lock(m_mutex);
            m_live.emplace(handle, std::move(object));
        }
        return handle;
    }
    // The live object behind a handle word; null for any other word.
    T* find(const void* handle) const {
        std::lock_guard lock(m_mutex);
        const auto it = m_live.find(handle);
        return it != m_live.end() ? it->second.get() : nullptr;
    }
    // Destroys the object behind a handle word; false when the word was not live.
    bool release(const void* handle) {
        std::unique_ptr<T> gone;
        {
            std::lock_guard lock(m_mutex);
            const auto it = m_live.find(handle);
            if (it == m_live.end())
                return false;
            gone = std::move(it->second);
            m_live.erase(it);
            // An empty table gives its buckets back: a registry that outlives an unload holds no memory.
            if (m_live.empty())
                decltype(m_live)().swap(m_live);
        }
        return true;
    }

private:
    mutable std::mutex m_mutex;
    std::unordered_map<const void*, std::unique_ptr<T>> m_live;
};

// A registry that is never destroyed: page pipelines kept in globals release their handles from their
// destructors at exit or unload, which may run after this library's own globals are gone. Only the empty
// table itself, without memory of its own, outlives an unload.
template <typename T> class LastingHandles {
public:
    LastingHandles() { ::new (static_cast<void*>(m_storage)) LiveHandles<T>(); }
    LiveHandles<T>& operator*() noexcept {
        return *std::launder(reinterpret_cast<LiveHandles<T>*>(m_storage));
    }
    LiveHandles<T>* operator->() noexcept { return &**this; }

private:
    alignas(LiveHandles<T>) unsigned char m_storage[sizeof(LiveHandles<T>)];
};
