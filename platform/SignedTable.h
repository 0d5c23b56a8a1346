// A table of plain values and plain functions that one module hands the
// others by its address alone (in a window message, in the process's shared
// values). The address comes from outside and may be stale or forged: it is
// taken only when the whole table lies inside one module loaded in this
// process, begins with the expected signature and holds its own address.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/Modules.h"

namespace platform {

// True when the `size` bytes at `address` lie inside one loaded module and
// `address` is a multiple of `alignment`.
inline bool InOneLoadedModule(uintptr_t address, std::size_t size, std::size_t alignment) {
  if (address == 0 || address % alignment != 0 || size == 0 || address > UINTPTR_MAX - (size - 1))
    return false;
  const int32_t module = ModuleInstanceOf(reinterpret_cast<const void*>(address));
  return module != 0 && ModuleInstanceOf(reinterpret_cast<const void*>(address + size - 1)) == module;
}

// The table at `address`, or nil when there is none there. `Table` begins
// with `char signature[N]` (the signature, padded with zeros) and holds
// `const Table* self`.
template <typename Table, std::size_t N>
const Table* SignedTableAt(uintptr_t address, const char (&signature)[N]) {
  static_assert(sizeof(Table::signature) == N, "the signature fills the table's signature field");
  if (!InOneLoadedModule(address, sizeof(Table), alignof(Table))) return nullptr;
  const auto* table = reinterpret_cast<const Table*>(address);
  if (std::memcmp(table->signature, signature, N) != 0 || table->self != table) return nullptr;
  return table;
}

}  // namespace platform
