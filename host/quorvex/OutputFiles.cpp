#include "host/quorvex/OutputFiles.h"

#include "host/quorvex/UserActions.h"

namespace fs = std::filesystem;

namespace quorvex::cli {
namespace {

// The file a path names, links and ".." resolved as far as it exists.
fs::path Identity(const fs::path& path) {
  std::error_code ec;
  fs::path resolved = fs::weakly_canonical(fs::absolute(path, ec), ec);
  return ec ? fs::absolute(path, ec).lexically_normal() : resolved;
}

bool SameFile(const fs::path& a, const fs::path& b) {
  if (a == b) return true;
  std::error_code ec;
  return fs::equivalent(a, b, ec) && !ec;
}

}  // namespace

void OutputFiles::AddInput(const std::string& path) {
  if (!path.empty()) inputs_.push_back(Identity(path));
}

void OutputFiles::AddOutput(const std::string& option, const std::string& path) {
  if (path.empty()) return;
  std::string why;
  const fs::path target = platform::OutputTarget(path, &why);
  if (target.empty()) throw InputError(option + ": " + why);
  std::error_code ec;
  if (!fs::is_directory(target.parent_path(), ec))
    throw InputError(option + ": the folder " + target.parent_path().string() + " does not exist");
  const fs::path identity = Identity(target);
  for (const fs::path& input : inputs_)
    if (SameFile(identity, input)) throw InputError(option + ": " + path + " is a file the run reads");
  for (const Output& other : outputs_)
    if (SameFile(identity, other.identity))
      throw InputError(option + ": " + path + " is also " + other.option);
  outputs_.push_back({option, path, identity, nullptr});
}

bool OutputFiles::Stage(const std::string& path, std::string_view text, std::string* error) {
  for (Output& output : outputs_) {
    if (output.path != path) continue;
    output.staged = std::make_unique<platform::StagedFile>(output.path);
    if (output.staged->Write(text, error)) return true;
    output.staged.reset();
    return false;
  }
  if (error) *error = "cannot write " + path + ": not an output of this run";
  return false;
}

bool OutputFiles::CommitAll(std::string* error) {
  bool committed = true;
  for (Output& output : outputs_) {
    if (!output.staged) continue;
    if (committed && !output.staged->Commit(error)) committed = false;
    output.staged.reset();
  }
  return committed;
}

}  // namespace quorvex::cli
