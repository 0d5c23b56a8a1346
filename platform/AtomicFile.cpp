#include "platform/AtomicFile.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/NewFile.h"

namespace fs = std::filesystem;

namespace platform {
namespace {

void Explain(std::string* error, std::string text) {
  if (error) *error = std::move(text);
}

}  // namespace

fs::path OutputTarget(const fs::path& path, std::string* error) {
  std::error_code ec;
  fs::path target = fs::absolute(path, ec);
  if (ec) target = path;
  // Follows every link, the last component's included, as far as it exists.
  for (int hops = 0; fs::is_symlink(fs::symlink_status(target, ec)); ++hops) {
    if (hops == 40) {
      Explain(error, path.string() + " is a loop of symbolic links");
      return {};
    }
    const fs::path link = fs::read_symlink(target, ec);
    if (ec) break;
    target = link.is_absolute() ? link : target.parent_path() / link;
  }
  const fs::file_status status = fs::symlink_status(target, ec);
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    Explain(error, path.string() + " is not a regular file" +
                       (fs::is_directory(status) ? std::string(" (a folder)") : std::string()));
    return {};
  }
  return target.lexically_normal();
}

StagedFile::StagedFile(fs::path path) : path_(std::move(path)) {}

StagedFile::~StagedFile() { Discard(); }

void StagedFile::Discard() {
  if (temporary_.empty()) return;
  std::error_code ignored;
  fs::remove(temporary_, ignored);
  temporary_.clear();
}

bool StagedFile::Write(std::string_view contents, std::string* error) {
  Discard();
  target_ = OutputTarget(path_, error);
  if (target_.empty()) return false;
  // A name of its own, created exclusively: a file someone left beside the
  // target is never taken over or deleted.
  static thread_local std::mt19937_64 random{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(random()));
    fs::path temporary = target_;
    temporary += suffix;
    const NewFileResult result = WriteNewFile(temporary, contents, target_);
    if (result == NewFileResult::Written) {
      temporary_ = std::move(temporary);
      return true;
    }
    if (result == NewFileResult::Failed) break;
  }
  Explain(error, "cannot write " + path_.string());
  return false;
}

bool StagedFile::Commit(std::string* error) {
  if (temporary_.empty()) {
    Explain(error, "cannot write " + path_.string());
    return false;
  }
  std::error_code ec;
  fs::rename(temporary_, target_, ec);
  if (ec) {
    Discard();
    Explain(error, "cannot replace " + path_.string());
    return false;
  }
  temporary_.clear();
  return true;
}

bool WriteFileAtomically(const fs::path& path, std::string_view contents, std::string* error) {
  try {
    StagedFile file(path);
    return file.Write(contents, error) && file.Commit(error);
  } catch (...) {
    Explain(error, "cannot write " + path.string());
    return false;
  }
}

bool ReadWholeFile(const fs::path& path, std::string* contents, std::string* error) {
  try {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
      Explain(error, "no such file: " + path.string());
      return false;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in && !in.eof()) {
      Explain(error, "cannot read " + path.string());
      return false;
    }
    *contents = std::move(text).str();
    return true;
  } catch (...) {
    Explain(error, "cannot read " + path.string());
    return false;
  }
}

}  // namespace platform
