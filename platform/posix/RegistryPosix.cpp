#include <algorithm>
#include <charconv>
#include <filesystem>
#include <map>
#include <mutex>

#include "platform/AtomicFile.h"
#include "platform/FaultPoints.h"
#include "platform/Locale.h"
#include "platform/Machine.h"
#include "platform/Registry.h"
#include "platform/RegistryLastError.h"
#include "platform/WideString.h"

namespace fs = std::filesystem;

namespace platform {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

struct RootName {
  HKEY key;
  std::string_view name;
  std::string_view shortName;
};
constexpr RootName kRoots[] = {
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", "HKCR"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "HKCU"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "HKLM"},
    {HKEY_USERS, "HKEY_USERS", "HKU"},
};

// Where something stands in the file's text: [begin, end) in bytes, line
// endings included.
struct Span {
  size_t begin = 0;
  size_t end = 0;
};

struct NamedValue {
  std::string name;  // "" is the default value
  RegValue value;
  std::vector<Span> lines;  // every line that sets it (the last one wins)
};

// One [key] section of the file: its header line, where a new value of the
// key goes (after its last value line) and where the section ends.
struct Section {
  Span header;
  size_t insertAt = 0;
  size_t end = 0;
};

struct Key {
  std::string path;  // as first written, e.g. HKEY_CURRENT_USER\Software\Verdane
  std::vector<NamedValue> values;
  std::vector<Section> sections;  // none for a key only implied by its subkeys
};

// A failure inside the registry: the Win32 status and the one-line reason.
struct Failure {
  int32_t status;
  std::string reason;
};

struct Store {
  std::mutex mutex;
  std::map<std::string, Key> keys;  // by upper-cased path
  std::string text;                 // the file's text, kept byte for byte
  std::string file;                 // the registry.reg these keys came from
  bool exists = false;
  fs::file_time_type time{};
  uintmax_t size = 0;
  bool loaded = false;
  std::string broken;  // why the file cannot be used; empty when it is sound
  std::map<HKEY, std::string> handles;
  HKEY nextHandle = 0x1000;
};

Store& TheStore() {
  static Store store;
  return store;
}

std::string Folded(std::string_view path) { return UpperCaseText(path); }

std::string_view RootNameOf(HKEY key) {
  for (const RootName& root : kRoots)
    if (root.key == key) return root.name;
  return {};
}

// The canonical root name for a name written in the file; empty when unknown.
std::string_view CanonicalRoot(std::string_view name) {
  for (const RootName& root : kRoots)
    if (CompareTextIgnoreCase(name, root.name) == 0 || CompareTextIgnoreCase(name, root.shortName) == 0)
      return root.name;
  return {};
}

// "a\\b\" -> components a, b; false for names a line cannot hold.
bool SplitKeyPath(std::string_view path, std::vector<std::string>* parts) {
  while (!path.empty()) {
    const size_t slash = path.find('\\');
    const std::string_view part = path.substr(0, slash);
    if (part.find_first_of("\r\n") != std::string_view::npos) return false;
    if (!part.empty()) parts->emplace_back(part);
    path.remove_prefix(slash == std::string_view::npos ? path.size() : slash + 1);
  }
  return true;
}

std::string JoinPath(const std::vector<std::string>& parts) {
  std::string path;
  for (const std::string& part : parts) path += (path.empty() ? "" : "\\") + part;
  return path;
}

// ---- Reading the file ----

class Parser {
 public:
  Parser(std::string_view text, std::string file) : all_(text), text_(text), file_(std::move(file)) {}

  // Throws Failure naming the file and line.
  std::map<std::string, Key> Parse() {
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") text_.remove_prefix(3);
    std::map<std::string, Key> keys;
    bool headerSeen = false;
    Key* current = nullptr;
    Section* section = nullptr;
    std::string line;
    while (NextLine(&line)) {
      std::string_view content = Trim(line);
      if (content.empty()) continue;
      if (!headerSeen) {
        if (content != kHeader) Fail("expected the first line \"" + std::string(kHeader) + "\"");
        headerSeen = true;
        continue;
      }
      if (content.front() == ';') continue;
      if (content.front() == '[') {
        if (content.back() != ']') Fail("a key line must end with ']'");
        const std::string_view path = content.substr(1, content.size() - 2);
        if (!path.empty() && path.front() == '-')
          Fail("key deletions ([-...]) do not belong in the registry");
        if (section) section->end = lineBegin_;
        current = &AddKey(keys, path);
        current->sections.push_back({{lineBegin_, lineEnd_}, lineEnd_, all_.size()});
        section = &current->sections.back();
        continue;
      }
      if (!current) Fail("a value line before the first [key] line");
      const size_t begin = lineBegin_;
      ParseValue(content, current, begin);
      section->insertAt = lineEnd_;
    }
    if (!headerSeen && !Trim(text_).empty()) Fail("expected the first line \"" + std::string(kHeader) + "\"");
    return keys;
  }

