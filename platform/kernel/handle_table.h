// Handle values for a table of objects: they count up in steps of four from a start of the
// kind's own, as Windows hands them out, and are never reused, so a stale handle cannot reach a
// newer object. Each kind of handle has its own start, so that no handle passes for one of
// another kind.
#ifndef PLATFORM_KERNEL_HANDLE_TABLE_H
#define PLATFORM_KERNEL_HANDLE_TABLE_H

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>

// The values of one kind, counted for the whole process rather than per machine: every
// machine's table of the kind draws from it, so that a handle of one machine never names an
// object of another, not even once its own machine is gone.
class HandleSeries {
  public:
    constexpr explicit HandleSeries(uintptr_t first) : next_(first) {}
    uintptr_t Next() {
        const uintptr_t value = next_;
        next_ += 4;
        return value;
    }

  private:
    uintptr_t next_;
};

template <class Object> class HandleTable {
  public:
    explicit HandleTable(HandleSeries &series) : series_(&series) {}

    void *Add(std::shared_ptr<Object> object) {
        const uintptr_t value = series_->Next();
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
    HandleSeries *series_;
};

#endif
