// Published properties and class information.
//
// Every toolkit class publishes its properties by name with a type, so that
// framework code and the form-description reader can find every font property
// or set "Hint" on any component without knowing its class.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "toolkit/Graphics.h"

namespace toolkit {

class TComponent;

using TNotifyEvent = std::function<void(TComponent* sender)>;

enum class PropertyType { Text, Integer, Boolean, Font, Event };

// Text, Integer, Boolean, Font (the component's own font object; setting
// copies it) and Event values.
using PropertyValue = std::variant<std::string, int64_t, bool, const TFont*, TNotifyEvent>;

// Bad property use: unknown name, wrong value type, invalid value.
class EPropertyError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct PropertyInfo {
  std::string name;
  PropertyType type;
  std::function<PropertyValue(const TComponent&)> get;
  std::function<void(TComponent&, const PropertyValue&)> set;
};

// A property of class C from a getter and a setter on C.
template <class C, class Get, class Set>
PropertyInfo MakeProperty(std::string name, PropertyType type, Get get, Set set) {
  return PropertyInfo{std::move(name), type,
                      [get](const TComponent& c) { return PropertyValue(get(static_cast<const C&>(c))); },
                      [set](TComponent& c, const PropertyValue& v) { set(static_cast<C&>(c), v); }};
}

// Typed access to a value; EPropertyError when it holds another type.
const std::string& TextOf(const PropertyValue& value);
int64_t IntegerOf(const PropertyValue& value);
bool BooleanOf(const PropertyValue& value);
const TFont& FontOf(const PropertyValue& value);
const TNotifyEvent& EventOf(const PropertyValue& value);

class ClassInfo {
 public:
  using Factory = std::function<std::unique_ptr<TComponent>(TComponent* owner)>;

  ClassInfo(std::string name, const ClassInfo* parent, std::vector<PropertyInfo> properties,
            Factory factory = nullptr);

  const std::string& Name() const { return name_; }
  const ClassInfo* Parent() const { return parent_; }
  // Case-insensitive; searches the ancestors too.
  const PropertyInfo* FindProperty(std::string_view name) const;
  // Ancestors' properties first, each class's in declaration order.
  std::vector<const PropertyInfo*> AllProperties() const;
  // True for this class and its descendants; names compared without case.
  bool InheritsFrom(std::string_view className) const;
  // Nil for abstract classes.
  std::unique_ptr<TComponent> Create(TComponent* owner) const;

 private:
  std::string name_;
  const ClassInfo* parent_;
  std::vector<PropertyInfo> properties_;
  Factory factory_;
};

// The class registry that form descriptions create components from. The
// toolkit's own classes are always registered; programs add theirs.
void RegisterClass(const ClassInfo& info);
const ClassInfo* FindClass(std::string_view name);

// ASCII case-insensitive equality, the rule for property and class names.
bool SameName(std::string_view a, std::string_view b);

}  // namespace toolkit

// Declares the class information of a toolkit class.
#define TOOLKIT_DECLARE_CLASS()                     \
  static const ::toolkit::ClassInfo& StaticClass(); \
  const ::toolkit::ClassInfo& Class() const override { return StaticClass(); }
