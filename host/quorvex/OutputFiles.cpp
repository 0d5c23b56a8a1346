#include "host/quorvex/OutputFiles.h"

#include <cstdio>
#include <random>

#include "host/quorvex/UserActions.h"
#include "platform/FaultPoints.h"

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

// Whether `file` lies in `folder` or below it; both resolved by Identity.
bool Inside(const fs::path& file, const fs::path& folder) {
  auto part = file.begin();
  for (const fs::path& component : folder) {
    if (component.empty()) continue;  // a trailing separator
    if (part == file.end() || *part != component) return false;
    ++part;
  }
  return true;
}

// A second name for the file at `target`, under a name no other file has,
// so that it survives being replaced; empty when there is no file or no
// second name could be made.
fs::path Backup(const fs::path& target) {
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(target, ec))) return {};
  static thread_local std::mt19937_64 random{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%016llx.old", static_cast<unsigned long long>(random()));
    fs::path backup = target;
    backup += suffix;
    fs::create_hard_link(target, backup, ec);
    if (!ec) return backup;
    if (ec == std::errc::file_exists) continue;
    // No hard links on this file system: a copy serves as well.
    if (fs::copy_file(target, backup, fs::copy_options::none, ec)) return backup;
    if (!fs::exists(fs::symlink_status(backup, ec))) break;
  }
  return {};
}

}  // namespace

void OutputFiles::AddInput(const std::string& path, const std::string& what) {
  if (!path.empty()) inputs_.push_back({Identity(path), what});
}

void OutputFiles::AddInputFolder(const std::string& path, const std::string& what) {
  if (!path.empty()) inputFolders_.push_back({Identity(path), what});
}

void OutputFiles::AddOutput(const std::string& option, const std::string& path) { Add(option, path, false); }

void OutputFiles::AddOutputOverInput(const std::string& option, const std::string& path) {
  Add(option, path, true);
}

void OutputFiles::Add(const std::string& option, const std::string& path, bool mayBeInput) {
  if (path.empty()) return;
  std::string why;
  const fs::path target = platform::OutputTarget(path, &why);
  if (target.empty()) throw InputError(option + ": " + why);
  std::error_code ec;
  if (!fs::is_directory(target.parent_path(), ec))
    throw InputError(option + ": the folder " + target.parent_path().string() + " does not exist");
  const fs::path identity = Identity(target);
  for (const Input& input : inputs_)
    if (!mayBeInput && SameFile(identity, input.identity)) throw InputError(option + ": " + path + " is " + input.what);
  for (const Input& folder : inputFolders_)
    if (Inside(identity, folder.identity))
      throw InputError(option + ": " + path + " is in " + folder.what + ", whose files the run reads");
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
  struct Done {
    fs::path target;
    fs::path backup;  // empty: the target did not exist before
  };
  std::vector<Done> done;
  bool committed = true;
  for (Output& output : outputs_) {
    if (!output.staged) continue;
    if (committed) {
      const fs::path target = output.staged->target();
      std::error_code ec;
      const bool existed = fs::exists(fs::symlink_status(target, ec));
      const fs::path backup = existed ? Backup(target) : fs::path();
      if (existed && backup.empty()) {
        if (error) *error = "cannot replace " + output.path + ": no backup of it could be made";
        committed = false;
      } else if (const auto failure = platform::faults::Check("quorvex.RenameOutput")) {
        if (error) *error = "cannot replace " + output.path + ": " + *failure;
        committed = false;
      } else if (!output.staged->Commit(error)) {
        committed = false;
      } else {
        done.push_back({target, backup});
        output.staged.reset();
        continue;
      }
      if (!backup.empty()) fs::remove(backup, ec);
    }
    output.staged.reset();
  }
  std::error_code ec;
  for (auto it = done.rbegin(); it != done.rend(); ++it) {
    if (committed) {
      if (!it->backup.empty()) fs::remove(it->backup, ec);
    } else if (it->backup.empty()) {
      fs::remove(it->target, ec);
    } else {
      fs::rename(it->backup, it->target, ec);
    }
  }
  return committed;
}

}  // namespace quorvex::cli
