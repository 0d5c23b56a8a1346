// Reading a form description: a syntax pass that builds a small tree of
// objects and property values (so that malformed text touches nothing),
// then a pass that creates components and sets their properties.
#include <cstdint>
#include <limits>
#include <set>
#include <vector>

#include "toolkit/Control.h"
#include "toolkit/FormDescription.h"
#include "toolkit/Hooks.h"

namespace toolkit {
namespace {

struct Value {
  enum class Kind { Integer, String, Ident, Set };
  Kind kind = Kind::Integer;
  int64_t integer = 0;
  std::string text;  // the string, or the identifier
  std::vector<std::string> items;
};

struct PropertyNode {
  int line = 0;
  std::string path;  // "Caption", "Font.Name"
  Value value;
};

struct ObjectNode {
  int line = 0;
  std::string name;
  std::string className;
  std::vector<PropertyNode> properties;
  std::vector<ObjectNode> children;
};

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Integers in descriptions are 32-bit, signed or (colours, "$" values)
// unsigned.
constexpr int64_t kMinInteger = std::numeric_limits<int32_t>::min();
constexpr int64_t kMaxInteger = std::numeric_limits<uint32_t>::max();

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  ObjectNode ParseRoot() {
    SkipSpace();
    ObjectNode root = ParseObject(1);
    SkipSpace();
    if (pos_ < text_.size()) Fail("", "Text after the end of the description");
    return root;
  }

 private:
  [[noreturn]] void Fail(const std::string& property, const std::string& message) const {
    throw EReadError(line_, property, message);
  }

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

  void SkipSpace() {
    while (!AtEnd()) {
      const char c = text_[pos_];
      if (c == '\n')
        ++line_;
      else if (c != ' ' && c != '\t' && c != '\r')
        return;
      ++pos_;
    }
  }

