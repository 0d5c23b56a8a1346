// Feeds arbitrary text to the form-description reader. A refusal is an
// EReadError with a line within the text; what it accepts writes out to a
// description that reads back and writes out again to the very same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "toolkit/FormDescription.h"

namespace {

const toolkit::THandlerTable& Handlers() {
  static const toolkit::THandlerTable handlers = {{"FormShow", [](toolkit::TComponent*) {}},
                                                  {"ButtonOKClick", [](toolkit::TComponent*) {}},
                                                  {"ButtonCancelClick", [](toolkit::TComponent*) {}}};
  return handlers;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  int lines = 1;
  for (char c : text) lines += c == '\n' ? 1 : 0;
  std::unique_ptr<toolkit::TComponent> read;
  try {
    read = toolkit::CreateFromDescription(text, Handlers());
  } catch (const toolkit::EReadError& error) {
    if (error.Line() < 0 || error.Line() > lines) std::abort();
    return 0;
  }
  if (!read) std::abort();
  const std::string written = toolkit::WriteComponent(*read);
  read.reset();
  try {
    const std::unique_ptr<toolkit::TComponent> again = toolkit::CreateFromDescription(written, Handlers());
    if (toolkit::WriteComponent(*again) != written) std::abort();
  } catch (const toolkit::EReadError&) {
    std::abort();  // the reader refused the writer's own text
  }
  return 0;
}