 private:
  static std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
      text.remove_suffix(1);
    return text;
  }

  bool NextLine(std::string* line) {
    if (text_.empty()) return false;
    const size_t end = text_.find('\n');
    *line = std::string(text_.substr(0, end));
    if (!line->empty() && line->back() == '\r') line->pop_back();
    lineBegin_ = all_.size() - text_.size();
    text_.remove_prefix(end == std::string_view::npos ? text_.size() : end + 1);
    lineEnd_ = all_.size() - text_.size();
    ++lineNumber_;
    return true;
  }

  [[noreturn]] void Fail(const std::string& what) const {
    throw Failure{ERROR_BADDB, file_ + ", line " + std::to_string(lineNumber_) + ": " + what};
  }

  Key& AddKey(std::map<std::string, Key>& keys, std::string_view path) {
    std::vector<std::string> parts;
    SplitKeyPath(path, &parts);
    if (parts.empty()) Fail("an empty key name");
    const std::string_view root = CanonicalRoot(parts.front());
    if (root.empty()) Fail("unknown root key \"" + parts.front() + "\"");
    parts.front() = std::string(root);
    Key* key = nullptr;
    for (size_t n = 1; n <= parts.size(); ++n) {
      const std::string full = JoinPath({parts.begin(), parts.begin() + static_cast<std::ptrdiff_t>(n)});
      key = &keys.try_emplace(Folded(full), Key{full, {}, {}}).first->second;
    }
    return *key;
  }

  // A quoted string at the start of `text` with \\ and \" escapes; advances
  // past the closing quote.
  std::string Quoted(std::string_view& text) const {
    std::string result;
    size_t i = 1;
    for (; i < text.size() && text[i] != '"'; ++i) {
      if (text[i] == '\\') {
        if (i + 1 >= text.size() || (text[i + 1] != '\\' && text[i + 1] != '"'))
          Fail("a backslash in a quoted name or text must be written \\\\");
        ++i;
      }
      result.push_back(text[i]);
    }
    if (i >= text.size()) Fail("a quoted name or text has no closing quote");
    text.remove_prefix(i + 1);
    return result;
  }

