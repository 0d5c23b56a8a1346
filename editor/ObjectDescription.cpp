#include "editor/ObjectDescription.h"

#include "editor/ObjectSchema.h"

namespace brelix {
namespace {

using Json = nlohmann::ordered_json;

Json PointsJson(const std::vector<Point>& points) {
  Json out = Json::array();
  for (const Point& p : points) out.push_back({p.x, p.y});
  return out;
}

// Per-layer pad data for the layers that have any: [layer, shape, x, y, corner radius].
Json PadLayersJson(const EditorObject& pad) {
  Json out = Json::array();
  for (int layer = 0; layer < kPadLayerCount; ++layer) {
    const auto i = static_cast<std::size_t>(layer);
    if (pad.pad->shapes[i] == 0 && pad.pad->sizeX[i] == 0 && pad.pad->sizeY[i] == 0) continue;
    out.push_back(
        {layer, pad.pad->shapes[i], pad.pad->sizeX[i], pad.pad->sizeY[i], PadCornerRadius(pad, layer)});
  }
  return out;
}

template <class T>
Json ArrayJson(const T* values, std::size_t count) {
  Json out = Json::array();
  for (std::size_t i = 0; i < count; ++i) out.push_back(values[i]);
  return out;
}

Json FieldJson(const EditorObject& o, const schema::Field& f) {
  switch (f.type) {
    case schema::Type::Integer:
    case schema::Type::Size:
    case schema::Type::TextReference:
      return f.Value<int32_t>(o);
    case schema::Type::Byte:
    case schema::Type::Flag:
    case schema::Type::CopperLayer:
    case schema::Type::MemberKind:
      return f.Value<uint8_t>(o);
    case schema::Type::Word:
      return f.Value<uint16_t>(o);
    case schema::Type::Layer:
      return f.Value<uint32_t>(o);
    case schema::Type::Angle:
      return f.Value<double>(o);
    case schema::Type::Text:
      return f.Value<std::string>(o);
    case schema::Type::References:
      return f.Value<std::vector<qvabi::PcbHandle>>(o);
    case schema::Type::Points:
      return PointsJson(f.Value<std::vector<Point>>(o));
    case schema::Type::Members:
      return f.Value<std::vector<std::string>>(o);
    case schema::Type::Integers:
      return ArrayJson(&f.Value<int32_t>(o), f.access.count);
    case schema::Type::Bytes:
    case schema::Type::CornerPercent:
      return ArrayJson(&f.Value<uint8_t>(o), f.access.count);
    case schema::Type::PadShapes:
      return PadLayersJson(o);
    case schema::Type::Header:
      break;
  }
  return nullptr;
}

}  // namespace

void DescribeKindFields(const EditorObject& o, Json& out) {
  const schema::KindSchema* kind = schema::SchemaOf(o.kind);
  if (!kind) return;
  for (const schema::Field& f : kind->fields)
    if (!f.shared) out[f.key] = FieldJson(o, f);
}

}  // namespace brelix
