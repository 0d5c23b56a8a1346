// Binding to the PCB editor's flat functions.
//
// The editor module is already loaded in the host process; the binding finds
// it (never loads it) and resolves every PcbApi_ name. Each wrapper below has
// the editor function's name without the prefix: PcbApi::QueryBoard(...)
// calls PcbApi_QueryBoard. While the editor module has not been found, every
// call first tries to bind again. A call whose function is missing does
// nothing and answers 0, false or no handle; QueryBoardSplitPlaneMode and
// QueryBoardLayerPairsCount answer 1 instead.
#pragma once

#include <array>
#include <type_traits>
#include <utility>

#include "abi/ModuleFiles.h"
#include "abi/PcbApiFunctions.h"

namespace strativue::PcbApi {

// The editor module's file name.
inline constexpr const char* kEditorModule = qvabi::kEditorModuleFile;

// Finds the editor module and resolves every name, unless the module was
// found before. Runs at load and at every run of the command.
void Bind();
// True once the editor module has been found.
bool IsBound();
// Forgets the module and every entry, so that the next call binds again.
void Unbind();
// The entry of any PcbApi_ name, given without the prefix; nil when missing
// or unknown.
void* Lookup(const char* name);
// Puts `entry` in place of the function `name` (without the prefix), binding
// first, so that a measurement or a test can count or stand in for the
// editor's calls. Answers the entry it replaced; nil, and nothing replaced,
// for an unknown name. Unbind and Bind bring back the editor's own.
void* ReplaceEntry(const char* name, void* entry);

namespace detail {
enum class Id : int {
#define STRATIVUE_PCBAPI_ID(name, result, params) name,
  ABI_PCBAPI_TYPED_FUNCTIONS(STRATIVUE_PCBAPI_ID)
#undef STRATIVUE_PCBAPI_ID
      Count
};
// Every entry by Id, and whether the module was found; Bind fills it. Read
// inline on every call, so that a call costs one load beyond the editor's.
struct EntryTable {
  bool bound = false;
  std::array<void*, static_cast<int>(Id::Count)> entries{};
};
extern EntryTable entryTable;

// The entry for `id`, binding first while the module is not found yet.
inline void* Entry(Id id) {
  if (!entryTable.bound) [[unlikely]]
    Bind();
  return entryTable.entries[static_cast<int>(id)];
}

template <typename Result>
Result MissingResult(Id id) {
  if constexpr (std::is_pointer_v<Result>) {
    return nullptr;
  } else {
    const bool answersOne = id == Id::QueryBoardSplitPlaneMode || id == Id::QueryBoardLayerPairsCount;
    return static_cast<Result>(answersOne ? 1 : 0);
  }
}
}  // namespace detail

#define STRATIVUE_PCBAPI_WRAPPER(name, result, params)                                        \
  template <typename... Args>                                                                 \
  inline result name(Args&&... args) {                                                        \
    auto* fn = reinterpret_cast<::qvabi::pcbapi::name##_t*>(detail::Entry(detail::Id::name)); \
    if constexpr (std::is_void_v<result>) {                                                   \
      if (fn) fn(std::forward<Args>(args)...);                                                \
    } else {                                                                                  \
      if (!fn) return detail::MissingResult<result>(detail::Id::name);                        \
      return fn(std::forward<Args>(args)...);                                                 \
    }                                                                                         \
  }
ABI_PCBAPI_TYPED_FUNCTIONS(STRATIVUE_PCBAPI_WRAPPER)
#undef STRATIVUE_PCBAPI_WRAPPER

}  // namespace strativue::PcbApi
