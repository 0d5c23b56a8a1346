#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <set>

#include "boardtext/TextFile.h"
#include "editor/BoardFile.h"
#include "editor/BoardFileFields.h"
#include "editor/BoardFileObjects.h"
#include "editor/JsonReader.h"

namespace brelix {
namespace {

using nlohmann::json;

constexpr int kMaxNesting = 32;

class Reader : public FieldReader {
 public:
  using FieldReader::FieldReader;

  Length LengthOf(const json& value, const std::string& path, bool nonNegative) const {
    int32_t units = 0;
    // A whole number too long for 64 bits reads as a fractional one: the
    // range check says what is wrong with it.
    const bool whole = value.is_number_integer() ||
                       (value.is_number_float() && std::trunc(value.get<double>()) == value.get<double>());
    if (whole) {
      units = static_cast<int32_t>(
          Integer(value, path, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    } else if (value.is_string()) {
      std::string why;
      const auto parsed = boardtext::ParseLength(String(value, path), &why);
      if (!parsed) Fail(path, why);
      units = *parsed;
    } else {
      Fail(path, std::string("must be a length (board units or a text with mil, mm or in), not ") +
                     TypeName(value));
    }
    if (nonNegative && units < 0) Fail(path, "must not be negative");
    return Length(units, Keep(value));
  }

  Dielectric DielectricOf(const json& object, const std::string& path) const {
    CheckMembers(object, path, {"material", "type", "constant", "height"});
    Dielectric d;
    d.material = String(Required(object, path, "material"), Member(path, "material"));
    const json& type = Required(object, path, "type");
    const std::string typePath = Member(path, "type");
    if (type.is_string()) {
      static const std::array<const char*, 4> kTypes = {"none", "core", "prepreg", "surface"};
      const std::string name = String(type, typePath);
      std::size_t code = 0;
      while (code < kTypes.size() && name != kTypes[code]) ++code;
      if (code == kTypes.size())
        Fail(typePath, "\"" + name + "\" is not none, core, prepreg, surface or a number");
      d.type = Kept<uint8_t>(static_cast<uint8_t>(code), Keep(type));
    } else {
      d.type = Kept<uint8_t>(static_cast<uint8_t>(Integer(type, typePath, 0, 255)), Keep(type));
    }
    const json& constant = Required(object, path, "constant");
    const double value = Number(constant, Member(path, "constant"));
    if (value < 0) Fail(Member(path, "constant"), "must not be negative");
    // The legend shows the constant as a single-precision number.
    if (value > std::numeric_limits<float>::max())
      Fail(Member(path, "constant"), "must be at most 3.4e38 (the single-precision range)");
    d.constant = Kept<double>(value, Keep(constant));
    d.height = LengthOf(Required(object, path, "height"), Member(path, "height"), true);
    return d;
  }

  void ReadStack(const json& stack, Board& board) const {
    if (!stack.is_array()) Fail("stack", std::string("must be an array, not ") + TypeName(stack));
    if (stack.empty()) Fail("stack", "must hold at least the layers 1 and 32");
    std::set<int> seen;
    for (std::size_t i = 0; i < stack.size(); ++i) {
      const std::string path = Element("stack", i);
      const json& entry = stack[i];
      CheckMembers(entry, path, {"id", "name", "copper", "net", "dielectric"});
      const std::string idPath = Member(path, "id");
      const json& idValue = Required(entry, path, "id");
      if (!idValue.is_number_integer())
        Fail(idPath, std::string("must be a whole number, not ") + TypeName(idValue));
      const int64_t id =
          idValue.is_number_unsigned() && idValue.get<uint64_t>() > 1000 ? 1000 : idValue.get<int64_t>();
      if (!IsCopperLayer(static_cast<int>(std::clamp<int64_t>(id, -1, 1000))))
        Fail(idPath, std::to_string(id) + " is not a signal layer (1 to 32) or an internal plane (39 to 54)");
      if (!seen.insert(static_cast<int>(id)).second)
        Fail(idPath, "layer " + std::to_string(id) + " is used twice");
      if (i == 0 && id != kTopLayer) Fail(idPath, "the stack must start with layer 1");
      if (i + 1 == stack.size() && id != kBottomLayer) Fail(idPath, "the stack must end with layer 32");
      LayerRecord& layer = board.layers[static_cast<std::size_t>(id)];
      if (const json* name = Optional(entry, "name")) layer.name = String(*name, Member(path, "name"));
      if (const json* copper = Optional(entry, "copper"))
        layer.copper = LengthOf(*copper, Member(path, "copper"), true);
      if (const json* net = Optional(entry, "net")) {
        if (!IsInternalPlane(static_cast<int>(id)))
          Fail(Member(path, "net"), "only internal planes carry a net");
        layer.net = String(*net, Member(path, "net"));
      }
      const json* dielectric = Optional(entry, "dielectric");
      if (i + 1 == stack.size()) {
        if (dielectric)
          Fail(Member(path, "dielectric"), "the last layer of the stack has no dielectric below it");
      } else {
        if (!dielectric)
          Fail(Member(path, "dielectric"), "required field is missing (every layer but the last)");
        layer.dielectric = DielectricOf(*dielectric, Member(path, "dielectric"));
      }
      board.stack.push_back(static_cast<uint8_t>(id));
    }
  }

  void ReadPairs(const json& pairs, Board& board) const {
    if (!pairs.is_array()) Fail("layerPairs", std::string("must be an array, not ") + TypeName(pairs));
    for (std::size_t i = 0; i < pairs.size(); ++i) {
      const std::string path = Element("layerPairs", i);
      const json& pair = pairs[i];
      if (!pair.is_array() || pair.size() != 2) Fail(path, "must be an array of two layer ids");
      LayerPair result;
      for (std::size_t k = 0; k < 2; ++k) {
        const auto id = static_cast<uint8_t>(Integer(pair[k], Element(path, k), 1, kLayerCount));
        if (std::find(board.stack.begin(), board.stack.end(), id) == board.stack.end())
          Fail(Element(path, k), "layer " + std::to_string(id) + " is not in the stack");
        (k == 0 ? result.first : result.second) = id;
      }
      if (result.first == result.second) Fail(path, "a pair needs two different layers");
      board.pairs.push_back(result);
    }
  }

  BoardFileContents Read(std::string_view text) const {
    BoardFileContents result;
    JsonReadLimits limits;
    limits.maxNesting = kMaxNesting;
    limits.topLevelKeys = {"format",           "fileName",        "unit",   "currentLayer",
                           "cursor",           "refusesCommands", "stack",  "topDielectric",
                           "bottomDielectric", "layerPairs",      "objects"};
    // The objects are checked and converted one by one as the parser
    // completes them; the document keeps an empty array in their place.
    ObjectFileReader reader(*this);
    json document;
    try {
      document = ReadJson(text, limits, "objects", [&](json&& element, std::size_t index) {
        result.objects.push_back(reader.Read(element, Element("objects", index)));
      });
    } catch (const JsonReadError& error) {
      Fail(error.path, error.rule);
    }
    Board& board = result.board;
    const std::string format = String(Required(document, "", "format"), "format");
    if (format != kBoardFormat) Fail("format", "\"" + format + "\" is not " + kBoardFormat);
    if (const json* name = Optional(document, "fileName")) board.fileName = String(*name, "fileName");
    if (const json* unit = Optional(document, "unit")) {
      const std::string value = String(*unit, "unit");
      if (value != "imperial" && value != "metric")
        Fail("unit", "\"" + value + "\" is not imperial or metric");
      board.unit = value == "imperial" ? kImperial : kMetric;
    }
    if (const json* layer = Optional(document, "currentLayer"))
      board.currentLayer = static_cast<uint8_t>(Integer(*layer, "currentLayer", 1, kLayerCount));
    if (const json* cursor = Optional(document, "cursor")) {
      if (!cursor->is_array() || cursor->size() != 2)
        Fail("cursor", "must be an array of two lengths [X, Y]");
      board.openedCursor[0] = LengthOf((*cursor)[0], "cursor[0]", false);
      board.openedCursor[1] = LengthOf((*cursor)[1], "cursor[1]", false);
    }
    board.cursor = {board.openedCursor[0].value, board.openedCursor[1].value};
    if (const json* refuses = Optional(document, "refusesCommands")) {
      if (!refuses->is_boolean())
        Fail("refusesCommands", std::string("must be true or false, not ") + TypeName(*refuses));
      board.refusesCommands = refuses->get<bool>();
    }
    ReadStack(Required(document, "", "stack"), board);
    if (const json* top = Optional(document, "topDielectric"))
      board.topDielectric = DielectricOf(*top, "topDielectric");
    if (const json* bottom = Optional(document, "bottomDielectric"))
      board.bottomDielectric = DielectricOf(*bottom, "bottomDielectric");
    if (const json* pairs = Optional(document, "layerPairs")) ReadPairs(*pairs, board);
    if (const json* objects = Optional(document, "objects")) {
      if (!objects->is_array()) Fail("objects", std::string("must be an array, not ") + TypeName(*objects));
      reader.CheckReferences(result.objects);
    }
    board.LinkStack();
    return result;
  }
};

}  // namespace

BoardFileContents ReadBoardFile(std::string_view text, const std::string& name) {
  return Reader(name).Read(text);
}

std::string LoadTextFile(const std::string& path, boardtext::FileSize size) {
  std::string error;
  auto text = boardtext::ReadTextFile(path, "a board file", &error, size);
  if (!text) throw BoardFileError(error);
  return std::move(*text);
}

}  // namespace brelix
