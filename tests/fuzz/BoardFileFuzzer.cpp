// Feeds arbitrary bytes to the board-file reader. Whatever it accepts must
// write out, read back, and write out again to the very same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "editor/BoardFile.h"

namespace {

std::string Write(const brelix::BoardFileContents& contents) {
  std::vector<const brelix::EditorObject*> objects;
  for (const auto& object : contents.objects) objects.push_back(&object);
  return brelix::WriteBoardFile(contents.board, objects);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string written;
  try {
    written = Write(brelix::ReadBoardFile(text, "fuzz.board.json"));
  } catch (const brelix::BoardFileError&) {
    return 0;
  }
  try {
    if (Write(brelix::ReadBoardFile(written, "rewritten.board.json")) != written) std::abort();
  } catch (const brelix::BoardFileError&) {
    std::abort();  // the editor refused its own output
  }
  return 0;
}