  void ParseValue(std::string_view content, Key* key, size_t begin) {
    std::string name;
    if (content.front() == '@') {
      content.remove_prefix(1);
    } else if (content.front() == '"') {
      name = Quoted(content);
    } else {
      Fail("expected a value line such as \"Name\"=\"text\"");
    }
    content = Trim(content);
    if (content.empty() || content.front() != '=') Fail("expected '=' after the value name");
    content = Trim(content.substr(1));
    RegValue value;
    if (!content.empty() && content.front() == '"') {
      value.type = REG_SZ;
      value.text = Quoted(content);
      if (!Trim(content).empty()) Fail("unexpected text after the closing quote");
    } else if (content.substr(0, 6) == "dword:") {
      const std::string_view digits = content.substr(6);
      auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value.dword, 16);
      if (digits.empty() || digits.size() > 8 || ec != std::errc() || end != digits.data() + digits.size())
        Fail("expected dword: followed by up to 8 hexadecimal digits");
      value.type = REG_DWORD;
    } else if (content.substr(0, 3) == "hex") {
      ParseHex(content, &value);
    } else if (content == "-") {
      Fail("value deletions (=-) do not belong in the registry");
    } else {
      Fail("expected \"text\", dword:xxxxxxxx or hex:... after '='");
    }
    const Span line{begin, lineEnd_};
    for (NamedValue& existing : key->values)
      if (CompareTextIgnoreCase(existing.name, name) == 0) {
        existing.value = value;
        existing.lines.push_back(line);
        return;
      }
    key->values.push_back({std::move(name), std::move(value), {line}});
  }

  void ParseHex(std::string_view content, RegValue* value) {
    uint32_t type = REG_BINARY;
    content.remove_prefix(3);
    if (!content.empty() && content.front() == '(') {
      const size_t close = content.find(')');
      const std::string_view digits = content.substr(1, close == std::string_view::npos ? 0 : close - 1);
      auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), type, 16);
      if (close == std::string_view::npos || digits.empty() || ec != std::errc() ||
          end != digits.data() + digits.size())
        Fail("expected hex(n): with a hexadecimal type number");
      content.remove_prefix(close + 1);
    }
    if (content.empty() || content.front() != ':') Fail("expected ':' after hex");
    content.remove_prefix(1);
    std::string bytesText(Trim(content));
    std::string next;
    while (!bytesText.empty() && bytesText.back() == '\\') {
      bytesText.pop_back();
      if (!NextLine(&next)) Fail("a hex value continues past the end of the file");
      bytesText += Trim(next);
    }
    std::string bytes;
    std::string_view rest = bytesText;
    while (!rest.empty()) {
      const size_t comma = rest.find(',');
      const std::string_view part = Trim(rest.substr(0, comma));
      unsigned byte = 0;
      auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), byte, 16);
      if (part.empty() || part.size() > 2 || ec != std::errc() || end != part.data() + part.size())
        Fail("expected comma-separated hexadecimal bytes after hex:");
      bytes.push_back(static_cast<char>(byte));
      rest.remove_prefix(comma == std::string_view::npos ? rest.size() : comma + 1);
    }
    if (type == REG_SZ) {
      // Text that a quoted line cannot hold (line breaks) is kept as UTF-16.
      std::u16string wide;
      for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                             (static_cast<unsigned char>(bytes[i + 1]) << 8)));
      while (!wide.empty() && wide.back() == 0) wide.pop_back();
      value->type = REG_SZ;
      value->text = Utf16ToUtf8(wide);
      return;
    }
    value->type = type;
    value->rawHex = FormatHexBytes(bytes);
  }

 public:
  static std::string FormatHexBytes(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
      const auto b = static_cast<unsigned char>(bytes[i]);
      if (i) text += ',';
      text += kDigits[b >> 4];
      text += kDigits[b & 15];
    }
    return text;
  }

 private:
  std::string_view all_;
  std::string_view text_;  // what is left to read
  std::string file_;
  int lineNumber_ = 0;
  size_t lineBegin_ = 0;  // the last line read, in all_
  size_t lineEnd_ = 0;
};

// ---- Writing the file ----

std::string QuotedText(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string FormatValue(const RegValue& value) {
  char buffer[16];
  switch (value.type) {
    case REG_SZ:
      if (value.text.find_first_of("\r\n") == std::string::npos) return QuotedText(value.text);
      {
        std::string bytes;
        for (char16_t c : Utf8ToUtf16(value.text) + u'\0') {
          bytes.push_back(static_cast<char>(c & 0xFF));
          bytes.push_back(static_cast<char>(c >> 8));
        }
        return "hex(1):" + Parser::FormatHexBytes(bytes);
      }
    case REG_DWORD:
      std::snprintf(buffer, sizeof buffer, "%08x", value.dword);
      return std::string("dword:") + buffer;
    case REG_BINARY:
      return "hex:" + value.rawHex;
    default:
      std::snprintf(buffer, sizeof buffer, "%x", value.type);
      return std::string("hex(") + buffer + "):" + value.rawHex;
  }
}

std::string ValueLine(const std::string& name, const RegValue& value) {
  return (name.empty() ? std::string("@") : QuotedText(name)) + "=" + FormatValue(value);
}

bool SameValue(const RegValue& a, const RegValue& b) {
  if (a.type != b.type) return false;
  if (a.type == REG_SZ) return a.text == b.text;
  if (a.type == REG_DWORD) return a.dword == b.dword;
  return a.rawHex == b.rawHex;
}

// Changes to the file's text. Only the lines a change concerns are touched:
// every other byte (comments, blank lines, a byte-order mark, CRLF endings,
// values this stand-in only carries along) stays as it was.
class Edit {
 public:
  explicit Edit(const std::string& text) : text_(text) {
    const size_t newline = text.find('\n');
    if (newline != std::string::npos && newline > 0 && text[newline - 1] == '\r') eol_ = "\r\n";
  }

  void Remove(Span span) { splices_.push_back({span, {}}); }
  // Replaces a value's line(s), keeping the line ending it had.
  void Replace(Span span, const std::string& line) {
    const std::string_view old = std::string_view(text_).substr(span.begin, span.end - span.begin);
    const std::string ending = old.ends_with("\r\n") ? "\r\n" : old.ends_with("\n") ? "\n" : "";
    splices_.push_back({span, line + ending});
  }
  void InsertLine(size_t at, const std::string& line) {
    const bool joined = at > 0 && text_[at - 1] != '\n';
    splices_.push_back({{at, at}, (joined ? eol_ : std::string()) + line + eol_});
  }
  // A new [key] section with its values, after everything else.
  void AppendSection(const std::string& path, const std::vector<std::string>& lines) {
    std::string section = eol_ + "[" + path + "]" + eol_;
    for (const std::string& line : lines) section += line + eol_;
    appended_ += section;
  }

  std::string Apply() const {
    std::string text = text_;
    // A file of blanks (and a byte-order mark) reads as an empty registry;
    // it gets the header too, or no change could ever be written to it.
    std::string_view body = text;
    if (body.starts_with("\xEF\xBB\xBF")) body.remove_prefix(3);
    if (body.find_first_not_of(" \t\r\n") == std::string_view::npos) text = std::string(kHeader) + eol_;
    auto ordered = splices_;
    // From the end backwards, so that earlier offsets stay valid; insertions
    // at one place keep their order.
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const Splice& a, const Splice& b) { return a.span.begin > b.span.begin; });
    for (const Splice& splice : ordered)
      text.replace(splice.span.begin, splice.span.end - splice.span.begin, splice.text);
    if (!appended_.empty() && !text.empty() && text.back() != '\n') text += eol_;
    return text + appended_;
  }

 private:
  struct Splice {
    Span span;
    std::string text;
  };
  const std::string& text_;
  std::string eol_ = "\n";
  std::vector<Splice> splices_;
  std::string appended_;
};

