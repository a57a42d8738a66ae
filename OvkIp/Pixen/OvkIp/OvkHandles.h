// Registry of the objects the library has handed out through records' handle words, so that a
// word a caller made up, or one already released, is refused instead of being dereferenced.
#pragma once

#include <mutex>
#include <unordered_set>

template <typename T> class LiveHandles {
public:
    void add(T* object) {
        std::lock_guard lock(m_mutex);
        m_live.insert(object);
    }
    // True when the handle was live; it is not afterwards.
    bool remove(T* object) {
        std::lock_guard lock(m_mutex);
        return m_live.erase(object) != 0;
    }
    bool contains(const void* handle) const {
        std::lock_guard lock(m_mutex);
        return m_live.count(static_cast<T*>(const_cast<void*>(handle))) != 0;
    }

private:
    mutable std::mutex m_mutex;
    std::unordered_set<T*> m_live;
};