  // Spaces and tabs only: a value must start on its property's line or
  // after a "+" that joins strings.
  void SkipBlanks() {
    while (!AtEnd() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r')) ++pos_;
  }

  std::string ReadIdent(const std::string& property, const char* what) {
    if (!IsIdentStart(Peek())) Fail(property, std::string(what) + " expected");
    const std::size_t start = pos_;
    while (!AtEnd() && IsIdentChar(text_[pos_])) ++pos_;
    return std::string(text_.substr(start, pos_ - start));
  }

  ObjectNode ParseObject(int depth) {
    if (depth > kMaxDescriptionDepth)
      Fail("", "Objects nested deeper than " + std::to_string(kMaxDescriptionDepth) + " levels");
    ObjectNode node;
    node.line = line_;
    const std::string keyword = AtEnd() ? std::string() : ReadIdent("", "'object'");
    if (SameName(keyword, "inherited") || SameName(keyword, "inline"))
      Fail("", "'" + keyword + "' objects are not supported");
    if (!SameName(keyword, "object")) Fail("", "'object' expected but '" + keyword + "' found");
    SkipBlanks();
    node.name = ReadIdent("", "Component name");
    SkipBlanks();
    if (Peek() != ':') Fail("", "':' expected after the component name " + node.name);
    ++pos_;
    SkipBlanks();
    node.className = ReadIdent("", "Class name");
    while (true) {
      SkipSpace();
      if (AtEnd()) Fail("", "'end' of object " + node.name + " missing");
      const std::size_t mark = pos_;
      const std::string word = ReadIdent("", "Property name, 'object' or 'end'");
      if (SameName(word, "end")) return node;
      if (SameName(word, "object") || SameName(word, "inherited") || SameName(word, "inline")) {
        pos_ = mark;
        node.children.push_back(ParseObject(depth + 1));
        continue;
      }
      node.properties.push_back(ParseProperty(word));
    }
  }

  PropertyNode ParseProperty(std::string path) {
    PropertyNode property;
    property.line = line_;
    while (Peek() == '.') {
      ++pos_;
      path += '.' + ReadIdent(path, "Sub-property name");
    }
    property.path = std::move(path);
    SkipBlanks();
    if (Peek() != '=') Fail(property.path, "'=' expected");
    ++pos_;
    SkipBlanks();
    // A long string may start on the next line; nothing else may.
    if (Peek() == '\r' || Peek() == '\n') {
      SkipSpace();
      if (Peek() != '\'' && Peek() != '#') Fail(property.path, "Value expected");
    }
    property.value = ParseValue(property.path);
    return property;
  }

  Value ParseValue(const std::string& property) {
    const char c = Peek();
    if (c == '\'' || c == '#') return ParseString(property);
    if (c == '-' || IsDigit(c) || c == '$') return ParseInteger(property);
    if (c == '[') return ParseSet(property);
    if (IsIdentStart(c)) {
      Value value;
      value.kind = Value::Kind::Ident;
      value.text = ReadIdent(property, "Value");
      return value;
    }
    if (c == '(' || c == '{' || c == '<')
      Fail(property, "Lists, binary data and collections are not supported");
    Fail(property, "Value expected");
  }

  Value ParseInteger(const std::string& property) {
    bool negative = false;
    if (Peek() == '-') {
      negative = true;
      ++pos_;
    }
    int64_t magnitude = 0;
    int digits = 0;
    const auto add = [&](int base, int digit) {
      magnitude = magnitude * base + digit;
      if (magnitude > kMaxInteger + 1) Fail(property, "Integer out of range");
      ++digits;
    };
    if (Peek() == '$') {
      ++pos_;
      while (!AtEnd() && HexDigit(text_[pos_]) >= 0) add(16, HexDigit(text_[pos_++]));
    } else {
      while (!AtEnd() && IsDigit(text_[pos_])) add(10, text_[pos_++] - '0');
    }
    if (digits == 0) Fail(property, "Digits expected");
    if (Peek() == '.' || Peek() == 'e' || Peek() == 'E')
      Fail(property, "Floating-point values are not supported");
    if (IsIdentChar(Peek())) Fail(property, "Invalid integer");
    const int64_t value = negative ? -magnitude : magnitude;
    if (value < kMinInteger || value > kMaxInteger) Fail(property, "Integer out of range");
    Value result;
    result.integer = value;
    return result;
  }

  // Quoted pieces and #nnn codes written next to each other, and such
  // strings joined with "+".
  Value ParseString(const std::string& property) {
    Value value;
    value.kind = Value::Kind::String;
    while (true) {
      if (Peek() != '\'' && Peek() != '#') Fail(property, "String expected after '+'");
      while (Peek() == '\'' || Peek() == '#') {
        if (Peek() == '#') {
          ++pos_;
          int64_t code = 0;
          int digits = 0;
          const bool hex = Peek() == '$';
          if (hex) ++pos_;
          while (!AtEnd() && (hex ? HexDigit(text_[pos_]) >= 0 : IsDigit(text_[pos_]))) {
            code = code * (hex ? 16 : 10) + (hex ? HexDigit(text_[pos_]) : text_[pos_] - '0');
            ++pos_;
            if (++digits > 6) Fail(property, "Character code out of range");
          }
          if (digits == 0) Fail(property, "Character code expected after '#'");
          if (code > 255) Fail(property, "Character code " + std::to_string(code) + " out of range");
          value.text += static_cast<char>(code);
          continue;
        }
        ++pos_;
        while (true) {
          if (AtEnd() || Peek() == '\n' || Peek() == '\r') Fail(property, "Unterminated string");
          const char c = text_[pos_++];
          if (c == '\'') {
            if (Peek() != '\'') break;
            ++pos_;
          }
          value.text += c;
        }
      }
      SkipSpace();
      if (Peek() != '+') return value;
      ++pos_;
      SkipSpace();
    }
  }

  Value ParseSet(const std::string& property) {
    Value value;
    value.kind = Value::Kind::Set;
    ++pos_;
    SkipBlanks();
    if (Peek() == ']') {
      ++pos_;
      return value;
    }
    while (true) {
      SkipBlanks();
      value.items.push_back(ReadIdent(property, "Set element"));
      SkipBlanks();
      if (Peek() == ']') {
        ++pos_;
        return value;
      }
      if (Peek() != ',') Fail(property, "',' or ']' expected in set");
      ++pos_;
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

class Applier {
 public:
  Applier(TComponent& root, const THandlerTable& handlers) : root_(root), handlers_(handlers) {
    for (int i = 0; i < root.ComponentCount(); ++i) {
      TComponent* component = root.Component(i);
      if (!component->Name().empty()) existing_.emplace(component->Name(), component);
    }
  }

  void Apply(const ObjectNode& node) {
    if (!root_.Class().InheritsFrom(node.className))
      throw EReadError(
          node.line, "",
          "Object " + node.name + ": " + node.className + " cannot be read into a " + root_.ClassName());
    root_.SetLoading(true);
    root_.SetName(node.name);
    ApplyObject(node, root_);
  }

  // Undoes what a failed read created and clears the loading marks.
  void Undo() {
    while (!created_.empty()) {
      delete created_.back();
      created_.pop_back();
    }
    for (TComponent* component : updated_) component->SetLoading(false);
    root_.SetLoading(false);
  }

  void RunLoaded() {
    for (TComponent* component : loaded_) component->Loaded();
    root_.Loaded();
  }

 private:
  void ApplyObject(const ObjectNode& node, TComponent& component) {
    Hooks::Get().NotifyComponentReadBegin(root_, component);
    for (const PropertyNode& property : node.properties) ApplyProperty(component, property);
    for (const ObjectNode& child : node.children) ApplyChild(child, component);
    Hooks::Get().NotifyComponentReadEnd(root_, component);
  }

  void ApplyChild(const ObjectNode& node, TComponent& enclosing) {
    if (!seen_.insert(node.name).second)
      throw EReadError(node.line, "", "Duplicate component name " + node.name);
    TComponent* component = nullptr;
    bool isNew = false;
    if (const auto it = existing_.find(node.name); it != existing_.end()) {
      component = it->second;
      if (!SameName(component->ClassName(), node.className))
        throw EReadError(
            node.line, "",
            "Component " + node.name + " is a " + component->ClassName() + ", not a " + node.className);
      updated_.push_back(component);
    } else {
      const ClassInfo* info = FindClass(node.className);
      if (info == nullptr) throw EReadError(node.line, "", "Class " + node.className + " not found");
      component = info->Create(&root_).release();
      if (component == nullptr)
        throw EReadError(node.line, "", "Class " + node.className + " cannot be created by name");
      created_.push_back(component);
      isNew = true;
    }
    component->SetLoading(true);
    component->SetName(node.name);
    loaded_.push_back(component);
    if (auto* control = dynamic_cast<TControl*>(component)) {
      if (auto* parent = dynamic_cast<TWinControl*>(&enclosing))
        control->SetParent(parent);
      else if (dynamic_cast<TControl*>(&enclosing) != nullptr)
        throw EReadError(node.line, "", enclosing.Name() + " cannot hold the control " + node.name);
    }
    if (isNew) Hooks::Get().NotifyComponentInserted(root_, *component);
    ApplyObject(node, *component);
  }

  void ApplyProperty(TComponent& component, const PropertyNode& node) {
    try {
      const std::size_t dot = node.path.find('.');
      if (dot != std::string::npos) {
        ApplyFontProperty(component, node, node.path.substr(0, dot), node.path.substr(dot + 1));
        return;
      }
      const PropertyInfo* property = component.FindProperty(node.path);
      if (property == nullptr) throw EPropertyError(component.ClassName() + " has no property " + node.path);
      if (property->type == PropertyType::Event) {
        const std::string& name = Expect(node, Value::Kind::Ident, "an event handler name").text;
        const auto handler = handlers_.find(name);
        if (handler == handlers_.end()) throw EPropertyError("No event handler named " + name);
        property->set(component, handler->second);
        component.SetEventHandlerName(property->name, handler->first);
        return;
      }
      property->set(component, Convert(component, *property, node));
    } catch (const EReadError&) {
      throw;
    } catch (const std::exception& error) {
      throw EReadError(node.line, node.path, error.what());
    }
  }

  PropertyValue Convert(TComponent& component, const PropertyInfo& property, const PropertyNode& node) {
    switch (property.type) {
      case PropertyType::Text:
        return ReadText(component, node);
      case PropertyType::Integer:
        return IntegerValue(node, property.idents);
      case PropertyType::Boolean: {
        const std::string& name = Expect(node, Value::Kind::Ident, "True or False").text;
        if (SameName(name, "True")) return true;
        if (SameName(name, "False")) return false;
        throw EPropertyError("True or False expected, not " + name);
      }
      case PropertyType::Enum:
        return static_cast<int64_t>(
            IndexOf(property.names, Expect(node, Value::Kind::Ident, "an identifier").text, property.name));
      case PropertyType::Set:
        return SetBits(node, property.names, property.name);
      case PropertyType::Font:
        throw EPropertyError("A font is written as its sub-properties (" + property.name + ".Name, ...)");
      case PropertyType::Event:
        break;
    }
    throw EPropertyError("Property type not readable");
  }

  void ApplyFontProperty(TComponent& component, const PropertyNode& node, const std::string& fontName,
                         const std::string& sub) {
    const PropertyInfo* property = component.FindProperty(fontName);
    if (property == nullptr || property->type != PropertyType::Font)
      throw EPropertyError(component.ClassName() + " has no property " + node.path);
    TFont font = FontOf(property->get(component));
    if (SameName(sub, "Name")) {
      font.SetName(ReadText(component, node));
    } else if (SameName(sub, "Height")) {
      font.SetHeight(static_cast<int>(IntegerValue(node, {})));
    } else if (SameName(sub, "Size")) {
      font.SetSize(static_cast<int>(IntegerValue(node, {})));
    } else if (SameName(sub, "Color")) {
      font.SetColor(static_cast<TColor>(IntegerValue(node, ColorIdents())));
    } else if (SameName(sub, "Charset")) {
      const int64_t charset = IntegerValue(node, CharsetIdents());
      if (charset < 0 || charset > 255) throw EPropertyError("Character set out of range");
      font.SetCharset(static_cast<uint8_t>(charset));
    } else if (SameName(sub, "Style")) {
      font.SetStyle(static_cast<TFontStyles>(SetBits(node, FontStyleNames(), "Style")));
    } else {
      throw EPropertyError("TFont has no property " + sub);
    }
    property->set(component, &font);
  }

  static const Value& Expect(const PropertyNode& node, Value::Kind kind, const char* what) {
    if (node.value.kind != kind) throw EPropertyError(std::string("Expected ") + what);
    return node.value;
  }

  std::string ReadText(TComponent& component, const PropertyNode& node) {
    std::string text = Expect(node, Value::Kind::String, "a string").text;
    Hooks::Get().NotifyTextRead(TextReadContext{&root_, &component, node.path}, text);
    return text;
  }

  static int64_t IntegerValue(const PropertyNode& node, const std::vector<IntegerIdent>& idents) {
    if (node.value.kind == Value::Kind::Integer) return node.value.integer;
    if (node.value.kind == Value::Kind::Ident) {
      for (const IntegerIdent& ident : idents)
        if (SameName(ident.name, node.value.text)) return ident.value;
      throw EPropertyError(node.value.text + " is not a valid value");
    }
    throw EPropertyError("Expected an integer");
  }

  static std::size_t IndexOf(const std::vector<std::string>& names, const std::string& name,
                             const std::string& property) {
    for (std::size_t i = 0; i < names.size(); ++i)
      if (SameName(names[i], name)) return i;
    throw EPropertyError(name + " is not a value of " + property);
  }

  static int64_t SetBits(const PropertyNode& node, const std::vector<std::string>& names,
                         const std::string& property) {
    int64_t bits = 0;
    for (const std::string& item : Expect(node, Value::Kind::Set, "a set").items)
      bits |= int64_t{1} << IndexOf(names, item, property);
    return bits;
  }

  TComponent& root_;
  const THandlerTable& handlers_;
  std::map<std::string, TComponent*, NameLess> existing_;
  std::set<std::string, NameLess> seen_;
  std::vector<TComponent*> created_;
  std::vector<TComponent*> updated_;
  std::vector<TComponent*> loaded_;
};

}  // namespace

EReadError::EReadError(int line, std::string property, const std::string& message)
    : std::runtime_error("Line " + std::to_string(line) + (property.empty() ? "" : ", property " + property) +
                         ": " + message),
      line_(line),
      property_(std::move(property)) {}

void ReadComponent(TComponent& root, std::string_view text, const THandlerTable& handlers) {
  const ObjectNode tree = Parser(text).ParseRoot();
  Applier applier(root, handlers);
  try {
    applier.Apply(tree);
  } catch (...) {
    applier.Undo();
    throw;
  }
  applier.RunLoaded();
}

std::unique_ptr<TComponent> CreateFromDescription(std::string_view text, const THandlerTable& handlers) {
  const ObjectNode tree = Parser(text).ParseRoot();
  const ClassInfo* info = FindClass(tree.className);
  if (info == nullptr) throw EReadError(tree.line, "", "Class " + tree.className + " not found");
  std::unique_ptr<TComponent> root = info->Create(nullptr);
  if (!root) throw EReadError(tree.line, "", "Class " + tree.className + " cannot be created by name");
  Applier applier(*root, handlers);
  try {
    applier.Apply(tree);
  } catch (...) {
    applier.Undo();
    throw;
  }
  applier.RunLoaded();
  return root;
}

}  // namespace toolkit