// ---- The store ----

// Brings the keys up to date with the file; throws Failure when it is broken.
void Refresh(Store& store) {
  const fs::path file = fs::path(MachineRoot()) / "registry.reg";
  std::error_code ec;
  const bool exists = fs::is_regular_file(file, ec);
  const auto time = exists ? fs::last_write_time(file, ec) : fs::file_time_type();
  const uintmax_t size = exists ? fs::file_size(file, ec) : 0;
  if (!store.loaded || store.file != file.string() || store.exists != exists || store.time != time ||
      store.size != size) {
    store.keys.clear();
    store.text.clear();
    store.broken.clear();
    store.file = file.string();
    store.exists = exists;
    store.time = time;
    store.size = size;
    store.loaded = true;
    if (!exists && fs::exists(fs::symlink_status(file, ec))) {
      store.broken = file.string() + " is not a regular file";
      store.loaded = false;  // looked at again next time
    } else if (exists) {
      std::string text, error;
      if (!ReadWholeFile(file, &text, &error)) {
        store.broken = error;
      } else {
        try {
          store.keys = Parser(text, file.string()).Parse();
          store.text = std::move(text);
        } catch (const Failure& failure) {
          store.broken = failure.reason;
        }
      }
    }
  }
  if (!store.broken.empty())
    throw Failure{ERROR_BADDB, store.broken + " (the registry is left untouched until the file is mended)"};
}

// Writes the edited text and reads the keys back from it.
void Save(Store& store, const Edit& edit) {
  std::string text = edit.Apply();
  std::map<std::string, Key> keys;
  try {
    keys = Parser(text, store.file).Parse();
  } catch (const Failure& failure) {
    throw Failure{ERROR_WRITE_FAULT, "the registry change would break the file: " + failure.reason};
  }
  std::string error;
  if (!WriteFileAtomically(store.file, text, &error)) {
    store.loaded = false;  // the next call goes back to what the file holds
    throw Failure{ERROR_WRITE_FAULT, error};
  }
  store.keys = std::move(keys);
  store.text = std::move(text);
  std::error_code ec;
  store.exists = true;
  store.time = fs::last_write_time(store.file, ec);
  store.size = fs::file_size(store.file, ec);
}

