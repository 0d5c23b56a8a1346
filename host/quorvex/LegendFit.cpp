// The legend of a KiCad board sized to its table, as a user sizes it: drags
// that are not kept, each showing in the status bar the text height the
// command lays the table out with; then placed beside the board.
#include <algorithm>
#include <ostream>
#include <string_view>

#include "boardtext/Lengths.h"
#include "host/quorvex/KicadPlacement.h"
#include "host/quorvex/Reporting.h"
#include "host/quorvex/Steps.h"
#include "platform/Journal.h"

namespace quorvex::cli {
namespace {

// The table's text height aimed at (a legible drawing size), and how much
// wider than the narrowest width at that height the legend is: the command
// spreads the columns over the width only while the text height follows
// the rows, and leaves the frame's right part empty otherwise.
constexpr double kTextHeight = 1.5 * kMillimetre;
constexpr double kWidthSlack = 1.15;
// The drags that measure: far wider than tall and far taller than wide.
constexpr double kProbeShort = 400 * kMillimetre;
constexpr double kProbeLong = 4000 * kMillimetre;
constexpr std::string_view kTextHeightLabel = "Table Text Height: ";
constexpr int32_t kTextHeightPanel = 2;

// The text height the command shows after a drag from the origin to
// (width, height), then Escape; nil when it shows none.
std::optional<double> ShownTextHeight(Session& session, double width, double height) {
  const std::string script = BuildDragScript(
      {0, 0}, {static_cast<int32_t>(width), static_cast<int32_t>(height)}, 1, true, session.options.setup);
  if (!session.editor.SetInputScript(session.board, script.c_str(), nullptr)) return std::nullopt;
  qvabi::ICommandLauncher* launcher = nullptr;
  if (qvabi::Failed(session.plugin->GetCommandLauncher(&launcher)) || !launcher) return std::nullopt;
  if (qvabi::Failed(launcher->LaunchCommand(session.options.command.c_str(), session.options.params.c_str(),
                                            0, session.host.CurrentView())))
    return std::nullopt;
  const auto panels = session.host.GetGuiManager().Panels();
  const auto panel = panels.find(kTextHeightPanel);
  if (panel == panels.end()) return std::nullopt;
  const std::string_view text = panel->second;
  const auto label = text.find(kTextHeightLabel);
  if (label == std::string_view::npos) return std::nullopt;
  const std::string_view rest = text.substr(label + kTextHeightLabel.size());
  const auto shown = boardtext::ParseLength(rest.substr(0, rest.find(' ')));
  if (!shown || *shown <= 0) return std::nullopt;
  return static_cast<double>(*shown);
}

// Width and height for the table's text to be kTextHeight, its columns
// spread; nil when the command does not show its text height or when
// measuring would show the user anything (a message, a report).
std::optional<std::pair<int64_t, int64_t>> MeasuredSize(Session& session) {
  const std::size_t journal = platform::JournalEntries().size();
  const std::size_t reports = session.host.ErrorReports().size();
  auto quiet = [&] {
    return platform::JournalEntries().size() == journal && session.host.ErrorReports().size() == reports;
  };
  // Far taller than wide, the width sets the text height; far wider, the rows do.
  const auto byWidth = ShownTextHeight(session, kProbeShort, kProbeLong);
  if (!byWidth || !quiet()) return std::nullopt;
  const auto byRows = ShownTextHeight(session, kProbeLong, kProbeShort);
  if (!byRows || !quiet()) return std::nullopt;
  // The rows' share of the height shrinks a little in a lower rectangle: one
  // more drag at the height found corrects for it.
  double height = kProbeShort * kTextHeight / *byRows;
  const auto atHeight = ShownTextHeight(session, kProbeLong, height);
  if (!atHeight || !quiet()) return std::nullopt;
  height *= kTextHeight / *atHeight;
  const double width = kWidthSlack * kProbeShort * kTextHeight / *byWidth;
  auto mils = [](double units) { return (static_cast<int64_t>(units) + kMil - 1) / kMil * kMil; };
  return std::pair{mils(std::clamp(width, 20 * kMillimetre, 2000 * kMillimetre)),
                   mils(std::clamp(height, 10 * kMillimetre, 2000 * kMillimetre))};
}

}  // namespace

StepResult FitKicadLegend(Session& session) {
  if (!session.kicadSheet) return StepResult::Next();
  const Options& options = session.options;
  std::pair<int64_t, int64_t> size{kDefaultLegendWidth, kDefaultLegendHeight};
  // A store set to fail, or actions done in the dialog at each opening,
  // count on the command running once.
  if (!options.failStore && options.dialogActions.empty())
    if (const auto measured = MeasuredSize(session)) size = *measured;
  session.editor.ClearEventLog();
  const LegendPlace place = PlaceKicadLegend(*session.kicadSheet, size.first, size.second);
  if (!place.onSheet)
    ReportError(session,
                options.board +
                    ": the legend does not fit on the drawing sheet beside the board; it goes right of the "
                    "board, off the sheet");
  const std::string script =
      BuildDragScript(place.Corner(), place.Drag(), options.steps, options.cancel, options.setup);
  const char* error = nullptr;
  if (!session.editor.SetInputScript(session.board, script.c_str(), &error)) {
    ReportError(session, std::string("input script: ") + (error ? error : "refused"));
    return StepResult::Stop(kExitBadInput);
  }
  return StepResult::Next();
}

}  // namespace quorvex::cli
