#include <algorithm>
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
void AppendCompact(std::string& out, const Json& value) {
  if (value.is_object()) {
    out += '{';
    bool first = true;
    for (const auto& [key, item] : value.items()) {
      if (!first) out += ", ";
      first = false;
      AppendJsonString(out, key);
      out += ": ";
      AppendCompact(out, item);
    }
    out += '}';
  } else if (value.is_array()) {
    out += '[';
    for (std::size_t i = 0; i < value.size(); ++i) {
      if (i) out += ", ";
      AppendCompact(out, value[i]);
    }
    out += ']';
  } else if (value.is_number_integer()) {
    out += value.is_number_unsigned() ? std::to_string(value.get<uint64_t>())
                                      : std::to_string(value.get<int64_t>());
  } else if (value.is_string()) {
    AppendJsonString(out, value.get_ref<const std::string&>());
  } else {
    out += value.dump(-1, ' ', false, Json::error_handler_t::replace);
  }
}

// The document with its "objects" written from `objects` one at a time, so
// that the board's objects never exist as one JSON tree.
std::string Layout(const Json& document, const std::vector<const EditorObject*>& objects,
                   const std::unordered_map<qvabi::PcbHandle, std::size_t>& positions) {
  std::string out = "{\n";
  // An entry takes about 130 bytes besides its texts: one allocation for the
  // whole file unless texts need much escaping.
  std::size_t estimate = 4096;
  for (const EditorObject* object : objects)
    estimate += 136 + object->textData->text.size() + object->labels->name.size();
  out.reserve(estimate);
  std::size_t index = 0;
  for (const auto& [key, value] : document.items()) {
    out += "  " + Json(key).dump() + ": ";
    const bool oneEach = value.is_array() && !value.empty() && value.front().is_object();
    if (key == "objects" && !objects.empty()) {
      out += "[\n";
      for (std::size_t i = 0; i < objects.size(); ++i) {
        out += "    ";
        AppendObjectEntry(out, {objects, positions}, i);
        out += i + 1 < objects.size() ? ",\n" : "\n";
      }
      out += "  ]";
    } else if (oneEach) {
      out += "[\n";
      for (std::size_t i = 0; i < value.size(); ++i) {
        out += "    ";
        AppendCompact(out, value[i]);
        out += i + 1 < value.size() ? ",\n" : "\n";
      }
      out += "  ]";
    } else {
      AppendCompact(out, value);
    }
    out += ++index < document.size() ? ",\n" : "\n";
  }
  out += "}\n";
  return out;
}

// The JSON the file gave for a kept value; null when it gave none.
const nlohmann::json& SourceJson(const std::shared_ptr<const KeptSource>& source) {
  static const nlohmann::json kNone;
  return source ? source->json : kNone;
}

// The file's own text for an unchanged value, the plain number otherwise.
Json LengthJson(const Length& length) {
  const nlohmann::json& source = SourceJson(length.source);
  if (source.is_number_integer() && source.get<int64_t>() == length.value) return source;
  if (source.is_string()) {
    const auto parsed = boardtext::ParseLength(source.get<std::string>());
    if (parsed && *parsed == length.value) return source;
  }
  return length.value;
}

Json TypeJson(const Kept<uint8_t>& type) {
  static const std::array<const char*, 4> kTypes = {"none", "core", "prepreg", "surface"};
  const nlohmann::json& source = SourceJson(type.source);
  if (source.is_number_integer() && source.get<int64_t>() == type.value) return source;
  if (type.value < kTypes.size()) return kTypes[type.value];
  return type.value;
}

Json ConstantJson(const Kept<double>& constant) {
  const nlohmann::json& source = SourceJson(constant.source);
  if (source.is_number() && source.get<double>() == constant.value) return source;
  if (!std::isfinite(constant.value) || constant.value < 0) return 0.0;
  // The reader takes what a single-precision number holds.
  return std::min<double>(constant.value, std::numeric_limits<float>::max());
}

Json NonNegativeLengthJson(const Length& length) { return length.value < 0 ? Json(0) : LengthJson(length); }

Json DielectricJson(const Dielectric& d) {
  Json out = Json::object();
  out["material"] = d.material;
  out["type"] = TypeJson(d.type);
  out["constant"] = ConstantJson(d.constant);
  out["height"] = NonNegativeLengthJson(d.height);
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
    entry["copper"] = NonNegativeLengthJson(layer.copper);
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
  std::unordered_map<qvabi::PcbHandle, std::size_t> positions;
  positions.reserve(contents.size());
  for (const EditorObject* object : contents)
    if (object) positions.emplace(object->handle, positions.size());
  document["objects"] = Json::array();
  std::vector<const EditorObject*> objects;
  objects.reserve(contents.size());
  for (const EditorObject* object : contents)
    if (object) objects.push_back(object);
  return Layout(document, objects, positions);
}

}  // namespace brelix
