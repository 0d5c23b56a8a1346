#include "plugin/RTL/Messages.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>

#include "platform/Keys.h"
#include "platform/Machine.h"
#include "platform/Process.h"
#include "platform/Registry.h"

namespace strativue {
namespace {

constexpr const char* kTestModeKey = "\\Software\\Verdane\\TestMode";

bool KeyDown(int virtualKey) { return (platform::GetKeyState(virtualKey) & 0x8000) != 0; }

}  // namespace

int ShowDialogWithCaption(const std::string& caption, const std::string& message, TMsgDlgType type,
                          TMsgDlgButtons buttons) {
  if (IsTestMode()) {
    const std::string line = "ShowDialogWithCaption with" + caption + " " + message + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    EndTestRun(1);
  }
  std::unique_ptr<toolkit::TMessageForm> dialog = toolkit::CreateMessageDialog(message, type, buttons);
  dialog->SetCaption(caption);
  dialog->SetPosition(toolkit::TPosition::ScreenCenter);
  return dialog->ShowModal();
}

int ShowError(const std::string& message, const char* caption) {
  return ShowDialogWithCaption(caption != nullptr ? caption : "Error", message, TMsgDlgType::Error,
                               toolkit::mbOK);
}

int ShowInformation(const std::string& message, const char* caption) {
  return ShowDialogWithCaption(caption != nullptr ? caption : "Information", message,
                               TMsgDlgType::Information, toolkit::mbOK);
}

void FormatTwoDecimals(std::string& text, float value) {
  if (std::isnan(value)) {
    text = "NAN";
    return;
  }
  if (std::isinf(value)) {
    text = value < 0 ? "-INF" : "INF";
    return;
  }
  // The float's exact decimal expansion (every float has a finite one that
  // fits in 160 decimals), rounded by hand so that no locale and no binary
  // tie-breaking rule takes part.
  char buffer[256];
  const auto [end, error] = std::to_chars(
      buffer, buffer + sizeof buffer, std::fabs(static_cast<double>(value)), std::chars_format::fixed, 160);
  std::string digits(buffer, error == std::errc() ? end : buffer);
  const std::size_t point = digits.find('.');
  std::string whole = digits.substr(0, point);
  std::string fraction = point == std::string::npos ? std::string() : digits.substr(point + 1);
  fraction.resize(3, '0');
  std::string number = whole + fraction.substr(0, 2);
  if (fraction[2] >= '5') {
    std::size_t i = number.size();
    while (i > 0) {
      --i;
      if (number[i] == '9') {
        number[i] = '0';
      } else {
        ++number[i];
        break;
      }
      if (i == 0) number.insert(number.begin(), '1');
    }
  }
  while (number.size() < 3) number.insert(number.begin(), '0');
  const bool zero = number.find_first_not_of('0') == std::string::npos;
  text = (value < 0 && !zero ? "-" : "") + number.substr(0, number.size() - 2) + "." +
         number.substr(number.size() - 2);
}

std::string FormatTwoDecimals(float value) {
  std::string text;
  FormatTwoDecimals(text, value);
  return text;
}

bool IsCtrlDown() { return KeyDown(platform::VK_CONTROL); }
bool IsShiftDown() { return KeyDown(platform::VK_SHIFT); }
bool IsAltDown() { return KeyDown(platform::VK_MENU); }

bool IsTestMode() {
  platform::HKEY key = 0;
  if (platform::RegOpenKeyEx(platform::HKEY_LOCAL_MACHINE, kTestModeKey, 0, platform::KEY_ALL_ACCESS, &key) !=
      platform::ERROR_SUCCESS)
    return false;
  platform::RegCloseKey(key);
  return true;
}

void EndTestRun(int exitCode) { platform::ExitProcess(exitCode); }

bool IsWindows2000() {
  const platform::OsVersion version = platform::GetOsVersion();
  return version.major == 5 && version.minor == 0;
}

bool IsVistaOrLater() { return platform::GetOsVersion().major > 5; }

}  // namespace strativue
