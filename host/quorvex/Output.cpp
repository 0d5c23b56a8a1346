#include <fstream>
#include <nlohmann/json.hpp>
#include <ostream>
#include <vector>

#include "host/quorvex/BoardSvg.h"
#include "host/quorvex/Steps.h"

namespace quorvex::cli {
namespace {

std::vector<nlohmann::json> Contents(const Session& session) {
  std::vector<nlohmann::json> objects;
  const int32_t count = session.editor.BoardObjectCount(session.board);
  for (int32_t i = 0; i < count; ++i) {
    const char* text = session.editor.DescribeObject(session.editor.BoardObjectAt(session.board, i));
    if (!text) continue;
    nlohmann::json object = nlohmann::json::parse(text, nullptr, false);
    if (object.is_object()) objects.push_back(std::move(object));
  }
  return objects;
}

bool WriteFile(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  return static_cast<bool>(file);
}

}  // namespace

StepResult WriteOutputs(Session& session) {
  if (session.board == 0) return StepResult::Next();
  const Options& options = session.options;
  if (!options.out.empty()) {
    const char* error = nullptr;
    if (!session.editor.SaveBoardFile(session.board, options.out.c_str(), &error)) {
      session.err << "quorvex: " << (error ? error : "cannot save the board to " + options.out) << '\n';
      return StepResult::Stop(kExitBadInput);
    }
  }
  if (!options.svg.empty()) {
    const std::string svg = DrawBoardSvg(Contents(session), options.board);
    if (!WriteFile(options.svg, svg)) {
      session.err << "quorvex: cannot write " << options.svg << '\n';
      return StepResult::Stop(kExitBadInput);
    }
  }
  return StepResult::Next();
}

}  // namespace quorvex::cli
