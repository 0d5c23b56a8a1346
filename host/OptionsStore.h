// The host's options store. Each section is one INI file in the host's
// per-user preference folder:
//   C:\Users\<user>\AppData\Roaming\Quorvex\Options\<Section>.ini
// holding [Group] Key=<integer> lines; Booleans are written as -1 and 0 and
// any non-zero integer reads as true. A reader for another location reads
// <location>\<Section>.ini instead. Every read goes to the file.
//
// What one writer is given lands as one change of the file when the writer
// is released: a dialog's whole choice, never part of it. The change is made
// under a lock on <Section>.ini.lock beside the file, which every process
// of the machine takes in turn, so that runs sharing one machine root never
// lose or mix each other's choices: the file holds one writer's values
// whole. A writer that failed a write stores nothing.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "abi/IClient.h"
#include "abi/Unknown.h"
#include "platform/IniFile.h"

namespace quorvex {

// The Windows path of a section's file in the default location, or in
// `location` when it is not empty. Empty for a section name that cannot be a
// file name (empty, a path separator, a character Windows forbids).
std::string OptionsFilePath(const std::string& section, const std::string& location = {});

class OptionsReader final : public qvabi::Implements<qvabi::IOptionsReader> {
 public:
  explicit OptionsReader(std::string filePath) : filePath_(std::move(filePath)) {}
  qvabi::HRESULT STDCALL ReadBoolean(qvabi::BSTR group, qvabi::BSTR key, qvabi::BOOL32 defaultValue,
                                     qvabi::BOOL32* value) override;

 private:
  std::string filePath_;
  // The file's text at the last read and its parse, kept while the text
  // stays the same: a dialog reading its values one by one parses a large
  // file once.
  std::string text_;
  std::unique_ptr<platform::IniText> parsed_;
};

class OptionsWriter final : public qvabi::Implements<qvabi::IOptionsWriter> {
 public:
  explicit OptionsWriter(std::string filePath) : filePath_(std::move(filePath)) {}
  // Stores what was written, unless a write failed.
  ~OptionsWriter() override;
  qvabi::HRESULT STDCALL WriteBoolean(qvabi::BSTR group, qvabi::BSTR key, qvabi::BOOL32 value) override;

  // Puts the values written so far into the file as one change, under the
  // section's lock; false with a one-line reason (the file is then as it
  // was). Done once: the values are forgotten either way.
  bool Store(std::string* error);

 private:
  struct Value {
    std::string group;
    std::string key;
    std::string text;
  };
  std::string filePath_;
  std::vector<Value> values_;
  bool failed_ = false;
};

class OptionsManager final : public qvabi::Implements<qvabi::IOptionsManager> {
 public:
  qvabi::HRESULT STDCALL GetOptionsReader(qvabi::BSTR section, qvabi::BSTR location,
                                          qvabi::IOptionsReader** reader) override;
  qvabi::HRESULT STDCALL GetOptionsWriter(qvabi::BSTR section, qvabi::IOptionsWriter** writer) override;
};

}  // namespace quorvex
