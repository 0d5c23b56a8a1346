#include "editor/BoardFileFields.h"

#include <cmath>

#include "abi/Utf8.h"
#include "editor/BoardFile.h"
#include "editor/JsonReader.h"

namespace brelix {
namespace {

using nlohmann::json;

}  // namespace

std::string Member(const std::string& path, const std::string& key) { return MemberPath(path, key); }

std::string Element(const std::string& path, std::size_t index) { return ElementPath(path, index); }

const char* TypeName(const json& value) { return JsonTypeName(value); }

void FieldReader::Fail(const std::string& path, const std::string& rule) const {
  throw BoardFileError(file_ + ": " + (path.empty() ? std::string("(document)") : path) + ": " + rule);
}

void FieldReader::CheckMembers(const json& object, const std::string& path,
                               std::initializer_list<const char*> allowed) const {
  if (!object.is_object()) Fail(path, std::string("must be an object, not ") + TypeName(object));
  for (const auto& [key, value] : object.items()) {
    bool known = false;
    for (const char* name : allowed) known = known || key == name;
    if (!known) Fail(Member(path, key), "unknown field");
  }
}

const json* FieldReader::Optional(const json& object, const std::string& key) const {
  const auto it = object.find(key);
  return it == object.end() ? nullptr : &*it;
}

const json& FieldReader::Required(const json& object, const std::string& path, const std::string& key) const {
  const json* value = Optional(object, key);
  if (!value) Fail(Member(path, key), "required field is missing");
  return *value;
}

std::string FieldReader::String(const json& value, const std::string& path) const {
  if (!value.is_string()) Fail(path, std::string("must be a string, not ") + TypeName(value));
  const auto& text = value.get_ref<const std::string&>();
  if (text.size() > kMaxFileString) {
    // The limit is in bytes; where characters take more than one, say both.
    const std::size_t characters = qvabi::Utf8Length(text);
    if (characters == text.size())
      Fail(path, "is " + std::to_string(text.size()) + " characters long; at most " +
                     std::to_string(kMaxFileString) + " are allowed");
    Fail(path, "is " + std::to_string(text.size()) + " bytes long in UTF-8 (" + std::to_string(characters) +
                   " characters); at most " + std::to_string(kMaxFileString) + " bytes are allowed");
  }
  return text;
}

int64_t FieldReader::Integer(const json& value, const std::string& path, int64_t low, int64_t high) const {
  // A whole number too long for 64 bits reaches here as a fractional one.
  if (value.is_number_float() && std::fabs(value.get<double>()) >= 0x1p63 &&
      std::trunc(value.get<double>()) == value.get<double>())
    Fail(path, "must be from " + std::to_string(low) + " to " + std::to_string(high));
  if (!value.is_number_integer()) Fail(path, std::string("must be a whole number, not ") + TypeName(value));
  if (value.is_number_unsigned() && value.get<uint64_t>() > static_cast<uint64_t>(high))
    Fail(path, "must be from " + std::to_string(low) + " to " + std::to_string(high));
  const int64_t number = value.get<int64_t>();
  if (number < low || number > high)
    Fail(path, "must be from " + std::to_string(low) + " to " + std::to_string(high));
  return number;
}

double FieldReader::Number(const json& value, const std::string& path) const {
  if (!value.is_number()) Fail(path, std::string("must be a number, not ") + TypeName(value));
  const double number = value.get<double>();
  if (!std::isfinite(number)) Fail(path, "must be a finite number");
  return number;
}

bool FieldReader::Boolean(const json& value, const std::string& path) const {
  if (!value.is_boolean()) Fail(path, std::string("must be true or false, not ") + TypeName(value));
  return value.get<bool>();
}

}  // namespace brelix
