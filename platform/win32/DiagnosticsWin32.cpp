// Stack walk: the system's RtlCaptureStackBackTrace. Module list: a
// tool-help snapshot of the process. Names: the module's export table in
// memory, otherwise the COFF symbol table of the module's file, read once
// per module and kept for the process (hidden functions are named only
// there; a stripped module has none).
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/Diagnostics.h"
#include "platform/SymbolCache.h"
#include "platform/WideString.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

namespace platform {
namespace {

struct FunctionSymbol {
  uintptr_t rva;
  std::string name;
};

template <class T>
bool ReadAt(std::ifstream& file, uint64_t offset, T* out, std::size_t count = 1) {
  file.seekg(static_cast<std::streamoff>(offset));
  file.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(sizeof(T) * count));
  return static_cast<bool>(file);
}

// The function symbols of a module file's COFF symbol table, sorted by
// address relative to the module's base; empty when there is none.
std::vector<FunctionSymbol> ReadFunctionSymbols(const std::string& path) {
  std::vector<FunctionSymbol> symbols;
  std::ifstream file(std::filesystem::path(Utf8ToUtf16(path)), std::ios::binary);
  IMAGE_DOS_HEADER dos{};
  if (!ReadAt(file, 0, &dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return symbols;
  DWORD signature = 0;
  IMAGE_FILE_HEADER header{};
  if (!ReadAt(file, dos.e_lfanew, &signature) || signature != IMAGE_NT_SIGNATURE ||
      !ReadAt(file, dos.e_lfanew + sizeof signature, &header))
    return symbols;
  constexpr DWORD kLimit = 4u << 20;  // a symbol table larger than this is not read
  if (header.PointerToSymbolTable == 0 || header.NumberOfSymbols == 0 || header.NumberOfSymbols > kLimit)
    return symbols;
  std::vector<IMAGE_SECTION_HEADER> sections(header.NumberOfSections);
  if (!ReadAt(file, dos.e_lfanew + sizeof signature + sizeof header + header.SizeOfOptionalHeader,
              sections.data(), sections.size()))
    return symbols;
  std::vector<IMAGE_SYMBOL> entries(header.NumberOfSymbols);
  if (!ReadAt(file, header.PointerToSymbolTable, entries.data(), entries.size())) return symbols;
  const uint64_t stringsAt =
      header.PointerToSymbolTable + uint64_t{IMAGE_SIZEOF_SYMBOL} * header.NumberOfSymbols;
  uint32_t stringsSize = 0;
  std::vector<char> strings;
  if (ReadAt(file, stringsAt, &stringsSize) && stringsSize > 4 && stringsSize <= (64u << 20)) {
    strings.resize(stringsSize);
    if (!ReadAt(file, stringsAt, strings.data(), strings.size())) strings.clear();
  }
  for (std::size_t i = 0; i < entries.size(); i += 1 + entries[i].NumberOfAuxSymbols) {
    const IMAGE_SYMBOL& entry = entries[i];
    if (!ISFCN(entry.Type) || entry.SectionNumber <= 0 ||
        entry.SectionNumber > static_cast<int>(sections.size()))
      continue;
    std::string name;
    if (entry.N.Name.Short != 0) {
      name.assign(reinterpret_cast<const char*>(entry.N.ShortName),
                  strnlen(reinterpret_cast<const char*>(entry.N.ShortName), 8));
    } else if (entry.N.Name.Long < strings.size()) {
      const char* text = strings.data() + entry.N.Name.Long;
      name.assign(text, strnlen(text, strings.size() - entry.N.Name.Long));
    }
    if (name.empty()) continue;
    symbols.push_back(
        {sections[static_cast<std::size_t>(entry.SectionNumber - 1)].VirtualAddress + entry.Value,
         std::move(name)});
  }
  std::sort(symbols.begin(), symbols.end(),
            [](const FunctionSymbol& a, const FunctionSymbol& b) { return a.rva < b.rva; });
  return symbols;
}

const std::vector<FunctionSymbol>& SymbolsOf(const std::string& path) {
  return CachedSymbols<FunctionSymbol>(path, ReadFunctionSymbols);
}

// The exported function of a module in memory at or below `rva`.
bool NearestExport(const unsigned char* base, uintptr_t rva, std::string* name, uintptr_t* offset) {
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (directory.VirtualAddress == 0 || directory.Size == 0) return false;
  const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
  const auto* functions = reinterpret_cast<const DWORD*>(base + exports->AddressOfFunctions);
  const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  const auto* ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
  uintptr_t best = 0;
  const char* bestName = nullptr;
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    if (ordinals[i] >= exports->NumberOfFunctions) continue;
    const uintptr_t at = functions[ordinals[i]];
    // Forwarded exports point into the export directory itself.
    if (at >= directory.VirtualAddress && at < directory.VirtualAddress + directory.Size) continue;
    if (at <= rva && (!bestName || at > best)) {
      best = at;
      bestName = reinterpret_cast<const char*>(base + names[i]);
    }
  }
  if (!bestName) return false;
  *name = bestName;
  *offset = rva - best;
  return true;
}

}  // namespace

uint32_t GetCurrentThreadId() { return ::GetCurrentThreadId(); }

std::vector<uintptr_t> CaptureStackBackTrace(int skip, int maxFrames) {
  std::vector<uintptr_t> frames;
  if (maxFrames <= 0 || skip < 0) return frames;
  std::vector<void*> raw(static_cast<std::size_t>(maxFrames));
  // The system walk takes at most 62 frames beyond those it skips at a time.
  int taken = 0;
  while (taken < maxFrames) {
    const DWORD want = static_cast<DWORD>(std::min(maxFrames - taken, 62));
    const USHORT n =
        ::RtlCaptureStackBackTrace(static_cast<DWORD>(skip + 1 + taken), want, raw.data() + taken, nullptr);
    taken += n;
    if (n < want) break;
  }
  for (int i = 0; i < taken; ++i)
    frames.push_back(reinterpret_cast<uintptr_t>(raw[static_cast<std::size_t>(i)]));
  return frames;
}

std::vector<LoadedModuleInfo> GetLoadedModules() {
  std::vector<LoadedModuleInfo> modules;
  try {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, ::GetCurrentProcessId());
    if (snapshot == INVALID_HANDLE_VALUE) return modules;
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Module32FirstW(snapshot, &entry); more; more = ::Module32NextW(snapshot, &entry))
      modules.push_back(
          {NarrowText(entry.szExePath), reinterpret_cast<uintptr_t>(entry.modBaseAddr), entry.modBaseSize});
    ::CloseHandle(snapshot);
  } catch (...) {
  }
  return modules;
}

