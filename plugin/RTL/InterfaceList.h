// A list of interface references that owns one reference per entry and
// guards every operation with its own lock. Every host call reaches it on
// the UI thread; the lock is for the thread the host unloads the module
// from, which releases the server module (and so these lists) there and
// need not be the UI thread.
#pragma once

#include <cstddef>
#include <mutex>
#include <vector>

#include "abi/Unknown.h"
#include "plugin/RTL/Exceptions.h"

namespace strativue {

template <typename I>
class TInterfaceList {
 public:
  TInterfaceList() = default;
  TInterfaceList(const TInterfaceList&) = delete;
  TInterfaceList& operator=(const TInterfaceList&) = delete;

  // Appends `item` with a reference of its own; nil is not stored.
  void Add(I* item) {
    if (!item) return;
    std::lock_guard lock(lock_);
    items_.push_back(qvabi::ComPtr<I>::Share(item));
  }
  // Removes the first entry that is `item`; an absent item is no error.
  void Remove(I* item) {
    qvabi::ComPtr<I> removed;
    {
      std::lock_guard lock(lock_);
      for (auto it = items_.begin(); it != items_.end(); ++it) {
        if (it->get() != item) continue;
        removed = std::move(*it);
        items_.erase(it);
        break;
      }
    }
  }
  int Count() const {
    std::lock_guard lock(lock_);
    return static_cast<int>(items_.size());
  }
  // The entry at `index` with a new reference; raises ERangeError outside
  // 0..Count()-1.
  qvabi::ComPtr<I> Get(int index) const {
    std::lock_guard lock(lock_);
    if (index < 0 || static_cast<std::size_t>(index) >= items_.size())
      throw ERangeError("List index out of bounds (" + std::to_string(index) + ")");
    return items_[static_cast<std::size_t>(index)];
  }
  // Releases every entry, outside the lock: a release may call back.
  void Clear() {
    std::vector<qvabi::ComPtr<I>> released;
    {
      std::lock_guard lock(lock_);
      released.swap(items_);
    }
  }

 private:
  mutable std::mutex lock_;
  std::vector<qvabi::ComPtr<I>> items_;
};

}  // namespace strativue
