#include "toolkit/Properties.h"

#include <map>

#include "toolkit/Component.h"

namespace toolkit {
namespace {

template <class T>
const T& Expect(const PropertyValue& value, const char* what) {
  if (const T* held = std::get_if<T>(&value)) return *held;
  throw EPropertyError(std::string("Invalid property value: expected ") + what);
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::map<std::string, const ClassInfo*, NameLess>& Registry() {
  static std::map<std::string, const ClassInfo*, NameLess> registry;
  return registry;
}

}  // namespace

// Defined with the built-in classes: registers every toolkit class once.
void RegisterToolkitClasses();

const std::string& TextOf(const PropertyValue& value) { return Expect<std::string>(value, "text"); }
int64_t IntegerOf(const PropertyValue& value) { return Expect<int64_t>(value, "integer"); }
bool BooleanOf(const PropertyValue& value) { return Expect<bool>(value, "boolean"); }
const TFont& FontOf(const PropertyValue& value) {
  const TFont* font = Expect<const TFont*>(value, "font");
  if (font == nullptr) throw EPropertyError("Invalid property value: no font");
  return *font;
}
const TNotifyEvent& EventOf(const PropertyValue& value) { return Expect<TNotifyEvent>(value, "event"); }

bool NameLess::operator()(std::string_view a, std::string_view b) const {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i)
    if (Upper(a[i]) != Upper(b[i])) return Upper(a[i]) < Upper(b[i]);
  return a.size() < b.size();
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

ClassInfo::ClassInfo(std::string name, const ClassInfo* parent, std::vector<PropertyInfo> properties,
                     Factory factory)
    : name_(std::move(name)),
      parent_(parent),
      properties_(std::move(properties)),
      factory_(std::move(factory)) {}

const PropertyInfo* ClassInfo::FindProperty(std::string_view name) const {
  for (const ClassInfo* info = this; info != nullptr; info = info->parent_)
    for (const PropertyInfo& property : info->properties_)
      if (SameName(property.name, name)) return &property;
  return nullptr;
}

std::vector<const PropertyInfo*> ClassInfo::AllProperties() const {
  std::vector<const PropertyInfo*> all =
      parent_ != nullptr ? parent_->AllProperties() : std::vector<const PropertyInfo*>{};
  for (const PropertyInfo& property : properties_) all.push_back(&property);
  return all;
}

bool ClassInfo::InheritsFrom(std::string_view className) const {
  for (const ClassInfo* info = this; info != nullptr; info = info->parent_)
    if (SameName(info->name_, className)) return true;
  return false;
}

std::unique_ptr<TComponent> ClassInfo::Create(TComponent* owner) const {
  return factory_ ? factory_(owner) : nullptr;
}

void RegisterClass(const ClassInfo& info) { Registry()[info.Name()] = &info; }

const ClassInfo* FindClass(std::string_view name) {
  RegisterToolkitClasses();
  const auto it = Registry().find(name);
  return it == Registry().end() ? nullptr : it->second;
}

}  // namespace toolkit
