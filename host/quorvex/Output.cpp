#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <vector>

#include "host/quorvex/BoardSvg.h"
#include "host/quorvex/Reporting.h"
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

}  // namespace

StepResult WriteOutputs(Session& session) {
  if (session.board == 0) return StepResult::Next();
  const Options& options = session.options;
  std::string error;
  auto fail = [&](const std::string& reason) {
    ReportError(session, reason);
    return StepResult::Stop(kExitBadInput);
  };
  // An output that failed during the run (the dialog's drawing), or an
  // argument found bad then, leaves every output unwritten.
  if (session.outputFailed || session.badArgument) return StepResult::Stop(kExitBadInput);
  // Every output is complete before any of them replaces a file.
  // The board as saved to `path`, staged; a reason in `error` otherwise.
  auto stageBoard = [&](const std::string& path) {
    const char* why = nullptr;
    const char* text = session.editor.FileText(session.board, path.c_str(), &why);
    if (!text) {
      error = why ? std::string(why) : "cannot save the board to " + path;
      return false;
    }
    return session.outputs.Stage(path, text, &error);
  };
  if (!options.out.empty() && !stageBoard(options.out)) return fail(error);
  if (options.inPlace) {
    // The file is read once more here: it is replaced only if nothing else wrote it since.
    const std::optional<std::string> old = session.inPlaceSource.Unchanged(&error);
    if (!old) return fail("--in-place: " + error);
    if (!stageBoard(options.board) || !session.outputs.Stage(InPlaceBackup(options.board), *old, &error))
      return fail(error);
  }
  if (!options.svg.empty()) {
    if (!session.outputs.Stage(options.svg, DrawBoardSvg(Contents(session), options.board), &error))
      return fail(error);
  }
  if (!session.outputs.CommitAll(&error)) return fail(error);
  return StepResult::Next();
}

}  // namespace quorvex::cli
