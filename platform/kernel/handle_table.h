// Handle values for a table of objects: they count up in steps of four from a start of the
// table's own, as Windows hands them out, and are never reused within a machine's life, so a
// stale handle cannot reach a newer object. Each kind of handle has its own start, so that no
// handle passes for one of another kind.
#ifndef PLATFORM_KERNEL_HANDLE_TABLE_H
#define PLATFORM_KERNEL_HANDLE_TABLE_H

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>

template <class Object> class HandleTable {
  public:
    explicit HandleTable(uintptr_t first) : next_(first) {}

    void *Add(std::shared_ptr<Object> object) {
        const uintptr_t value = next_;
        next_ += 4;
        objects_.emplace(value, std::move(object));
        return reinterpret_cast<void *>(value);
    }
    std::shared_ptr<Object> Find(const void *handle) const {
        const auto found = objects_.find(reinterpret_cast<uintptr_t>(handle));
        return found == objects_.end() ? nullptr : found->second;
    }
    // The object taken out of the table, to be released by the caller once it is done.
    std::shared_ptr<Object> Remove(const void *handle) {
        const auto found = objects_.find(reinterpret_cast<uintptr_t>(handle));
        if (found == objects_.end()) {
            return nullptr;
        }
        std::shared_ptr<Object> removed = std::move(found->second);
        objects_.erase(found);
        return removed;
    }
    size_t Count() const {
        return objects_.size();
    }

  private:
    std::unordered_map<uintptr_t, std::shared_ptr<Object>> objects_;
    uintptr_t next_;
};

#endif