// The full path of `parent` + `subKey`; throws for unknown handles.
std::string Resolve(Store& store, HKEY parent, std::string_view subKey) {
  std::string base(RootNameOf(parent));
  if (base.empty()) {
    auto it = store.handles.find(parent);
    if (it == store.handles.end()) throw Failure{ERROR_INVALID_HANDLE, "not an open registry key handle"};
    base = it->second;
  }
  std::vector<std::string> parts;
  if (!SplitKeyPath(subKey, &parts))
    throw Failure{ERROR_INVALID_PARAMETER, "a registry key name cannot hold a line break"};
  for (const std::string& part : parts) base += "\\" + part;
  return base;
}

bool IsRootPath(std::string_view path) { return path.find('\\') == std::string_view::npos; }

Key* FindKey(Store& store, const std::string& path) {
  auto it = store.keys.find(Folded(path));
  return it == store.keys.end() ? nullptr : &it->second;
}

// The key an open handle stands for; throws when it is gone.
Key& KeyOf(Store& store, HKEY key) {
  const std::string path = Resolve(store, key, {});
  if (Key* found = FindKey(store, path)) return *found;
  if (IsRootPath(path)) return store.keys.try_emplace(Folded(path), Key{path, {}, {}}).first->second;
  throw Failure{ERROR_KEY_DELETED, "the registry key " + path + " was deleted"};
}

HKEY NewHandle(Store& store, const std::string& path) {
  const HKEY handle = store.nextHandle;
  store.nextHandle += 4;
  store.handles.emplace(handle, path);
  return handle;
}

bool ValidHexBytes(std::string_view text) {
  while (!text.empty()) {
    const size_t comma = text.find(',');
    const std::string_view part = text.substr(0, comma);
    if (part.empty() || part.size() > 2 ||
        part.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos)
      return false;
    text.remove_prefix(comma == std::string_view::npos ? text.size() : comma + 1);
    if (comma != std::string_view::npos && text.empty()) return false;
  }
  return true;
}

std::string ValueName(std::string_view name) { return name == "@" ? std::string() : std::string(name); }

// Runs one registry operation under the store's lock, turning failures into
// statuses and the thread's last error.
template <typename Body>
int32_t Run(Body&& body) {
  Store& store = TheStore();
  try {
    std::lock_guard lock(store.mutex);
    body(store);
    SetRegLastError({});
    return ERROR_SUCCESS;
  } catch (const Failure& failure) {
    SetRegLastError(failure.reason);
    return failure.status;
  } catch (const std::exception& e) {
    SetRegLastError(e.what());
    return ERROR_WRITE_FAULT;
  } catch (...) {
    SetRegLastError("unexpected failure in the registry");
    return ERROR_WRITE_FAULT;
  }
}

}  // namespace

int32_t RegOpenKeyEx(HKEY parent, std::string_view subKey, uint32_t, uint32_t, HKEY* result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = 0;
  if (faults::ShouldFail("platform.RegOpenKeyEx")) return ERROR_ACCESS_DENIED;
  return Run([&](Store& store) {
    Refresh(store);
    const std::string path = Resolve(store, parent, subKey);
    Key* key = FindKey(store, path);
    if (!key && !IsRootPath(path)) throw Failure{ERROR_FILE_NOT_FOUND, "no registry key " + path};
    *result = NewHandle(store, key ? key->path : path);
  });
}

int32_t RegCreateKeyEx(HKEY parent, std::string_view subKey, HKEY* result, bool* created) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = 0;
  if (created) *created = false;
  return Run([&](Store& store) {
    Refresh(store);
    const std::string path = Resolve(store, parent, subKey);
    std::vector<std::string> parts;
    SplitKeyPath(path, &parts);
    bool added = false;
    Edit edit(store.text);
    for (size_t n = 1; n <= parts.size(); ++n) {
      const std::string prefix = JoinPath({parts.begin(), parts.begin() + static_cast<std::ptrdiff_t>(n)});
      if (!FindKey(store, prefix) && !IsRootPath(prefix)) {
        edit.AppendSection(prefix, {});
        added = true;
      }
    }
    if (added) Save(store, edit);
    if (created) *created = added;
    *result = NewHandle(store, FindKey(store, path) ? FindKey(store, path)->path : path);
  });
}

int32_t RegCloseKey(HKEY key) {
  if (!RootNameOf(key).empty()) return ERROR_SUCCESS;
  return Run([&](Store& store) {
    if (store.handles.erase(key) == 0) throw Failure{ERROR_INVALID_HANDLE, "not an open registry key handle"};
  });
}

