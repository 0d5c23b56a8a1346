// The host's options store. Each section is one INI file in the host's
// per-user preference folder:
//   C:\Users\<user>\AppData\Roaming\Quorvex\Options\<Section>.ini
// holding [Group] Key=<integer> lines; Booleans are written as -1 and 0 and
// any non-zero integer reads as true. A reader for another location reads
// <location>\<Section>.ini instead. Every read goes to the file, every write
// lands at once.
#pragma once

#include <string>

#include "abi/Client.h"
#include "abi/Unknown.h"

namespace quorvex {

// The Windows path of a section's file in the default location, or in
// `location` when it is not empty. Empty for a section name that cannot be a
// file name (empty, a path separator, a character Windows forbids).
std::string OptionsFilePath(const std::string& section, const std::string& location = {});

class OptionsReader final : public abi::Implements<abi::IOptionsReader> {
 public:
  explicit OptionsReader(std::string filePath) : filePath_(std::move(filePath)) {}
  abi::HRESULT STDCALL ReadBoolean(abi::BSTR group, abi::BSTR key, abi::BOOL32 defaultValue,
                                   abi::BOOL32* value) override;

 private:
  std::string filePath_;
};

class OptionsWriter final : public abi::Implements<abi::IOptionsWriter> {
 public:
  explicit OptionsWriter(std::string filePath) : filePath_(std::move(filePath)) {}
  abi::HRESULT STDCALL WriteBoolean(abi::BSTR group, abi::BSTR key, abi::BOOL32 value) override;

 private:
  std::string filePath_;
};

class OptionsManager final : public abi::Implements<abi::IOptionsManager> {
 public:
  abi::HRESULT STDCALL GetOptionsReader(abi::BSTR section, abi::BSTR location,
                                        abi::IOptionsReader** reader) override;
  abi::HRESULT STDCALL GetOptionsWriter(abi::BSTR section, abi::IOptionsWriter** writer) override;
};

}  // namespace quorvex
