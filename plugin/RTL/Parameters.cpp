#include "plugin/RTL/Parameters.h"

#include <cstring>
#include <optional>

#include "plugin/RTL/AsciiCase.h"

namespace strativue {
namespace {

struct ProcessParameters {
  std::unique_ptr<TParameterList> list;
  // Copy of the last string parsed; empty optional until the first lookup.
  std::optional<std::string> cache;
  int parseCount = 0;
};

// Created on the first lookup and freed by FreeProcessParameters at unload. A
// plain pointer, not a function-local static: a static would be destroyed
// before the library's unload step runs, which then touched a dead object.
ProcessParameters* g_state = nullptr;

ProcessParameters& ParametersState() {
  if (!g_state) g_state = new ProcessParameters;
  return *g_state;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }
bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20; }

std::string_view Trim(std::string_view text, bool (*strip)(char)) {
  while (!text.empty() && strip(text.front())) text.remove_prefix(1);
  while (!text.empty() && strip(text.back())) text.remove_suffix(1);
  return text;
}

void AddPair(TParameterList& list, std::string_view name, std::string_view value) {
  name = Trim(name, IsBlank);
  if (name.empty()) return;
  list.Add(std::string(name), std::string(Trim(value, IsBlank)));
}

}  // namespace

void TParameterList::Add(std::string name, std::string value) {
  items_.push_back(std::make_unique<TParameter>(TParameter{std::move(name), std::move(value)}));
}

void ParseParameters(const char* parameters, TParameterList& list) {
  list.Clear();
  if (parameters == nullptr) return;
  const char* pieceStart = parameters;
  const char* valueStart = nullptr;  // set once the piece's "=" was seen
  for (const char* p = parameters;; ++p) {
    if (*p == '=' && valueStart == nullptr) {
      valueStart = p + 1;
    } else if (*p == '|' || *p == '\0') {
      if (valueStart != nullptr)
        AddPair(list, std::string_view(pieceStart, static_cast<std::size_t>(valueStart - 1 - pieceStart)),
                std::string_view(valueStart, static_cast<std::size_t>(p - valueStart)));
      if (*p == '\0') break;
      pieceStart = p + 1;
      valueStart = nullptr;
    }
  }
}

bool IsSameParameterName(std::string_view a, std::string_view b) {
  return IsSameText(Trim(a, IsControl), Trim(b, IsControl));
}

bool GetParameterValue(const char* parameters, std::string_view name, std::string& value) {
  value.clear();
  if (parameters == nullptr || *parameters == '\0') return false;
  ProcessParameters& state = ParametersState();
  if (!state.list) state.list = std::make_unique<TParameterList>();
  if (!state.cache || std::strcmp(state.cache->c_str(), parameters) != 0) {
    state.cache = std::string(parameters);
    ParseParameters(state.cache->c_str(), *state.list);
    ++state.parseCount;
  }
  for (int i = 0; i < state.list->Count(); ++i) {
    const TParameter& parameter = (*state.list)[i];
    if (IsSameParameterName(parameter.Name, name)) {
      value = parameter.Value;
      return true;
    }
  }
  return false;
}

bool GetParameterValueShort(const char* parameters, std::string_view name, qvabi::ShortString& value) {
  std::string text;
  const bool found = GetParameterValue(parameters, name.substr(0, qvabi::ShortString::kMaxLength), text);
  value.assign(text);
  return found;
}

void FreeProcessParameters() {
  delete g_state;
  g_state = nullptr;
}

int ParameterParseCount() { return ParametersState().parseCount; }

const TParameterList* ProcessParameterList() { return ParametersState().list.get(); }

}  // namespace strativue