bool DescribeAddress(uintptr_t address, AddressInfo* info) {
  if (!info) return false;
  *info = AddressInfo{};
  try {
    HMODULE module = nullptr;
    if (!::GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(address), &module))
      return false;
    wchar_t path[MAX_PATH * 4];
    const DWORD length = ::GetModuleFileNameW(module, path, static_cast<DWORD>(std::size(path)));
    if (length == 0 || length >= std::size(path)) return false;
    info->modulePath = NarrowText(path);
    const auto* base = reinterpret_cast<const unsigned char*>(module);
    info->moduleBase = reinterpret_cast<uintptr_t>(base);
    const uintptr_t rva = address - info->moduleBase;
    std::string name;
    uintptr_t offset = 0;
    // The symbol table, when the file has one, names hidden functions too
    // and so is nearer than any export.
    const auto& symbols = SymbolsOf(info->modulePath);
    auto it = std::upper_bound(symbols.begin(), symbols.end(), rva,
                               [](uintptr_t value, const FunctionSymbol& s) { return value < s.rva; });
    if (it != symbols.begin()) {
      --it;
      name = it->name;
      offset = rva - it->rva;
    } else if (!NearestExport(base, rva, &name, &offset)) {
      return true;
    }
    // 32-bit symbol names carry the C prefix underscore before a mangled name.
    if (sizeof(void*) == 4 && name.rfind("__Z", 0) == 0) name.erase(0, 1);
    info->function = DemangleName(name.c_str());
    info->functionOffset = offset;
    return true;
  } catch (...) {
  }
  return false;
}

}  // namespace platform
