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

// Enum values are ordinals and Set values bit masks (bit i: element i), both
// held as integers; their identifiers are the property's `names`.
enum class PropertyType { Text, Integer, Boolean, Font, Event, Enum, Set };

// Text, Integer (also Enum and Set), Boolean, Font (the component's own font
// object; setting copies it) and Event values.
using PropertyValue = std::variant<std::string, int64_t, bool, const TFont*, TNotifyEvent>;

// Typed access to a value; EPropertyError when it holds another type.
const std::string& TextOf(const PropertyValue& value);
int64_t IntegerOf(const PropertyValue& value);
bool BooleanOf(const PropertyValue& value);
const TFont& FontOf(const PropertyValue& value);
const TNotifyEvent& EventOf(const PropertyValue& value);

// A named integer constant ("clBtnFace", "DEFAULT_CHARSET").
struct IntegerIdent {
  std::string name;
  int64_t value = 0;
};

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
  // Enum: the identifiers by ordinal; Set: the element identifiers by bit.
  std::vector<std::string> names;
  // Integer: named values a form description may use instead of a number.
  std::vector<IntegerIdent> idents;
};

// A property of class C from a getter and a setter on C.
template <class C, class Get, class Set>
PropertyInfo MakeProperty(std::string name, PropertyType type, Get get, Set set) {
  PropertyInfo info;
  info.name = std::move(name);
  info.type = type;
  info.get = [get](const TComponent& c) { return PropertyValue(get(static_cast<const C&>(c))); };
  info.set = [set](TComponent& c, const PropertyValue& v) { set(static_cast<C&>(c), v); };
  return info;
}

// An integer property of class C read and written through its member
// functions; T is the member's own integer or enumeration type.
template <class C, class T>
PropertyInfo MakeIntegerProperty(std::string name, T (C::*get)() const, void (C::*set)(T)) {
  return MakeProperty<C>(
      std::move(name), PropertyType::Integer, [get](const C& c) { return static_cast<int64_t>((c.*get)()); },
      [set](C& c, const PropertyValue& v) { (c.*set)(static_cast<T>(IntegerOf(v))); });
}

template <class C>
PropertyInfo MakeBooleanProperty(std::string name, bool (C::*get)() const, void (C::*set)(bool)) {
  return MakeProperty<C>(
      std::move(name), PropertyType::Boolean, [get](const C& c) { return (c.*get)(); },
      [set](C& c, const PropertyValue& v) { (c.*set)(BooleanOf(v)); });
}

template <class C>
PropertyInfo MakeTextProperty(std::string name, const std::string& (C::*get)() const,
                              void (C::*set)(std::string)) {
  return MakeProperty<C>(
      std::move(name), PropertyType::Text, [get](const C& c) { return (c.*get)(); },
      [set](C& c, const PropertyValue& v) { (c.*set)(TextOf(v)); });
}

// An event property: the handler held in C's member `event`.
template <class C>
PropertyInfo MakeEventProperty(std::string name, TNotifyEvent C::*event) {
  return MakeProperty<C>(
      std::move(name), PropertyType::Event, [event](const C& c) { return c.*event; },
      [event](C& c, const PropertyValue& v) { c.*event = EventOf(v); });
}

// An enumerated property of class C whose values are the enum E's ordinals,
// named by `names` in ordinal order. Setting checks the range.
template <class C, class E>
PropertyInfo MakeEnumProperty(std::string name, std::vector<std::string> names, E (C::*get)() const,
                              void (C::*set)(E)) {
  const int64_t count = static_cast<int64_t>(names.size());
  PropertyInfo info = MakeProperty<C>(
      std::move(name), PropertyType::Enum, [get](const C& c) { return static_cast<int64_t>((c.*get)()); },
      [set, count](C& c, const PropertyValue& v) {
        const int64_t ordinal = IntegerOf(v);
        if (ordinal < 0 || ordinal >= count) throw EPropertyError("Invalid property value");
        (c.*set)(static_cast<E>(ordinal));
      });
  info.names = std::move(names);
  return info;
}

// A set property of class C held as a bit mask; bits beyond `names` are
// refused.
template <class C, class S>
PropertyInfo MakeSetProperty(std::string name, std::vector<std::string> names, S (C::*get)() const,
                             void (C::*set)(S)) {
  const int64_t all = (int64_t{1} << names.size()) - 1;
  PropertyInfo info = MakeProperty<C>(
      std::move(name), PropertyType::Set, [get](const C& c) { return static_cast<int64_t>((c.*get)()); },
      [set, all](C& c, const PropertyValue& v) {
        const int64_t bits = IntegerOf(v);
        if ((bits & ~all) != 0) throw EPropertyError("Invalid property value");
        (c.*set)(static_cast<S>(bits));
      });
  info.names = std::move(names);
  return info;
}

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

// The named colours ("clBtnFace") and character sets ("DEFAULT_CHARSET").
const std::vector<IntegerIdent>& ColorIdents();
const std::vector<IntegerIdent>& CharsetIdents();
// The font style set's elements by bit ("fsBold", ...).
const std::vector<std::string>& FontStyleNames();

// ASCII case-insensitive equality, the rule for property and class names.
bool SameName(std::string_view a, std::string_view b);
// ASCII case-insensitive ordering, for maps keyed by such names.
struct NameLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

}  // namespace toolkit

// Declares the class information of a toolkit class.
#define TOOLKIT_DECLARE_CLASS()                     \
  static const ::toolkit::ClassInfo& StaticClass(); \
  const ::toolkit::ClassInfo& Class() const override { return StaticClass(); }
