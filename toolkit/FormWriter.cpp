// Writing a component tree as a form description. A property is written
// when it differs from a new component of the same class, so a description
// holds what was designed, not every default.
#include <map>
#include <memory>

#include "toolkit/Control.h"
#include "toolkit/FormDescription.h"

namespace toolkit {
namespace {

// Longest run of string source on one line before "+" continues it.
constexpr std::size_t kStringLineLength = 64;

std::string Indent(int depth) { return std::string(static_cast<std::size_t>(depth) * 2, ' '); }

std::string QuoteString(const std::string& text, int depth) {
  if (text.empty()) return "''";
  std::string out;
  std::string line;
  bool quoted = false;
  const auto flush = [&] {
    if (quoted) line += '\'';
    quoted = false;
    if (!out.empty()) out += " +\n" + Indent(depth + 1);
    out += line;
    line.clear();
  };
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      if (!quoted) line += '\'';
      quoted = true;
      line += c;
      if (c == '\'') line += '\'';
    } else {
      if (quoted) line += '\'';
      quoted = false;
      line += '#' + std::to_string(byte);
    }
    if (line.size() >= kStringLineLength) flush();
  }
  if (!line.empty() || quoted) flush();
  return out;
}

std::string IntegerText(int64_t value, const std::vector<IntegerIdent>& idents) {
  for (const IntegerIdent& ident : idents)
    if (ident.value == value) return ident.name;
  return std::to_string(value);
}

std::string SetText(int64_t bits, const std::vector<std::string>& names) {
  std::string out = "[";
  for (std::size_t i = 0; i < names.size(); ++i)
    if ((bits & (int64_t{1} << i)) != 0) out += (out.size() > 1 ? ", " : "") + names[i];
  return out + "]";
}

class Writer {
 public:
  explicit Writer(const TComponent& root) : root_(root) {}

  std::string Write() {
    WriteObject(root_, 0);
    return out_;
  }

 private:
  // A new component of the nearest class with a factory, to compare with.
  const TComponent* Reference(const ClassInfo& info) {
    auto it = references_.find(&info);
    if (it == references_.end()) {
      std::unique_ptr<TComponent> reference;
      for (const ClassInfo* c = &info; c != nullptr && !reference; c = c->Parent())
        reference = c->Create(nullptr);
      it = references_.emplace(&info, std::move(reference)).first;
    }
    return it->second.get();
  }

  void WriteObject(const TComponent& component, int depth) {
    out_ += Indent(depth) + "object " + component.Name() + ": " + component.ClassName() + "\n";
    const TComponent* reference = Reference(component.Class());
    for (const PropertyInfo* property : component.Class().AllProperties())
      WriteProperty(component, *property, reference, depth + 1);
    for (const TComponent* child : Children(component)) WriteObject(*child, depth + 1);
    out_ += Indent(depth) + "end\n";
  }

  // The root's own components that are not controls on it first, then the
  // controls in child order, each container's own nested below it.
  std::vector<const TComponent*> Children(const TComponent& component) const {
    std::vector<const TComponent*> children;
    if (&component == &root_)
      for (int i = 0; i < root_.ComponentCount(); ++i) {
        const TComponent* owned = root_.Component(i);
        const auto* control = dynamic_cast<const TControl*>(owned);
        if (control == nullptr || control->Parent() == nullptr) children.push_back(owned);
      }
    if (const auto* container = dynamic_cast<const TWinControl*>(&component))
      for (int i = 0; i < container->ControlCount(); ++i) {
        const TControl* control = container->Controls(i);
        if (control->Owner() == &root_) children.push_back(control);
      }
    return children;
  }

  void WriteProperty(const TComponent& component, const PropertyInfo& property, const TComponent* reference,
                     int depth) {
    if (SameName(property.name, "Name")) return;
    const PropertyValue value = property.get(component);
    const bool compare = reference != nullptr && reference->FindProperty(property.name) == &property;
    const std::string prefix = Indent(depth) + property.name + " = ";
    switch (property.type) {
      case PropertyType::Text: {
        const std::string& text = TextOf(value);
        if (compare && TextOf(property.get(*reference)) == text) return;
        out_ += prefix + QuoteString(text, depth) + "\n";
        return;
      }
      case PropertyType::Integer:
      case PropertyType::Enum:
      case PropertyType::Set: {
        const int64_t number = IntegerOf(value);
        if (compare && IntegerOf(property.get(*reference)) == number) return;
        const std::string text = property.type == PropertyType::Enum
                                     ? property.names.at(static_cast<std::size_t>(number))
                                 : property.type == PropertyType::Set ? SetText(number, property.names)
                                                                      : IntegerText(number, property.idents);
        out_ += prefix + text + "\n";
        return;
      }
      case PropertyType::Boolean: {
        const bool flag = BooleanOf(value);
        if (compare && BooleanOf(property.get(*reference)) == flag) return;
        out_ += prefix + (flag ? "True" : "False") + "\n";
        return;
      }
      case PropertyType::Font: {
        const TFont& font = FontOf(value);
        if (compare && FontOf(property.get(*reference)) == font) return;
        const std::string sub = Indent(depth) + property.name + ".";
        out_ += sub + "Charset = " + IntegerText(font.Charset(), CharsetIdents()) + "\n";
        out_ += sub + "Color = " + IntegerText(font.Color(), ColorIdents()) + "\n";
        out_ += sub + "Height = " + std::to_string(font.Height()) + "\n";
        out_ += sub + "Name = " + QuoteString(font.Name(), depth) + "\n";
        out_ += sub + "Style = " + SetText(font.Style(), FontStyleNames()) + "\n";
        return;
      }
      case PropertyType::Event: {
        const std::string handler = component.EventHandlerName(property.name);
        if (!handler.empty() && EventOf(value)) out_ += prefix + handler + "\n";
        return;
      }
    }
  }

  const TComponent& root_;
  std::map<const ClassInfo*, std::unique_ptr<TComponent>> references_;
  std::string out_;
};

}  // namespace

std::string WriteComponent(const TComponent& root) { return Writer(root).Write(); }

}  // namespace toolkit
