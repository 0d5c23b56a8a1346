// Stack walk: the C library's backtrace. Module list: the dynamic linker's
// list of loaded objects. Names: dladdr for exported functions, otherwise
// the module file's own ELF symbol table, read once per module and kept for
// the process (hidden functions of a plug-in are named only there).
#include <dlfcn.h>
#include <elf.h>
#include <execinfo.h>
#include <link.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "platform/Diagnostics.h"
#include "platform/SymbolCache.h"

namespace platform {
namespace {

struct FunctionSymbol {
  uintptr_t value;
  uintptr_t size;
  std::string name;
};

// Reads `count` records of type T at `offset`; false when the file is short.
template <class T>
bool ReadRecords(std::ifstream& file, uint64_t offset, uint64_t count, std::vector<T>* out) {
  constexpr uint64_t kLimit = 64u << 20;  // a symbol table larger than this is not read
  if (count > kLimit / sizeof(T)) return false;
  out->resize(count);
  file.seekg(static_cast<std::streamoff>(offset));
  file.read(reinterpret_cast<char*>(out->data()), static_cast<std::streamsize>(count * sizeof(T)));
  return static_cast<bool>(file);
}

// The function symbols of a 64-bit ELF file, sorted by address; empty when
// the file cannot be read or carries no symbol table.
std::vector<FunctionSymbol> ReadFunctionSymbols(const std::string& path) {
  std::vector<FunctionSymbol> symbols;
  std::ifstream file(path, std::ios::binary);
  Elf64_Ehdr header{};
  if (!file.read(reinterpret_cast<char*>(&header), sizeof header)) return symbols;
  if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64 ||
      header.e_shentsize != sizeof(Elf64_Shdr))
    return symbols;
  std::vector<Elf64_Shdr> sections;
  if (!ReadRecords(file, header.e_shoff, header.e_shnum, &sections)) return symbols;
  const Elf64_Shdr* table = nullptr;
  for (const Elf64_Shdr& section : sections)
    if (section.sh_type == SHT_SYMTAB) table = &section;
  if (!table || table->sh_link >= sections.size()) return symbols;
  const Elf64_Shdr& strings = sections[table->sh_link];
  std::vector<Elf64_Sym> entries;
  std::vector<char> names;
  if (!ReadRecords(file, table->sh_offset, table->sh_size / sizeof(Elf64_Sym), &entries) ||
      !ReadRecords(file, strings.sh_offset, strings.sh_size, &names))
    return symbols;
  for (const Elf64_Sym& entry : entries) {
    if (ELF64_ST_TYPE(entry.st_info) != STT_FUNC || entry.st_value == 0 || entry.st_name >= names.size())
      continue;
    const char* name = names.data() + entry.st_name;
    const std::size_t length = strnlen(name, names.size() - entry.st_name);
    symbols.push_back({entry.st_value, entry.st_size, std::string(name, length)});
  }
  std::sort(symbols.begin(), symbols.end(),
            [](const FunctionSymbol& a, const FunctionSymbol& b) { return a.value < b.value; });
  return symbols;
}

const std::vector<FunctionSymbol>& SymbolsOf(const std::string& path) {
  return CachedSymbols<FunctionSymbol>(path, ReadFunctionSymbols);
}

std::string ProgramPath() {
  char buffer[4096];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

struct ModuleSpan {
  LoadedModuleInfo info;
  uintptr_t loadBias = 0;  // what the module's own addresses are shifted by
};

std::vector<ModuleSpan> ModuleSpans() {
  std::vector<ModuleSpan> spans;
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) {
        auto* out = static_cast<std::vector<ModuleSpan>*>(data);
        uintptr_t low = UINTPTR_MAX, high = 0;
        for (int i = 0; i < info->dlpi_phnum; ++i) {
          const auto& segment = info->dlpi_phdr[i];
          if (segment.p_type != PT_LOAD) continue;
          low = std::min<uintptr_t>(low, info->dlpi_addr + segment.p_vaddr);
          high = std::max<uintptr_t>(high, info->dlpi_addr + segment.p_vaddr + segment.p_memsz);
        }
        if (low >= high) return 0;
        ModuleSpan span;
        span.info.path = info->dlpi_name && *info->dlpi_name ? info->dlpi_name : "";
        span.info.base = low;
        span.info.size = high - low;
        span.loadBias = info->dlpi_addr;
        out->push_back(std::move(span));
        return 0;
      },
      &spans);
  // The dynamic linker lists the main program first, without a name.
  if (!spans.empty() && spans.front().info.path.empty()) spans.front().info.path = ProgramPath();
  std::erase_if(spans, [](const ModuleSpan& span) { return span.info.path.empty(); });
  return spans;
}

}  // namespace

uint32_t GetCurrentThreadId() { return static_cast<uint32_t>(syscall(SYS_gettid)); }

std::vector<uintptr_t> CaptureStackBackTrace(int skip, int maxFrames) {
  std::vector<uintptr_t> frames;
  if (maxFrames <= 0 || skip < 0) return frames;
  std::vector<void*> raw(static_cast<std::size_t>(maxFrames + skip + 1));
  const int n = backtrace(raw.data(), static_cast<int>(raw.size()));
  for (int i = skip + 1; i < n && static_cast<int>(frames.size()) < maxFrames; ++i)
    frames.push_back(reinterpret_cast<uintptr_t>(raw[static_cast<std::size_t>(i)]));
  return frames;
}

std::vector<LoadedModuleInfo> GetLoadedModules() {
  std::vector<LoadedModuleInfo> modules;
  try {
    for (auto& span : ModuleSpans()) modules.push_back(std::move(span.info));
  } catch (...) {
  }
  return modules;
}

bool DescribeAddress(uintptr_t address, AddressInfo* info) {
  if (!info) return false;
  *info = AddressInfo{};
  try {
    for (const ModuleSpan& span : ModuleSpans()) {
      if (address < span.info.base || address - span.info.base >= span.info.size) continue;
      info->modulePath = span.info.path;
      info->moduleBase = span.info.base;
      Dl_info found{};
      if (dladdr(reinterpret_cast<void*>(address), &found) != 0 && found.dli_sname && found.dli_saddr) {
        info->function = DemangleName(found.dli_sname);
        info->functionOffset = address - reinterpret_cast<uintptr_t>(found.dli_saddr);
        return true;
      }
      const uintptr_t relative = address - span.loadBias;
      const auto& symbols = SymbolsOf(span.info.path);
      auto it = std::upper_bound(symbols.begin(), symbols.end(), relative,
                                 [](uintptr_t value, const FunctionSymbol& s) { return value < s.value; });
      if (it != symbols.begin()) {
        --it;
        if (relative < it->value + std::max<uintptr_t>(it->size, 1)) {
          info->function = DemangleName(it->name.c_str());
          info->functionOffset = relative - it->value;
        }
      }
      return true;
    }
  } catch (...) {
  }
  return false;
}

}  // namespace platform
