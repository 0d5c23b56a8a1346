#include <cmath>
#include <limits>

#include "editor/BoardFile.h"
#include "editor/BoardFileObjects.h"

namespace brelix {
namespace {

using Json = nlohmann::ordered_json;

// One canonical layout: every top-level field on its own line, every element
// of an array of objects (stack, objects) on its own line, everything else
// on one line with ", " and ": " between items.
std::string Compact(const Json& value) {
  if (value.is_object()) {
    if (value.empty()) return "{}";
    std::string out = "{";
    bool first = true;
    for (const auto& [key, item] : value.items()) {
      if (!first) out += ", ";
      first = false;
      out += Json(key).dump(-1, ' ', false, Json::error_handler_t::replace) + ": " + Compact(item);
    }
    return out + "}";
  }
  if (value.is_array()) {
    if (value.empty()) return "[]";
    std::string out = "[";
    for (std::size_t i = 0; i < value.size(); ++i) out += (i ? ", " : "") + Compact(value[i]);
    return out + "]";
  }
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string Layout(const Json& document) {
  std::string out = "{\n";
  std::size_t index = 0;
  for (const auto& [key, value] : document.items()) {
    out += "  " + Json(key).dump() + ": ";
    const bool oneEach = value.is_array() && !value.empty() && value.front().is_object();
    if (oneEach) {
      out += "[\n";
      for (std::size_t i = 0; i < value.size(); ++i)
        out += "    " + Compact(value[i]) + (i + 1 < value.size() ? ",\n" : "\n");
      out += "  ]";
    } else {
      out += Compact(value);
    }
    out += ++index < document.size() ? ",\n" : "\n";
  }
  return out + "}\n";
}

// The file's own text for an unchanged value, the plain number otherwise.
Json LengthJson(const Length& length) {
  if (length.source.is_number_integer() && length.source.get<int64_t>() == length.value) return length.source;
  if (length.source.is_string()) {
    const auto parsed = ParseLength(length.source.get<std::string>());
    if (parsed && *parsed == length.value) return length.source;
  }
  return length.value;
}

Json TypeJson(const Kept<uint8_t>& type) {
  static const std::array<const char*, 4> kTypes = {"none", "core", "prepreg", "surface"};
  if (type.source.is_number_integer() && type.source.get<int64_t>() == type.value) return type.source;
  if (type.value < kTypes.size()) return kTypes[type.value];
  return type.value;
}

Json ConstantJson(const Kept<double>& constant) {
  if (constant.source.is_number() && constant.source.get<double>() == constant.value) return constant.source;
  if (!std::isfinite(constant.value)) return 0.0;
  return constant.value;
}

Json DielectricJson(const Dielectric& d) {
  Json out = Json::object();
  out["material"] = d.material;
  out["type"] = TypeJson(d.type);
  out["constant"] = ConstantJson(d.constant);
  out["height"] = LengthJson(d.height);
  return out;
}

}  // namespace

std::string WriteBoardFile(const Board& board, const std::vector<const EditorObject*>& contents) {
  Json document = Json::object();
  document["format"] = kBoardFormat;
  document["fileName"] = board.fileName;
  document["unit"] = board.unit == kImperial ? "imperial" : "metric";
  document["currentLayer"] = board.currentLayer;
  document["cursor"] = Json::array({LengthJson(board.openedCursor[0]), LengthJson(board.openedCursor[1])});
  document["refusesCommands"] = board.refusesCommands;
  Json stack = Json::array();
  for (std::size_t i = 0; i < board.stack.size(); ++i) {
    const uint8_t id = board.stack[i];
    const LayerRecord& layer = board.layers[id];
    Json entry = Json::object();
    entry["id"] = id;
    entry["name"] = layer.name;
    entry["copper"] = LengthJson(layer.copper);
    if (IsInternalPlane(id)) entry["net"] = layer.net;
    if (i + 1 < board.stack.size()) entry["dielectric"] = DielectricJson(layer.dielectric);
    stack.push_back(std::move(entry));
  }
  document["stack"] = std::move(stack);
  document["topDielectric"] = DielectricJson(board.topDielectric);
  document["bottomDielectric"] = DielectricJson(board.bottomDielectric);
  Json pairs = Json::array();
  for (const LayerPair& pair : board.pairs)
    pairs.push_back(Json::array({PlainLayer(pair.first), PlainLayer(pair.second)}));
  document["layerPairs"] = std::move(pairs);
  std::unordered_map<abi::PcbHandle, std::size_t> positions;
  for (const EditorObject* object : contents)
    if (object) positions.emplace(object->handle, positions.size());
  Json objects = Json::array();
  for (const EditorObject* object : contents)
    if (object) objects.push_back(WriteObjectEntry(*object, positions));
  document["objects"] = std::move(objects);
  return Layout(document);
}

}  // namespace brelix
