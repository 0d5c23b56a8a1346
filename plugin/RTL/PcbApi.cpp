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

struct Binding {
  platform::ModuleHandle module = nullptr;
  std::array<void*, kEntryCount> entries{};
};

Binding& State() {
  static Binding binding;
  return binding;
}

}  // namespace

void Bind() {
  Binding& binding = State();
  if (binding.module) return;
  binding.module = platform::FindLoadedModule(kEditorModule);
  if (!binding.module) return;
  for (int i = 0; i < kEntryCount; ++i)
    binding.entries[i] = platform::FindFunction(binding.module, kNames[i]);
}

bool IsBound() { return State().module != nullptr; }

void Unbind() { State() = Binding{}; }

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
    State().entries[i] = entry;
    return previous;
  }
  return nullptr;
}

namespace detail {
void* Entry(Id id) {
  Binding& binding = State();
  if (!binding.module) Bind();
  return binding.entries[static_cast<int>(id)];
}
}  // namespace detail

}  // namespace strativue::PcbApi
