// Tables one module hands another by address: only a table that a loaded
// module holds, signed and naming itself, is taken; any other address is
// refused without reading past what the check allows.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/SignedTable.h"

namespace {

struct ProbeTable {
  char signature[16];
  const ProbeTable* self;
  int (*answer)();
};

constexpr char kProbeSignature[16] = "Probe/1";

int Answer() { return 42; }

const ProbeTable kGenuine{{'P', 'r', 'o', 'b', 'e', '/', '1'}, &kGenuine, &Answer};
const ProbeTable kOtherSignature{{'P', 'r', 'o', 'b', 'e', '/', '2'}, &kOtherSignature, &Answer};
const ProbeTable kSignaturePrefix{{'P', 'r', 'o', 'b', 'e'}, &kSignaturePrefix, &Answer};
const ProbeTable kNamesAnother{{'P', 'r', 'o', 'b', 'e', '/', '1'}, &kGenuine, &Answer};

uintptr_t AddressOf(const void* table) { return reinterpret_cast<uintptr_t>(table); }

TEST(SignedTable, AGenuineTableInALoadedModuleIsTaken) {
  const ProbeTable* found = platform::SignedTableAt<ProbeTable>(AddressOf(&kGenuine), kProbeSignature);
  ASSERT_EQ(found, &kGenuine);
  EXPECT_EQ(found->answer(), 42);
}

TEST(SignedTable, AnyOtherAddressIsRefused) {
  // Perfect copies, naming themselves, outside every module.
  alignas(ProbeTable) unsigned char stack[sizeof(ProbeTable)];
  auto* onStack = reinterpret_cast<ProbeTable*>(stack);
  std::memcpy(onStack, &kGenuine, sizeof kGenuine);
  onStack->self = onStack;
  auto onHeap = std::make_unique<ProbeTable>(kGenuine);
  onHeap->self = onHeap.get();

  struct Case {
    std::string what;
    uintptr_t address;
  };
  const std::vector<Case> cases = {
      {"a copy on the stack", AddressOf(onStack)},
      {"a copy on the heap", AddressOf(onHeap.get())},
      {"another signature", AddressOf(&kOtherSignature)},
      {"the signature's beginning only", AddressOf(&kSignaturePrefix)},
      {"a table naming another", AddressOf(&kNamesAnother)},
      {"inside a genuine table", AddressOf(&kGenuine) + 1},
      {"nil", 0},
      {"the last address", UINTPTR_MAX},
      {"the last aligned address", UINTPTR_MAX - UINTPTR_MAX % alignof(ProbeTable)},
  };
  for (const Case& c : cases)
    EXPECT_EQ(platform::SignedTableAt<ProbeTable>(c.address, kProbeSignature), nullptr) << c.what;
}

}  // namespace
