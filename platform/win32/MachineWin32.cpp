// The machine on Windows is the system itself: a Windows path is the native
// path, and every fact comes from the system. There is no machine root, so
// choosing one changes nothing.
#include <algorithm>

#include "platform/Machine.h"
#include "platform/Safely.h"
#include "platform/WindowsPath.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

namespace platform {
namespace {

Rect RectOf(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (::GetMonitorInfoW(monitor, &info)) {
    auto* monitors = reinterpret_cast<std::vector<MonitorInfo>*>(list);
    monitors->push_back(
        {RectOf(info.rcMonitor), RectOf(info.rcWork), (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  }
  return TRUE;
}

const std::vector<MonitorInfo> kDefaultMonitors{{{0, 0, 1920, 1080}, {0, 0, 1920, 1080}, true}};

}  // namespace

void SetMachineRoot(const std::string&) {}

std::string MachineRoot() { return {}; }

std::string MapPath(std::string_view windowsPath) {
  return Safely<std::string>({}, [&]() -> std::string {
    WindowsPathParts split;
    if (!SplitWindowsPath(windowsPath, &split)) return {};
    std::string path{split.drive, ':'};
    for (const std::string& name : split.names) path += "\\" + name;
    return split.names.empty() ? path + "\\" : path;
  });
}

OsVersion GetOsVersion() {
  return Safely(OsVersion{}, []() -> OsVersion {
    // The compatibility layer may tell GetVersionExW an older version than
    // the system runs; ntdll's answer is the system's own.
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll")) {
      const auto function = reinterpret_cast<RtlGetVersionFunction>(
          reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")));
      if (function && function(&info) == 0) return {info.dwMajorVersion, info.dwMinorVersion};
    }
    if (::GetVersionExW(&info)) return {info.dwMajorVersion, info.dwMinorVersion};
    return {};
  });
}

uint32_t GetSystemDefaultLocaleId() { return ::GetSystemDefaultLCID(); }

uint32_t GetUserDefaultLocaleId() { return ::GetUserDefaultLCID(); }

std::string GetUserName() {
  return Safely<std::string>("user", [] {
    // A user name has at most 256 characters.
    wchar_t name[257];
    DWORD size = 257;
    if (!::GetUserNameW(name, &size) || size == 0) return std::string("user");
    return NarrowText(std::wstring_view(name, size - 1));
  });
}

std::string GetHostProgramPath() {
  return Safely<std::string>({}, [] {
    return FilledText([](wchar_t* buffer, DWORD size) {
      const DWORD length = ::GetModuleFileNameW(nullptr, buffer, size);
      // A cut name comes back as the whole buffer: ask for a bigger one.
      return length == size ? size : length;
    });
  });
}

std::vector<MonitorInfo> GetMonitors() {
  return Safely(kDefaultMonitors, [] {
    std::vector<MonitorInfo> monitors;
    ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    // Without a display the system reports none; callers count on one.
    if (monitors.empty()) return kDefaultMonitors;
    // The primary monitor comes first, as callers number it 1.
    std::stable_partition(monitors.begin(), monitors.end(), [](const MonitorInfo& m) { return m.primary; });
    return monitors;
  });
}

std::string MachineFactsProblem() { return {}; }

std::string GetWindowsDirectory() {
  return Safely<std::string>("C:\\Windows", [] {
    const std::string folder =
        FilledText([](wchar_t* buffer, DWORD size) { return ::GetWindowsDirectoryW(buffer, size); });
    return folder.empty() ? std::string("C:\\Windows") : folder;
  });
}

std::string GetSpecialFolder(int csidl) {
  return Safely<std::string>({}, [&]() -> std::string {
    wchar_t path[MAX_PATH];
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    std::string folder = NarrowText(path);
    while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    return folder;
  });
}

}  // namespace platform
