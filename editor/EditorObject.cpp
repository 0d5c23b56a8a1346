#include "editor/EditorObject.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "editor/ObjectSchema.h"

namespace brelix {
namespace {

struct Bounds {
  int64_t minX = std::numeric_limits<int64_t>::max();
  int64_t minY = std::numeric_limits<int64_t>::max();
  int64_t maxX = std::numeric_limits<int64_t>::min();
  int64_t maxY = std::numeric_limits<int64_t>::min();

  void Add(int64_t px, int64_t py) {
    minX = std::min(minX, px);
    minY = std::min(minY, py);
    maxX = std::max(maxX, px);
    maxY = std::max(maxY, py);
  }
  void Grow(int64_t by) {
    minX -= by;
    minY -= by;
    maxX += by;
    maxY += by;
  }
};

int32_t Clamp32(int64_t value) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

Rect ToRect(const Bounds& b) { return {Clamp32(b.minX), Clamp32(b.minY), Clamp32(b.maxX), Clamp32(b.maxY)}; }

int64_t RoundToUnit(double value) {
  if (!std::isfinite(value)) return 0;
  return static_cast<int64_t>(std::llround(std::clamp(value, -9.0e18, 9.0e18)));
}

double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

// Turns (px, py) about (cx, cy) by `degrees`, exactly for multiples of 90.
std::pair<int64_t, int64_t> Turn(int64_t px, int64_t py, int64_t cx, int64_t cy, double degrees) {
  const int64_t dx = px - cx;
  const int64_t dy = py - cy;
  double turns = std::fmod(degrees, 360.0);
  if (turns < 0) turns += 360.0;
  if (turns == 0.0) return {px, py};
  if (turns == 90.0) return {cx - dy, cy + dx};
  if (turns == 180.0) return {cx - dx, cy - dy};
  if (turns == 270.0) return {cx + dy, cy - dx};
  const double c = std::cos(Radians(turns));
  const double s = std::sin(Radians(turns));
  return {cx + RoundToUnit(static_cast<double>(dx) * c - static_cast<double>(dy) * s),
          cy + RoundToUnit(static_cast<double>(dx) * s + static_cast<double>(dy) * c)};
}

Rect TextRect(const EditorObject& t) {
  const int64_t n = static_cast<int64_t>(t.textData->text.size());
  if (n == 0) return {t.x, t.y, t.x, t.y};
  const int64_t advance = static_cast<int64_t>(t.size) * 2 / 3;
  const int64_t right = t.x + n * advance + t.width;
  const int64_t top = t.y + static_cast<int64_t>(t.size) + t.width;
  Bounds b;
  const std::array<std::pair<int64_t, int64_t>, 4> corners = {
      std::pair<int64_t, int64_t>{t.x, t.y}, {right, t.y}, {t.x, top}, {right, top}};
  for (const auto& [px, py] : corners) {
    const auto [qx, qy] = Turn(px, py, t.x, t.y, t.rotation);
    b.Add(qx, qy);
  }
  return ToRect(b);
}

Rect TrackRect(const EditorObject& t) {
  Bounds b;
  b.Add(t.x, t.y);
  b.Add(t.x2, t.y2);
  b.Grow(static_cast<int64_t>(t.width) / 2);
  return ToRect(b);
}

double Normalised(double degrees) {
  double d = std::fmod(degrees, 360.0);
  if (d < 0) d += 360.0;
  return d;
}

Rect ArcRect(const EditorObject& a) {
  Bounds b;
  const double start = Normalised(std::isfinite(a.startAngle) ? a.startAngle : 0.0);
  double sweep = std::isfinite(a.endAngle) && std::isfinite(a.startAngle)
                     ? std::fmod(a.endAngle - a.startAngle, 360.0)
                     : 360.0;
  if (sweep <= 0) sweep += 360.0;
  const double r = a.radius;
  auto addAt = [&](double degrees) {
    const double rad = Radians(degrees);
    b.Add(a.x + RoundToUnit(r * std::cos(rad)), a.y + RoundToUnit(r * std::sin(rad)));
  };
  auto addExact = [&](int quarter) {
    const int64_t rr = a.radius;
    const std::array<std::pair<int64_t, int64_t>, 4> axis = {
        std::pair<int64_t, int64_t>{rr, 0}, {0, rr}, {-rr, 0}, {0, -rr}};
    b.Add(a.x + axis[quarter].first, a.y + axis[quarter].second);
  };
  for (double end : {start, start + sweep}) {
    const double e = Normalised(end);
    if (std::fmod(e, 90.0) == 0.0)
      addExact(static_cast<int>(e / 90.0) % 4);
    else
      addAt(e);
  }
  for (int quarter = 0; quarter < 4; ++quarter) {
    const double offset = Normalised(quarter * 90.0 - start);
    if (offset <= sweep) addExact(quarter);
  }
  b.Grow(static_cast<int64_t>(a.width) / 2);
  return ToRect(b);
}

Rect FillRect(const EditorObject& f) {
  const int64_t cx = f.x / 2 + f.x2 / 2;
  const int64_t cy = f.y / 2 + f.y2 / 2;
  Bounds b;
  const std::array<std::pair<int64_t, int64_t>, 4> corners = {
      std::pair<int64_t, int64_t>{f.x, f.y}, {f.x2, f.y}, {f.x, f.y2}, {f.x2, f.y2}};
  for (const auto& [px, py] : corners) {
    const auto [qx, qy] = Turn(px, py, cx, cy, std::isfinite(f.rotation) ? f.rotation : 0.0);
    b.Add(qx, qy);
  }
  return ToRect(b);
}

Rect PointsRect(const EditorObject& o, const std::vector<Point>& points, int64_t grow) {
  if (points.empty()) return {o.x, o.y, o.x, o.y};
  Bounds b;
  for (const Point& p : points) b.Add(p.x, p.y);
  b.Grow(grow);
  return ToRect(b);
}

Rect SquareRect(const EditorObject& o, int32_t size) {
  Bounds b;
  b.Add(o.x, o.y);
  b.Grow(static_cast<int64_t>(size) / 2);
  return ToRect(b);
}

// The largest per-layer extent, turned about the pad's centre.
Rect PadRect(const EditorObject& pad) {
  int64_t halfX = 0;
  int64_t halfY = 0;
  for (int layer = 0; layer < kPadLayerCount; ++layer) {
    halfX = std::max<int64_t>(halfX, pad.pad->sizeX[static_cast<std::size_t>(layer)] / 2);
    halfY = std::max<int64_t>(halfY, pad.pad->sizeY[static_cast<std::size_t>(layer)] / 2);
  }
  Bounds b;
  const std::array<std::pair<int64_t, int64_t>, 4> corners = {
      std::pair<int64_t, int64_t>{-halfX, -halfY}, {halfX, -halfY}, {-halfX, halfY}, {halfX, halfY}};
  for (const auto& [dx, dy] : corners) {
    const auto [qx, qy] =
        Turn(pad.x + dx, pad.y + dy, pad.x, pad.y, std::isfinite(pad.rotation) ? pad.rotation : 0.0);
    b.Add(qx, qy);
  }
  return ToRect(b);
}

}  // namespace

bool IsSupportedKind(int kind) {
  return kind > 0 && kind <= 0xFF && schema::SchemaOf(static_cast<qvabi::ObjectKind>(kind)) != nullptr;
}

const char* KindName(qvabi::ObjectKind kind) {
  const schema::KindSchema* entry = schema::SchemaOf(kind);
  return entry ? entry->name : "";
}

qvabi::ObjectKind KindFromName(std::string_view name) {
  for (const schema::KindSchema& entry : schema::Kinds())
    if (name == entry.name) return entry.kind;
  return qvabi::ObjectKind::None;
}

bool HasShape(qvabi::ObjectKind kind) {
  const schema::KindSchema* entry = schema::SchemaOf(kind);
  return entry && entry->shape;
}

int CornerPercentSlot(int layer) {
  if (layer == 1) return 0;
  if (layer == 32) return 2;
  return 1;
}

int32_t PadCornerRadius(const EditorObject& pad, int layer) {
  if (layer < 0 || layer >= kPadLayerCount) return 0;
  const auto index = static_cast<std::size_t>(layer);
  if (pad.pad->shapes[index] != kRoundedRectangleShape) return 0;
  const int64_t smaller = std::min<int64_t>(pad.pad->sizeX[index], pad.pad->sizeY[index]);
  return static_cast<int32_t>(
      smaller * pad.pad->cornerPercent[static_cast<std::size_t>(CornerPercentSlot(layer))] / 200);
}

EditorObject MakeObject(qvabi::ObjectKind kind, qvabi::PcbHandle handle) {
  EditorObject object;
  object.handle = handle;
  object.kind = kind;
  const schema::KindSchema* entry = schema::SchemaOf(kind);
  if (!entry) return object;
  for (const schema::Field& field : entry->fields) {
    if (!field.hasDefault) continue;
    switch (field.access.storage) {
      case schema::Storage::Int32:
        field.Value<int32_t>(object) = static_cast<int32_t>(field.defaultNumber);
        break;
      case schema::Storage::Id:
        field.Value<uint32_t>(object) = static_cast<uint32_t>(field.defaultNumber);
        break;
      case schema::Storage::Text:
        field.Value<std::string>(object) = field.defaultText;
        break;
      default:
        break;
    }
  }
  if (kind == qvabi::ObjectKind::Pad) {
    // A 60 mil round through-hole pad on the top and bottom layers.
    for (int layer : {1, 32}) {
      object.pad->shapes[static_cast<std::size_t>(layer)] = kRoundShape;
      object.pad->sizeX[static_cast<std::size_t>(layer)] = 600000;
      object.pad->sizeY[static_cast<std::size_t>(layer)] = 600000;
    }
  }
  return object;
}

Rect BoundingRect(const EditorObject& object) {
  switch (object.kind) {
    case qvabi::ObjectKind::Text:
      return TextRect(object);
    case qvabi::ObjectKind::Track:
      return TrackRect(object);
    case qvabi::ObjectKind::Arc:
      return ArcRect(object);
    case qvabi::ObjectKind::Fill:
      return FillRect(object);
    case qvabi::ObjectKind::Pad:
      return PadRect(object);
    case qvabi::ObjectKind::Via:
      return SquareRect(object, object.size);
    case qvabi::ObjectKind::Coordinate:
      return SquareRect(object, object.size);
    case qvabi::ObjectKind::Dimension:
      return PointsRect(object, {{object.x, object.y}, {object.x2, object.y2}},
                        static_cast<int64_t>(object.width) / 2);
    case qvabi::ObjectKind::Polygon:
    case qvabi::ObjectKind::Region:
    case qvabi::ObjectKind::SplitPlane:
    case qvabi::ObjectKind::BoardOutline:
      return PointsRect(object, object.outline->points, 0);
    default:
      return {object.x, object.y, object.x, object.y};
  }
}

}  // namespace brelix
