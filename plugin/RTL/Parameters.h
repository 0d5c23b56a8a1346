// Command parameter strings: pieces Name=Value separated by "|".
//
// A lookup parses the string into the process-wide list and keeps a copy of
// it, so asking several names of one string parses it only once. Lookups run
// on the host's main thread only: nothing here is locked.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "abi/Types.h"

namespace strativue {

struct TParameter {
  std::string Name;   // trimmed, never empty
  std::string Value;  // trimmed
};

// Owns its entries, in parse order; duplicates stay.
class TParameterList {
 public:
  TParameterList() = default;
  TParameterList(const TParameterList&) = delete;
  TParameterList& operator=(const TParameterList&) = delete;

  void Clear() { items_.clear(); }
  void Add(std::string name, std::string value);
  int Count() const { return static_cast<int>(items_.size()); }
  const TParameter& operator[](int index) const { return *items_.at(static_cast<std::size_t>(index)); }

 private:
  std::vector<std::unique_ptr<TParameter>> items_;
};

// Replaces the content of `list` with the pairs of `parameters` (nil: none).
void ParseParameters(const char* parameters, TParameterList& list);

// The names match when equal after stripping control characters (below 0x20)
// at either end and folding a-z onto A-Z; no other case folding.
bool IsSameParameterName(std::string_view a, std::string_view b);

// True and the value of the first parameter called `name`; false and an empty
// value when there is none or `parameters` is nil or empty.
bool GetParameterValue(const char* parameters, std::string_view name, std::string& value);
// The same with short strings: `name` is cut to 255 characters like a short
// string, `value` is always overwritten and cut to 255 characters.
bool GetParameterValueShort(const char* parameters, std::string_view name, qvabi::ShortString& value);

// Frees the process-wide list and cached string (library unload).
void FreeProcessParameters();

// For tests: how many times a lookup has parsed a string since the last
// FreeProcessParameters, and the process-wide list (nil before first use).
int ParameterParseCount();
const TParameterList* ProcessParameterList();

}  // namespace strativue
