#include "host/OptionsStore.h"

#include "host/HostSettings.h"
#include "host/HostStatus.h"
#include "platform/FileLock.h"
#include "platform/IniFile.h"
#include "platform/Journal.h"
#include "platform/Machine.h"
#include "platform/WideString.h"

namespace quorvex {
namespace {

bool IsFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (const char c : name)
    if (static_cast<unsigned char>(c) < 0x20 ||
        std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
      return false;
  return true;
}

std::string FolderOf(const std::string& windowsPath) {
  const auto slash = windowsPath.find_last_of('\\');
  return slash == std::string::npos ? std::string() : windowsPath.substr(0, slash);
}

}  // namespace

std::string OptionsFilePath(const std::string& section, const std::string& location) {
  if (!IsFileName(section)) return {};
  std::string folder = location.empty() ? HostPreferenceFolder() + "\\Options" : location;
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return folder + "\\" + section + ".ini";
}

qvabi::HRESULT STDCALL OptionsReader::ReadBoolean(qvabi::BSTR group, qvabi::BSTR key,
                                                  qvabi::BOOL32 defaultValue, qvabi::BOOL32* value) {
  return HostGuard([&] {
    if (!ClearOut(value)) return Fail("ReadBoolean: nil out argument");
    if (const auto failure = CountOptionsValue(OptionsAccess::Read)) return Fail(*failure);
    if (const auto failure = HostFault("host.ReadBoolean")) return Fail(*failure);
    std::string text, error;
    if (!platform::ReadIniFileText(filePath_, &text, &error)) return Fail(error);
    if (!parsed_ || text != text_) {
      parsed_ = std::make_unique<platform::IniText>(text);
      text_ = std::move(text);
    }
    const int32_t stored = parsed_->GetInteger(platform::BStrToUtf8(group), platform::BStrToUtf8(key),
                                               defaultValue != 0 ? -1 : 0);
    *value = stored != 0 ? qvabi::kTrue32 : qvabi::kFalse32;
    return qvabi::S_OK;
  });
}

// A release has no status to answer: a failure to store is journaled.
OptionsWriter::~OptionsWriter() {
  try {
    std::string error;
    if (!Store(&error)) platform::JournalAppend("host", "options not stored: " + error);
  } catch (...) {
  }
}

qvabi::HRESULT STDCALL OptionsWriter::WriteBoolean(qvabi::BSTR group, qvabi::BSTR key, qvabi::BOOL32 value) {
  const qvabi::HRESULT status = HostGuard([&] {
    if (const auto failure = CountOptionsValue(OptionsAccess::Write)) return Fail(*failure);
    if (const auto failure = HostFault("host.WriteBoolean")) return Fail(*failure);
    Value written{platform::BStrToUtf8(group), platform::BStrToUtf8(key), value != 0 ? "-1" : "0"};
    // Names a line cannot hold are refused now, not when the values land.
    std::string error;
    platform::IniText probe;
    if (!probe.Set(written.group, written.key, written.text, &error)) return Fail(error);
    values_.push_back(std::move(written));
    return qvabi::S_OK;
  });
  if (qvabi::Failed(status)) failed_ = true;
  return status;
}

bool OptionsWriter::Store(std::string* error) {
  std::string ignored;
  if (!error) error = &ignored;
  std::vector<Value> values = std::move(values_);
  values_.clear();
  if (failed_ || values.empty()) return true;
  try {
    if (!platform::CreateDirectories(FolderOf(filePath_))) {
      *error = "cannot create the options folder " + FolderOf(filePath_);
      return false;
    }
    const auto lock = platform::FileLock::Acquire(platform::MapPath(filePath_ + ".lock"), error);
    if (!lock) return false;
    // Read, changed and replaced whole under the lock: another process's
    // change lands before this one or after it, never between.
    platform::IniText ini;
    if (!platform::LoadIniFile(filePath_, &ini, error)) return false;
    for (const Value& value : values)
      if (!ini.Set(value.group, value.key, value.text, error)) return false;
    return platform::SaveIniFile(filePath_, ini, error);
  } catch (const std::exception& exception) {
    *error = exception.what();
    return false;
  }
}

qvabi::HRESULT STDCALL OptionsManager::GetOptionsReader(qvabi::BSTR section, qvabi::BSTR location,
                                                        qvabi::IOptionsReader** reader) {
  return HostGuard([&] {
    if (!ClearOut(reader)) return Fail("GetOptionsReader: nil out argument");
    if (const auto failure = HostFault("host.GetOptionsReader")) return Fail(*failure);
    const std::string path = OptionsFilePath(platform::BStrToUtf8(section), platform::BStrToUtf8(location));
    if (path.empty()) return Fail("Invalid options section name \"" + platform::BStrToUtf8(section) + "\"");
    if (OptionsWithheld(OptionsAccess::Read)) return qvabi::S_OK;
    qvabi::ComPtr<qvabi::IOptionsReader> created(new OptionsReader(path));
    created->AddRef();
    *reader = created.detach();
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL OptionsManager::GetOptionsWriter(qvabi::BSTR section, qvabi::IOptionsWriter** writer) {
  return HostGuard([&] {
    if (!ClearOut(writer)) return Fail("GetOptionsWriter: nil out argument");
    if (const auto failure = HostFault("host.GetOptionsWriter")) return Fail(*failure);
    const std::string path = OptionsFilePath(platform::BStrToUtf8(section));
    if (path.empty()) return Fail("Invalid options section name \"" + platform::BStrToUtf8(section) + "\"");
    if (OptionsWithheld(OptionsAccess::Write)) return qvabi::S_OK;
    qvabi::ComPtr<qvabi::IOptionsWriter> created(new OptionsWriter(path));
    created->AddRef();
    *writer = created.detach();
    return qvabi::S_OK;
  });
}

}  // namespace quorvex
