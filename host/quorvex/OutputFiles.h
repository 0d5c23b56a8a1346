// The files a run writes (--out, --svg, and any output added later): checked
// before anything runs, then written all or nothing after the run. Each
// output goes to a temporary beside its target; only when every one of them
// is complete are they renamed into place, so that a run that fails writes
// no file at all.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/AtomicFile.h"

namespace quorvex::cli {

class OutputFiles {
 public:
  // A file the run reads or loads (the board, the script, a module, the
  // program): no output may be it. `what` says what it is in a refusal.
  void AddInput(const std::string& path, const std::string& what = "a file the run reads");
  // A folder whose files the run reads (the machine root, the host's
  // folders): no output may be in it, whether the file exists yet or not.
  void AddInputFolder(const std::string& path, const std::string& what);
  // Checks the output of `option` and keeps it; raises InputError when its
  // folder is missing, when it exists and is not a regular file (a link to
  // one is followed), or when it is an input, in an input folder or another
  // output.
  void AddOutput(const std::string& option, const std::string& path);
  // The same for an output that replaces an input on purpose (--in-place).
  void AddOutputOverInput(const std::string& option, const std::string& path);

  // Writes the text of an output added before to its temporary; false with a
  // one-line reason in *error.
  bool Stage(const std::string& path, std::string_view text, std::string* error);
  // Renames every staged output into place, all or nothing: the files they
  // replace are kept as backups until the last rename succeeded, and when
  // one fails, those renamed before it are undone (the replaced files put
  // back, new ones removed) and the rest dropped. False with a reason then.
  // A rename fails on purpose at the fault point "quorvex.RenameOutput".
  bool CommitAll(std::string* error);

 private:
  void Add(const std::string& option, const std::string& path, bool mayBeInput);

  struct Output {
    std::string option;
    std::string path;
    std::filesystem::path identity;  // the file itself, links and ".." resolved
    std::unique_ptr<platform::StagedFile> staged;
  };
  struct Input {
    std::filesystem::path identity;
    std::string what;
  };
  std::vector<Input> inputs_;
  std::vector<Input> inputFolders_;
  std::vector<Output> outputs_;
};

}  // namespace quorvex::cli
