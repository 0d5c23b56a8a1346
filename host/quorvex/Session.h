// One run of quorvex: what the steps share.
#pragma once

#include <deque>
#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

#include "abi/IServerModule.h"
#include "boardtext/KeyNames.h"
#include "editor/BrelixSim.h"
#include "host/Host.h"
#include "host/quorvex/FileSnapshot.h"
#include "host/quorvex/KicadPlacement.h"
#include "host/quorvex/Options.h"
#include "host/quorvex/OutputFiles.h"

namespace quorvex::cli {

struct Session {
  Session(Options options, Host& host, std::ostream& out, std::ostream& err, std::string programFolder)
      : options(std::move(options)),
        host(host),
        out(out),
        err(err),
        programFolder(std::move(programFolder)) {}

  Options options;
  Host& host;
  std::ostream& out;  // the run's report
  std::ostream& err;  // one-line errors
  std::string programFolder;
  qvabi::IServerModule* plugin = nullptr;  // owned by the host
  // The editor's simulation API, once the editor is loaded.
  brelix::SimApi editor;
  bool editorLoaded = false;
  // The board opened from the board file; 0 without one.
  qvabi::PcbHandle board = 0;
  // The keys of each of the script's setup lines still to run, in order.
  std::deque<std::vector<boardtext::KeyChord>> setupKeys;
  // An output file could not be written during the run.
  bool outputFailed = false;
  // An argument turned out bad during the run (a dialog action naming no
  // control of the dialog); reported already.
  bool badArgument = false;
  // What the run writes, checked by CheckFiles and written by WriteOutputs.
  OutputFiles outputs;
  // --in-place: the board file as it was before the editor read it.
  FileSnapshot inPlaceSource;
  // A KiCad board whose legend FitKicadLegend sizes and places.
  std::optional<KicadSheet> kicadSheet;
};

// The outcome of one step: go on, or end the run with an exit status.
struct StepResult {
  bool proceed = true;
  int exitCode = 0;
  static StepResult Next() { return {true, 0}; }
  static StepResult Stop(int code) { return {false, code}; }
};

inline constexpr int kExitRan = 0;
inline constexpr int kExitHostFailure = 1;
inline constexpr int kExitBadInput = 2;

}  // namespace quorvex::cli
