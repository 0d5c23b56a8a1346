// Feeds arbitrary bytes to the KiCad board reader, the one reader of files
// other programs write. A refusal names the file, and a line of the text
// whenever the text holds a list at all. An accepted board written back with
// nothing committed is the input byte for byte; written with a legend, every
// byte of the input outside the inserted group is kept (on a board without
// an earlier legend) and the reader takes its own output back, finding the
// legend there.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "editor/kicad/KicadBoard.h"

namespace {

using brelix::EditorObject;
using brelix::kicad::KicadFileError;
using brelix::kicad::KicadSource;
using brelix::kicad::ReadKicadBoard;
using brelix::kicad::WriteKicadBoard;

constexpr std::string_view kName = "fuzz.kicad_pcb";

// Stops the run, saying which rule broke.
[[noreturn]] void Broken(const char* rule, const std::string& detail = {}) {
  std::fprintf(stderr, "kicad_board_fuzzer: %s%s%s\n", rule, detail.empty() ? "" : ": ", detail.c_str());
  std::abort();
}

// "NAME: line N: REASON" with N a line of the text, or "NAME: REASON" for a
// text without any list to point at.
void CheckRefusal(std::string_view text, const std::string& message) {
  if (message.rfind(std::string(kName) + ": ", 0) != 0)
    Broken("a refusal that does not name the file", message);
  const std::string_view rest = std::string_view(message).substr(kName.size() + 2);
  if (rest.rfind("line ", 0) != 0) {
    if (text.find('(') != std::string_view::npos) Broken("a refusal that names no line", message);
    return;
  }
  const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
  std::size_t line = 0;
  std::size_t i = 5;
  for (; i < rest.size() && rest[i] >= '0' && rest[i] <= '9'; ++i) line = line * 10 + (rest[i] - '0');
  if (i == 5 || line == 0 || line > lines || rest.substr(i, 2) != ": ")
    Broken("a refusal naming a line the text does not have", message);
}

// The writer puts every legend item on the source's legend layer.
EditorObject LegendLine() {
  EditorObject line = brelix::MakeObject(qvabi::ObjectKind::Track, 0);
  line.x2 = 100000;
  line.width = 20000;
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  brelix::BoardFileContents contents;
  try {
    contents = ReadKicadBoard(text, std::string(kName));
  } catch (const KicadFileError& error) {
    CheckRefusal(text, error.what());
    return 0;
  }
  const KicadSource& source = *contents.board.kicad;
  if (source.legendLayer.empty()) return 0;  // nothing can be written until a layer is chosen
  if (WriteKicadBoard(source, {}) != text) Broken("written back with nothing committed, the board changed");

  const EditorObject line = LegendLine();
  const std::string written = WriteKicadBoard(source, {&line});
  if (source.oldLegend.empty() && source.legendReferences.empty()) {
    // The group goes in before the board's closing parenthesis; nothing else moves.
    const std::string_view before = std::string_view(text).substr(0, source.rootClose);
    const std::string_view after = std::string_view(text).substr(source.rootClose);
    if (written.size() < text.size() || written.compare(0, before.size(), before) != 0 ||
        written.compare(written.size() - after.size(), after.size(), after) != 0)
      Broken("writing the legend changed bytes outside its group");
  }
  try {
    const brelix::BoardFileContents again = ReadKicadBoard(written, "rewritten.kicad_pcb");
    if (again.board.kicad->oldLegend.empty()) Broken("the legend written is not found when read back");
  } catch (const KicadFileError& error) {
    Broken("the reader refused what the writer wrote", error.what());
  }
  return 0;
}
