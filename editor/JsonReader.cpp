#include "editor/JsonReader.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace brelix {
namespace {

using nlohmann::json;

// No board file needs more values than this outside its streamed array
// (a full stack with every layer pair is a few thousand); more is refused
// rather than held.
constexpr std::size_t kMaxHeldValues = 1u << 16;

std::string Position(std::string_view text, std::size_t byte) {
  std::size_t line = 1;
  std::size_t column = 1;
  for (std::size_t i = 0; i + 1 < byte && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
  }
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// Builds the document from the parser's events, one container level at a
// time; the values of the level being filled go where `slot` points.
class Builder {
 public:
  Builder(std::string_view text, const JsonReadLimits& limits, std::string_view streamed,
          const JsonElementSink& sink)
      : text_(text), limits_(limits), streamed_(streamed), sink_(sink) {}

  json Take() { return std::move(root_); }

  bool null() { return Scalar(nullptr); }
  bool boolean(bool value) { return Scalar(value); }
  bool number_integer(json::number_integer_t value) { return Scalar(value); }
  bool number_unsigned(json::number_unsigned_t value) { return Scalar(value); }
  bool number_float(json::number_float_t value, const json::string_t&) { return Scalar(value); }
  bool string(json::string_t& value) { return Scalar(std::move(value)); }
  bool binary(json::binary_t&) { return Scalar(nullptr); }

  bool start_object(std::size_t) { return Open(json::object(), false); }
  bool start_array(std::size_t) { return Open(json::array(), true); }
  bool end_object() { return Close(); }
  bool end_array() { return Close(); }

  bool key(json::string_t& name) {
    Level& level = levels_.back();
    auto& members = level.container->get_ref<json::object_t&>();
    const auto [where, added] = members.emplace(name, nullptr);
    if (!added)
      throw JsonReadError(Path(levels_.size() - 1), "the key \"" + name + "\" appears twice in one object");
    level.key = name;
    if (levels_.size() == 1 && !limits_.topLevelKeys.empty()) {
      bool known = false;
      for (const std::string& allowed : limits_.topLevelKeys) known = known || allowed == name;
      if (!known) throw JsonReadError(Path(), "unknown field");
    }
    level.slot = &where->second;
    return true;
  }

  bool parse_error(std::size_t byte, const std::string& token, const nlohmann::detail::exception& error) {
    if (error.id == 406) {
      // A number the parser cannot hold (1e400, a 400-digit integer).
      const std::string shown = token.size() > 24 ? token.substr(0, 20) + "..." : token;
      throw JsonReadError(Path(), "the number " + shown + " is out of range");
    }
    throw JsonReadError("", "not valid JSON (truncated or malformed) at " + Position(text_, byte));
  }

 private:
  struct Level {
    json* container = nullptr;
    bool array = false;
    bool streamed = false;
    std::size_t count = 0;  // elements so far (arrays)
    std::string key;        // the member being read (objects)
    json* slot = nullptr;   // where that member's value goes
  };

  // The field being read, through the first `depth` levels (all by default).
  std::string Path(std::size_t depth = SIZE_MAX) const {
    std::string path;
    for (std::size_t i = 0; i < levels_.size() && i < depth; ++i)
      path = levels_[i].array ? ElementPath(path, levels_[i].count) : MemberPath(path, levels_[i].key);
    return path;
  }

  void Hold() {
    if (++held_ > kMaxHeldValues)
      throw JsonReadError(Path(), "holds more than " + std::to_string(kMaxHeldValues) +
                                      " values outside its objects; not a board file");
  }

  // Puts `value` where the current level takes its next value.
  json* Place(json&& value) {
    Hold();
    if (levels_.empty()) {
      if (!value.is_object())
        throw JsonReadError("", std::string("must be an object, not ") + JsonTypeName(value));
      root_ = std::move(value);
      return &root_;
    }
    Level& level = levels_.back();
    if (!level.array) return &(*level.slot = std::move(value));
    if (level.streamed) {
      element_ = std::move(value);
      return &element_;
    }
    auto& elements = level.container->get_ref<json::array_t&>();
    elements.push_back(std::move(value));
    return &elements.back();
  }

  // A value of the current level is complete.
  void Completed() {
    if (levels_.empty()) return;
    Level& level = levels_.back();
    if (!level.array) return;
    if (level.streamed) {
      sink_(std::move(element_), level.count);
      element_ = nullptr;
      held_ = heldBeforeStream_;
    }
    ++level.count;
  }

  bool Scalar(json&& value) {
    Place(std::move(value));
    Completed();
    return true;
  }

  bool Open(json&& container, bool array) {
    if (static_cast<int>(levels_.size()) >= limits_.maxNesting)
      throw JsonReadError(Path(), "nested deeper than " + std::to_string(limits_.maxNesting) + " levels");
    const bool streamed = array && levels_.size() == 1 && levels_.back().key == streamed_;
    json* placed = Place(std::move(container));
    levels_.push_back({placed, array, streamed, 0, {}, nullptr});
    if (streamed) heldBeforeStream_ = held_;
    return true;
  }

  bool Close() {
    levels_.pop_back();
    Completed();
    return true;
  }

  std::string_view text_;
  const JsonReadLimits& limits_;
  std::string_view streamed_;
  const JsonElementSink& sink_;
  json root_;
  json element_;
  std::vector<Level> levels_;
  std::size_t held_ = 0;
  std::size_t heldBeforeStream_ = 0;
};

}  // namespace

const char* JsonTypeName(const json& value) {
  switch (value.type()) {
    case json::value_t::null:
      return "null";
    case json::value_t::boolean:
      return "a boolean";
    case json::value_t::string:
      return "a string";
    case json::value_t::array:
      return "an array";
    case json::value_t::object:
      return "an object";
    case json::value_t::number_float:
      return "a fractional number";
    default:
      return "a number";
  }
}

std::string MemberPath(const std::string& path, const std::string& key) {
  if (path.empty()) return key;
  // Built in place: one allocation, and no appends of C strings whose length
  // the inliner may leave to a strlen call on every field read.
  std::string member;
  member.reserve(path.size() + 1 + key.size());
  member.append(path).append(1, '.').append(key);
  return member;
}

std::string ElementPath(const std::string& path, std::size_t index) {
  return path + "[" + std::to_string(index) + "]";
}

json ReadJson(std::string_view text, const JsonReadLimits& limits, std::string_view streamed,
              const JsonElementSink& sink) {
  Builder builder(text, limits, streamed, sink);
  const char* begin = text.data();
  if (!json::sax_parse(begin, begin + text.size(), &builder))
    throw JsonReadError("", "not valid JSON (truncated or malformed)");
  return builder.Take();
}

}  // namespace brelix
