// A machine of its own for one test, on either system, and everything the
// test changed on it taken back afterwards.
//
// On Linux the machine is a fresh machine root in a temporary folder: its
// registry starts empty and its drives hold nothing, and the whole folder is
// removed afterwards. On Windows the machine is the system itself: the test
// gets a key of its own under HKEY_CURRENT_USER\Software and a folder of its
// own, and whatever it must change at fixed places (a key the code under
// test reads, C:\Windows\vemtro.ini) it first hands to IsolateKey or
// IsolateFile, which take it away for the test and put it back afterwards.
// Files written with WriteFile are isolated by themselves.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#if defined(_WIN32)
#include <process.h>
#else
#include <unistd.h>
#endif

#include "platform/Machine.h"
#include "platform/Registry.h"

class TestMachine {
 public:
  TestMachine() {
    const std::string name = UniqueName();
    scratch_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(scratch_);
    std::filesystem::create_directories(scratch_);
#if defined(_WIN32)
    folder_ = Utf8(scratch_);
#else
    platform::SetMachineRoot(scratch_.string());
    folder_ = "C:\\Temp\\" + name;
    std::filesystem::create_directories(Native(folder_));
#endif
    softwareKey_ = "Software\\" + name;
  }

  ~TestMachine() {
#if defined(_WIN32)
    platform::RegDeleteKey(platform::HKEY_CURRENT_USER, softwareKey_);
    for (auto it = keys_.rbegin(); it != keys_.rend(); ++it) {
      platform::RegDeleteKey(it->root, it->path);
      if (it->before) Restore(it->root, it->path, *it->before);
    }
    std::error_code ignored;
    for (auto it = files_.rbegin(); it != files_.rend(); ++it) {
      if (it->before)
        std::ofstream(it->path, std::ios::binary) << *it->before;
      else
        std::filesystem::remove(it->path, ignored);
    }
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) std::filesystem::remove_all(*it, ignored);
    std::filesystem::remove_all(scratch_, ignored);
#else
    platform::SetMachineRoot("");
    std::error_code ignored;
    std::filesystem::remove_all(scratch_, ignored);
#endif
  }

  TestMachine(const TestMachine&) = delete;
  TestMachine& operator=(const TestMachine&) = delete;

  // A key under HKEY_CURRENT_USER that no other test uses ("Software\..."),
  // not yet created.
  const std::string& SoftwareKey() const { return softwareKey_; }
  // A folder of the test's own as a Windows path, empty at the start.
  const std::string& Folder() const { return folder_; }

  // Takes the key `path` under `root` (with everything below it) away for
  // the test; afterwards it is back as it was, or gone when it was missing.
  void IsolateKey(platform::HKEY root, const std::string& path) {
#if defined(_WIN32)
    SavedKey saved{root, path, nullptr};
    KeySnapshot snapshot;
    if (Snapshot(root, path, &snapshot)) saved.before = std::make_unique<KeySnapshot>(std::move(snapshot));
    keys_.push_back(std::move(saved));
    platform::RegDeleteKey(root, path);
#else
    (void)root;
    (void)path;
#endif
  }

  // Takes the file at `windowsPath` away for the test (its folders stay);
  // afterwards it is back as it was, or gone when it was missing.
  void IsolateFile(const std::string& windowsPath) {
    const std::filesystem::path path = Native(windowsPath);
    for (const SavedFile& saved : files_)
      if (saved.path == path) return;
    SavedFile saved{path, nullptr};
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec))
      saved.before = std::make_unique<std::string>(ReadNative(path));
    files_.push_back(std::move(saved));
    std::filesystem::remove(path, ec);
  }

  // A folder at a Windows path that the code under test may make: when it is
  // missing now, it is removed afterwards with everything in it.
  void RemoveFolderAfterwards(const std::string& windowsPath) {
    std::error_code ec;
    const std::filesystem::path path = Native(windowsPath);
    if (!std::filesystem::exists(path, ec)) folders_.push_back(path);
  }

  // Writes a file at a Windows path, making its missing folders; the file is
  // isolated first and the folders made are removed afterwards.
  void WriteFile(const std::string& windowsPath, const std::string& text) {
    IsolateFile(windowsPath);
    const std::filesystem::path path = Native(windowsPath);
    MakeFolders(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  // The whole file at a Windows path; empty when missing.
  std::string ReadFile(const std::string& windowsPath) const { return ReadNative(Native(windowsPath)); }

  // The native path of a Windows path on this machine.
  std::filesystem::path Native(const std::string& windowsPath) const {
    const std::string mapped = platform::MapPath(windowsPath);
    return std::filesystem::path(std::u8string(mapped.begin(), mapped.end()));
  }

  // The machine laid out as the machine root on Linux: "C/Windows/x.ini" is
  // C:\Windows\x.ini on either system; any other path (machine.ini,
  // registry.reg) is a file of the machine root, which on Windows lands in
  // the test's scratch folder and changes nothing.
  const std::filesystem::path& root() const { return scratch_; }
  void Write(const std::filesystem::path& relative, const std::string& text) {
#if defined(_WIN32)
    if (const std::string drive = DriveOf(relative); !drive.empty()) {
      WriteFile(drive, text);
      return;
    }
#endif
    const auto path = scratch_ / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  std::string Read(const std::filesystem::path& relative) const {
#if defined(_WIN32)
    if (const std::string drive = DriveOf(relative); !drive.empty()) return ReadFile(drive);
#endif
    return ReadNative(scratch_ / relative);
  }

 private:
  struct KeySnapshot {
    std::vector<std::pair<std::string, platform::RegValue>> values;
    std::vector<std::pair<std::string, KeySnapshot>> keys;
  };
  struct SavedKey {
    platform::HKEY root;
    std::string path;
    std::unique_ptr<KeySnapshot> before;
  };
  struct SavedFile {
    std::filesystem::path path;
    std::unique_ptr<std::string> before;
  };

  static std::string UniqueName() {
    static int count = 0;
#if defined(_WIN32)
    const int process = _getpid();
#else
    const int process = ::getpid();
#endif
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "machine";
    for (char& c : name)
      if (c == '/' || c == '\\') c = '_';
    return "StrativueTest-" + std::to_string(process) + "-" + std::to_string(++count) + "-" + name;
  }

  static std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
  }

  static std::string ReadNative(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  // Makes the missing folders of `folder`, remembering the outermost one.
  void MakeFolders(const std::filesystem::path& folder) {
    std::error_code ec;
    std::filesystem::path outermost;
    for (std::filesystem::path at = folder; !at.empty() && !std::filesystem::exists(at, ec);
         at = at.parent_path()) {
      outermost = at;
      if (at == at.parent_path()) break;
    }
    std::filesystem::create_directories(folder, ec);
    if (!outermost.empty()) folders_.push_back(outermost);
  }

  // "C/Windows/x.ini" as "C:\Windows\x.ini"; empty for a path not on a drive.
  static std::string DriveOf(const std::filesystem::path& relative) {
    auto part = relative.begin();
    if (part == relative.end()) return {};
    const std::string drive = Utf8(*part);
    if (drive.size() != 1 || !std::isalpha(static_cast<unsigned char>(drive[0]))) return {};
    std::string path = drive + ":";
    for (++part; part != relative.end(); ++part) path += "\\" + Utf8(*part);
    return path;
  }

  static bool Snapshot(platform::HKEY root, const std::string& path, KeySnapshot* snapshot) {
    platform::HKEY key = 0;
    if (platform::RegOpenKeyEx(root, path, 0, platform::KEY_READ, &key) != platform::ERROR_SUCCESS)
      return false;
    std::vector<std::string> names;
    platform::RegEnumValues(key, &names);
    for (const std::string& name : names) {
      platform::RegValue value;
      if (platform::RegQueryValueEx(key, name, &value) == platform::ERROR_SUCCESS)
        snapshot->values.emplace_back(name, value);
    }
    platform::RegEnumKeys(key, &names);
    platform::RegCloseKey(key);
    for (const std::string& name : names) {
      KeySnapshot child;
      if (Snapshot(root, path + "\\" + name, &child)) snapshot->keys.emplace_back(name, std::move(child));
    }
    return true;
  }

  static void Restore(platform::HKEY root, const std::string& path, const KeySnapshot& snapshot) {
    platform::HKEY key = 0;
    if (platform::RegCreateKeyEx(root, path, &key) != platform::ERROR_SUCCESS) return;
    for (const auto& [name, value] : snapshot.values) platform::RegSetValueEx(key, name, value);
    platform::RegCloseKey(key);
    for (const auto& [name, child] : snapshot.keys) Restore(root, path + "\\" + name, child);
  }

  std::filesystem::path scratch_;
  std::string folder_;
  std::string softwareKey_;
  std::vector<SavedKey> keys_;
  std::vector<SavedFile> files_;
  std::vector<std::filesystem::path> folders_;
};
