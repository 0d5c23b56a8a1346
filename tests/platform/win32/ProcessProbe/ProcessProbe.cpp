// A program the process tests start through the system, which shows what it
// was asked by what it leaves behind:
//   ProcessProbe write <file> <text...>  writes the words of <text> into <file>
//   ProcessProbe exit <code> <text>      buffers <text> on standard output and
//                                        ends through platform::ExitProcess
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "platform/Process.h"
#include "platform/WideString.h"
#include "platform/win32/WindowsApi.h"

namespace {

std::vector<std::string> Arguments() {
  int count = 0;
  wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i)
    arguments.push_back(platform::Utf16ToUtf8(reinterpret_cast<const char16_t*>(words[i])));
  ::LocalFree(words);
  return arguments;
}

}  // namespace

int main() {
  const std::vector<std::string> arguments = Arguments();
  if (arguments.size() >= 2 && arguments[0] == "write") {
    std::string text;
    for (size_t i = 2; i < arguments.size(); ++i) text += (i > 2 ? " " : "") + arguments[i];
    const std::u16string path = platform::Utf8ToUtf16(arguments[1]);
    std::ofstream(std::filesystem::path(std::wstring(path.begin(), path.end())), std::ios::binary) << text;
    return 0;
  }
  if (arguments.size() == 3 && arguments[0] == "exit") {
    std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
    std::printf("%s", arguments[2].c_str());
    std::cout << " and more";
    platform::ExitProcess(std::atoi(arguments[1].c_str()));
  }
  return 64;
}
