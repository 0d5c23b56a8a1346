#include "toolkit/Component.h"

#include <algorithm>

#include "toolkit/Hooks.h"

namespace toolkit {

namespace {

// The published Name takes only what a form description can write back as
// `object NAME: ...`: an identifier, and none that another component of the
// same owner already has (the reader would take the two for one).
void SetPublishedName(TComponent& component, const std::string& name) {
  const auto identStart = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  const bool identifier =
      !name.empty() && identStart(name.front()) &&
      std::all_of(name.begin(), name.end(), [&](char c) { return identStart(c) || (c >= '0' && c <= '9'); });
  if (!identifier) throw EPropertyError("'" + name + "' is not a valid component name");
  const TComponent* owner = component.Owner();
  const TComponent* other = owner ? owner->FindComponent(name) : nullptr;
  if (other != nullptr && other != &component)
    throw EPropertyError("A component named " + name + " already exists");
  component.SetName(name);
}

}  // namespace

const ClassInfo& TComponent::StaticClass() {
  static const ClassInfo info(
      "TComponent", nullptr,
      {MakeProperty<TComponent>(
          "Name", PropertyType::Text, [](const TComponent& c) { return c.Name(); },
          [](TComponent& c, const PropertyValue& v) { SetPublishedName(c, TextOf(v)); })});
  return info;
}

TComponent::TComponent(TComponent* owner) {
  if (owner != nullptr) owner->Adopt(this);
}

TComponent::~TComponent() {
  while (!components_.empty()) {
    TComponent* last = components_.back();
    components_.pop_back();
    last->owner_ = nullptr;
    delete last;
  }
  if (owner_ != nullptr) owner_->RemoveComponent(this);
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* component : components_)
    if (SameName(component->Name(), name)) return component;
  return nullptr;
}

void TComponent::Adopt(TComponent* component) {
  if (component->owner_ != nullptr) component->owner_->RemoveComponent(component);
  components_.push_back(component);
  component->owner_ = this;
}

void TComponent::InsertComponent(TComponent* component) {
  if (component == nullptr || component->owner_ == this || component == this) return;
  Adopt(component);
  Hooks::Get().NotifyComponentInserted(*this, *component);
}

void TComponent::RemoveComponent(TComponent* component) {
  const auto it = std::find(components_.begin(), components_.end(), component);
  if (it == components_.end()) return;
  components_.erase(it);
  component->owner_ = nullptr;
}

std::string TComponent::EventHandlerName(std::string_view property) const {
  for (const auto& [name, handler] : eventHandlerNames_)
    if (SameName(name, property)) return handler;
  return {};
}

void TComponent::SetEventHandlerName(std::string_view property, std::string handler) {
  for (auto& [name, existing] : eventHandlerNames_)
    if (SameName(name, property)) {
      existing = std::move(handler);
      return;
    }
  eventHandlerNames_.emplace_back(std::string(property), std::move(handler));
}

PropertyValue TComponent::GetProperty(std::string_view name) const {
  const PropertyInfo* property = FindProperty(name);
  if (property == nullptr) throw EPropertyError(ClassName() + " has no property " + std::string(name));
  return property->get(*this);
}

void TComponent::SetProperty(std::string_view name, const PropertyValue& value) {
  const PropertyInfo* property = FindProperty(name);
  if (property == nullptr) throw EPropertyError(ClassName() + " has no property " + std::string(name));
  property->set(*this, value);
}

}  // namespace toolkit
