#include "plugin/RTL/PcbApi.h"

#include <array>
#include <string>

#include "platform/Modules.h"

namespace strativue::PcbApi {
namespace {

constexpr int kEntryCount = static_cast<int>(detail::Id::Count);

constexpr std::array<const char*, kEntryCount> kNames = {
#define STRATIVUE_PCBAPI_NAME(name, result, params) "PcbApi_" #name,
    ABI_PCBAPI_TYPED_FUNCTIONS(STRATIVUE_PCBAPI_NAME)
#undef STRATIVUE_PCBAPI_NAME
};

}  // namespace

namespace detail {
EntryTable entryTable;
}  // namespace detail

void Bind() {
  detail::EntryTable& table = detail::entryTable;
  if (table.bound) return;
  const platform::ModuleHandle module = platform::FindLoadedModule(kEditorModule);
  if (!module) return;
  for (int i = 0; i < kEntryCount; ++i) table.entries[i] = platform::FindFunction(module, kNames[i]);
  table.bound = true;
}

bool IsBound() { return detail::entryTable.bound; }

void Unbind() { detail::entryTable = detail::EntryTable{}; }

void* Lookup(const char* name) {
  const std::string prefixed = std::string("PcbApi_") + name;
  for (int i = 0; i < kEntryCount; ++i)
    if (prefixed == kNames[i]) return detail::Entry(static_cast<detail::Id>(i));
  return nullptr;
}

void* ReplaceEntry(const char* name, void* entry) {
  const std::string prefixed = std::string("PcbApi_") + name;
  for (int i = 0; i < kEntryCount; ++i) {
    if (prefixed != kNames[i]) continue;
    void* previous = detail::Entry(static_cast<detail::Id>(i));
    detail::entryTable.entries[i] = entry;
    return previous;
  }
  return nullptr;
}

}  // namespace strativue::PcbApi
