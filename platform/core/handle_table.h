// Objects behind handles that are never reused, so that a stale handle is
// refused rather than mistaken for a newer object. Internal to the platform;
// the user-interface thread only.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

namespace plat {

template <typename T>
class HandleTable {
public:
    explicit HandleTable(uintptr_t first) : next_(first) {}

    template <typename H>
    H add(std::unique_ptr<T> object) {
        uintptr_t h = next_;
        next_ += 4;
        objects_[h] = std::move(object);
        return reinterpret_cast<H>(h);
    }
    template <typename H>
    T *find(H handle) const {
        auto it = objects_.find(reinterpret_cast<uintptr_t>(handle));
        return it == objects_.end() ? nullptr : it->second.get();
    }
    template <typename H>
    bool erase(H handle) {
        return objects_.erase(reinterpret_cast<uintptr_t>(handle)) != 0;
    }

private:
    std::map<uintptr_t, std::unique_ptr<T>> objects_;
    uintptr_t next_;
};

}  // namespace plat
