// Feeds arbitrary parameter strings to the parameter parser and checks what
// every lookup must keep: no crash, short values within 255 characters, a
// second lookup on the same string served from the cache, and every parsed
// name found again with its first value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "plugin/RTL/Parameters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace strativue;
  const std::string parameters(reinterpret_cast<const char*>(data),
                               size);  // cut at the first zero by c_str()
  std::string value;
  qvabi::ShortString shortValue;
  GetParameterValue(parameters.c_str(), "CopperHeight", value);
  const int parses = ParameterParseCount();
  GetParameterValueShort(parameters.c_str(), "Type", shortValue);
  if (ParameterParseCount() != parses) std::abort();
  if (shortValue.length() > 255) std::abort();

  const TParameterList* list = ProcessParameterList();
  if (list != nullptr && parameters.c_str()[0] != '\0') {
    for (int i = 0; i < list->Count(); ++i) {
      const TParameter& parameter = (*list)[i];
      if (parameter.Name.empty()) std::abort();
      if (!GetParameterValue(parameters.c_str(), parameter.Name, value)) std::abort();
      int first = 0;
      while (!IsSameParameterName((*list)[first].Name, parameter.Name)) ++first;
      if (value != (*list)[first].Value) std::abort();
    }
  }
  FreeProcessParameters();
  return 0;
}
