// Components: a name, an owner and the components it owns.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "toolkit/Hooks.h"
#include "toolkit/Properties.h"

namespace toolkit {

// The owner destroys every component it owns, newest first; a component that
// is destroyed first leaves its owner's list. A component without an owner is
// owned by whoever created it (usually a std::unique_ptr).
class TComponent {
 public:
  explicit TComponent(TComponent* owner);
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;
  virtual ~TComponent();

  static const ClassInfo& StaticClass();
  virtual const ClassInfo& Class() const { return StaticClass(); }
  const std::string& ClassName() const { return Class().Name(); }

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  TComponent* Owner() const { return owner_; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Component(int index) const { return components_.at(static_cast<std::size_t>(index)); }
  // A directly owned component by name (case-insensitive), nil if none.
  TComponent* FindComponent(std::string_view name) const;
  // Moves `component` from its owner (if any) to this one and runs the
  // insertion hooks. (A constructor's owner argument inserts without hooks:
  // the object is not complete yet.)
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);

  // Set while a form description is read into this component.
  bool Loading() const { return loading_; }
  void SetLoading(bool loading) { loading_ = loading; }
  // Runs once the form description has been read.
  virtual void Loaded() { loading_ = false; }

  // Published properties, by name.
  const PropertyInfo* FindProperty(std::string_view name) const { return Class().FindProperty(name); }
  bool HasProperty(std::string_view name) const { return FindProperty(name) != nullptr; }
  // EPropertyError for an unknown name or a value of the wrong type.
  PropertyValue GetProperty(std::string_view name) const;
  void SetProperty(std::string_view name, const PropertyValue& value);

  // The name of the handler a form description bound to an event property
  // (empty when none), so that a writer can name it again.
  std::string EventHandlerName(std::string_view property) const;
  void SetEventHandlerName(std::string_view property, std::string handler);

  // Creates a component of type T owned by this one; the owner frees it.
  // The insertion hooks run once the component is fully constructed.
  template <class T, class... Args>
  T* Create(Args&&... args) {
    T* component = std::make_unique<T>(this, std::forward<Args>(args)...).release();
    Hooks::Get().NotifyComponentInserted(*this, *component);
    return component;
  }

 private:
  void Adopt(TComponent* component);

  std::string name_;
  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  bool loading_ = false;
  std::vector<std::pair<std::string, std::string>> eventHandlerNames_;
};

}  // namespace toolkit
