// A one-pass JSON reader for board files: builds the document while checking
// what a DOM parser would let through (nesting depth, a key twice in one
// object, numbers beyond the range of a double), and hands the elements of
// one top-level array to a callback as each one completes, so that a board
// with hundreds of thousands of objects never exists as a whole DOM.
// Time is linear in the text; memory is the document minus that array.
#pragma once

#include <cstddef>
#include <functional>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace brelix {

// Why the text was refused: `path` is the field as written in messages
// ("objects[3].x1", empty for the document itself), `rule` what it breaks.
class JsonReadError : public std::runtime_error {
 public:
  JsonReadError(std::string path, std::string rule)
      : std::runtime_error(rule), path(std::move(path)), rule(std::move(rule)) {}
  std::string path;
  std::string rule;
};

struct JsonReadLimits {
  int maxNesting = 32;
  // The members the document may have; any other is refused as soon as its
  // key is read. Empty: any.
  std::vector<std::string> topLevelKeys;
};

// Each complete element of the top-level member `streamed` (when it is an
// array) with its index; the document keeps that member as an empty array.
using JsonElementSink = std::function<void(nlohmann::json&& element, std::size_t index)>;

// Parses `text`; throws JsonReadError, or whatever `sink` throws.
nlohmann::json ReadJson(std::string_view text, const JsonReadLimits& limits, std::string_view streamed,
                        const JsonElementSink& sink);

// "a string", "an array", "a fractional number", ... for messages.
const char* JsonTypeName(const nlohmann::json& value);

// Field paths as written in messages: "unit", "stack[2].id", "cursor[1]".
std::string MemberPath(const std::string& path, const std::string& key);
std::string ElementPath(const std::string& path, std::size_t index);

}  // namespace brelix