int32_t RegQueryValueEx(HKEY key, std::string_view name, RegValue* value) {
  return Run([&](Store& store) {
    Refresh(store);
    Key& found = KeyOf(store, key);
    const std::string wanted = ValueName(name);
    for (const NamedValue& entry : found.values)
      if (CompareTextIgnoreCase(entry.name, wanted) == 0) {
        if (value) *value = entry.value;
        return;
      }
    throw Failure{
        ERROR_FILE_NOT_FOUND,
        "no value " + (wanted.empty() ? std::string("@") : "\"" + wanted + "\"") + " in " + found.path};
  });
}

int32_t RegSetValueEx(HKEY key, std::string_view name, const RegValue& value) {
  return Run([&](Store& store) {
    Refresh(store);
    const std::string wanted = ValueName(name);
    if (wanted.find_first_of("\r\n") != std::string::npos)
      throw Failure{ERROR_INVALID_PARAMETER, "a registry value name cannot hold a line break"};
    if (value.type != REG_SZ && value.type != REG_DWORD && !ValidHexBytes(value.rawHex))
      throw Failure{ERROR_INVALID_PARAMETER,
                    "binary registry data must be comma-separated hexadecimal bytes"};
    const Key& found = KeyOf(store, key);
    Edit edit(store.text);
    const auto entry = std::find_if(found.values.begin(), found.values.end(), [&](const NamedValue& named) {
      return CompareTextIgnoreCase(named.name, wanted) == 0;
    });
    if (entry != found.values.end()) {
      if (SameValue(entry->value, value)) return;  // nothing changes, nothing is written
      edit.Replace(entry->lines.back(), ValueLine(entry->name, value));
    } else if (found.sections.empty()) {
      edit.AppendSection(found.path, {ValueLine(wanted, value)});
    } else {
      edit.InsertLine(found.sections.back().insertAt, ValueLine(wanted, value));
    }
    Save(store, edit);
  });
}

int32_t RegDeleteValue(HKEY key, std::string_view name) {
  return Run([&](Store& store) {
    Refresh(store);
    const Key& found = KeyOf(store, key);
    const std::string wanted = ValueName(name);
    Edit edit(store.text);
    bool removed = false;
    for (const NamedValue& entry : found.values)
      if (CompareTextIgnoreCase(entry.name, wanted) == 0) {
        for (const Span& line : entry.lines) edit.Remove(line);
        removed = true;
      }
    if (!removed) throw Failure{ERROR_FILE_NOT_FOUND, "no value \"" + wanted + "\" in " + found.path};
    Save(store, edit);
  });
}

int32_t RegDeleteKey(HKEY parent, std::string_view subKey) {
  return Run([&](Store& store) {
    Refresh(store);
    const std::string path = Resolve(store, parent, subKey);
    if (IsRootPath(path)) throw Failure{ERROR_ACCESS_DENIED, "a root key cannot be deleted"};
    if (!FindKey(store, path)) throw Failure{ERROR_FILE_NOT_FOUND, "no registry key " + path};
    const std::string folded = Folded(path);
    Edit edit(store.text);
    for (const auto& [keyPath, entry] : store.keys)
      if (keyPath == folded || keyPath.rfind(folded + "\\", 0) == 0)
        for (const Section& section : entry.sections) edit.Remove({section.header.begin, section.end});
    Save(store, edit);
  });
}

int32_t RegEnumKeys(HKEY key, std::vector<std::string>* names) {
  return Run([&](Store& store) {
    Refresh(store);
    const std::string folded = Folded(KeyOf(store, key).path) + "\\";
    std::vector<std::string> found;
    for (const auto& [path, entry] : store.keys)
      if (path.rfind(folded, 0) == 0 && path.find('\\', folded.size()) == std::string::npos)
        // The name as written: folding may change a path's length in bytes.
        found.push_back(entry.path.substr(entry.path.rfind('\\') + 1));
    if (names) *names = std::move(found);
  });
}

int32_t RegEnumValues(HKEY key, std::vector<std::string>* names) {
  return Run([&](Store& store) {
    Refresh(store);
    std::vector<std::string> found;
    for (const NamedValue& value : KeyOf(store, key).values) found.push_back(value.name);
    if (names) *names = std::move(found);
  });
}

std::string RegistryProblem() {
  try {
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    Refresh(store);
    return {};
  } catch (const Failure& failure) {
    return failure.reason;
  } catch (...) {
    return "the registry cannot be read";
  }
}

}  // namespace platform
