// The checked reading of one board file's fields, shared by the reader of
// the file as a whole and the readers of its objects. Every check that fails
// raises BoardFileError("FILE: FIELD: RULE").
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

namespace brelix {

// The longest string of a board file, in bytes.
inline constexpr std::size_t kMaxFileString = 255;

// Field paths as written in messages: "unit", "stack[2].id", "cursor[1]".
std::string Member(const std::string& path, const std::string& key);
std::string Element(const std::string& path, std::size_t index);
// "a string", "an array", ... for messages.
const char* TypeName(const nlohmann::json& value);

// What editor/Board.h's Kept values keep of the file: the JSON as written.
struct KeptSource {
  nlohmann::json json;
};
inline std::shared_ptr<const KeptSource> Keep(const nlohmann::json& value) {
  return std::make_shared<const KeptSource>(KeptSource{value});
}

class FieldReader {
 public:
  explicit FieldReader(std::string file) : file_(std::move(file)) {}

  [[noreturn]] void Fail(const std::string& path, const std::string& rule) const;
  // Refuses anything but an object, and any member not in `allowed`.
  void CheckMembers(const nlohmann::json& object, const std::string& path,
                    std::initializer_list<const char*> allowed) const;
  const nlohmann::json* Optional(const nlohmann::json& object, const std::string& key) const;
  const nlohmann::json& Required(const nlohmann::json& object, const std::string& path,
                                 const std::string& key) const;
  // At most kMaxFileString bytes.
  std::string String(const nlohmann::json& value, const std::string& path) const;
  int64_t Integer(const nlohmann::json& value, const std::string& path, int64_t low, int64_t high) const;
  // Any finite number.
  double Number(const nlohmann::json& value, const std::string& path) const;
  bool Boolean(const nlohmann::json& value, const std::string& path) const;

  const std::string& file() const { return file_; }

 private:
  std::string file_;
};

}  // namespace brelix
