#include "editor/ObjectDescription.h"

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
    if (pad.shapes[i] == 0 && pad.sizeX[i] == 0 && pad.sizeY[i] == 0) continue;
    out.push_back({layer, pad.shapes[i], pad.sizeX[i], pad.sizeY[i], PadCornerRadius(pad, layer)});
  }
  return out;
}

}  // namespace

void DescribeKindFields(const EditorObject& o, Json& out) {
  switch (o.kind) {
    case abi::ObjectKind::Pad:
      out["padValues"] = o.padValues;
      out["hole"] = o.hole;
      out["padBytes"] = o.padBytes;
      out["name"] = o.name;
      out["rotation"] = o.rotation;
      out["kindByte1"] = o.kindByte1;
      out["kindByte2"] = o.kindByte2;
      out["extraValues"] = o.extraValues;
      out["extraBytes"] = o.extraBytes;
      out["stackMode"] = o.stackMode;
      out["shapes"] = PadLayersJson(o);
      out["cornerPercent"] = o.cornerPercent;
      break;
    case abi::ObjectKind::Via:
      out["size"] = o.size;
      out["hole"] = o.hole;
      out["kindByte1"] = o.kindByte1;
      out["kindByte2"] = o.kindByte2;
      out["viaByte1"] = o.viaByte1;
      out["viaByte2"] = o.viaByte2;
      out["lowLayer"] = o.lowLayer;
      out["highLayer"] = o.highLayer;
      break;
    case abi::ObjectKind::FromTo:
      out["x2"] = o.x2;
      out["y2"] = o.y2;
      out["byte1"] = o.kindByte1;
      out["byte2"] = o.kindByte2;
      break;
    case abi::ObjectKind::ManualFromTo:
      out["net"] = o.net;
      out["fromPad"] = o.fromPad;
      out["toPad"] = o.toPad;
      out["name"] = o.name;
      break;
    case abi::ObjectKind::Net:
      out["name"] = o.name;
      out["byte1"] = o.kindByte1;
      out["byte2"] = o.kindByte2;
      break;
    case abi::ObjectKind::Component:
      out["rotation"] = o.rotation;
      out["nameObject"] = o.nameObject;
      out["commentObject"] = o.commentObject;
      out["pattern"] = o.pattern;
      out["sourceDesignator"] = o.sourceDesignator;
      out["height"] = o.height;
      out["lockStrings"] = o.lockStrings;
      out["sourceLibrary"] = o.sourceLibrary;
      out["sourceUniqueId"] = o.sourceUniqueId;
      out["model"] = o.model;
      out["channelOffset"] = o.channelOffset;
      out["componentKind"] = o.componentKind;
      break;
    case abi::ObjectKind::Polygon:
    case abi::ObjectKind::BoardOutline:
      out["net"] = o.net;
      out["grid"] = o.grid;
      out["trackWidth"] = o.trackWidth;
      out["hatchStyle"] = o.hatchStyle;
      out["pourOver"] = o.pourOver;
      out["removeDead"] = o.removeDead;
      out["points"] = PointsJson(o.points);
      break;
    case abi::ObjectKind::Region:
      out["net"] = o.net;
      out["keepout"] = o.keepout;
      out["regionKind"] = o.regionKind;
      out["points"] = PointsJson(o.points);
      break;
    case abi::ObjectKind::SplitPlane:
      out["net"] = o.net;
      out["points"] = PointsJson(o.points);
      break;
    case abi::ObjectKind::Dimension:
      out["x2"] = o.x2;
      out["y2"] = o.y2;
      out["textHeight"] = o.textHeight;
      out["lineWidth"] = o.width;
      out["arrowSize"] = o.arrowSize;
      out["textGap"] = o.textGap;
      out["unitStyle"] = o.unitStyle;
      out["precision"] = o.precision;
      out["references"] = o.references;
      break;
    case abi::ObjectKind::Coordinate:
      out["size"] = o.size;
      out["lineWidth"] = o.width;
      out["textHeight"] = o.textHeight;
      break;
    case abi::ObjectKind::ObjectClass:
      out["name"] = o.name;
      out["memberKind"] = o.memberKind;
      out["superClass"] = o.superClass;
      out["members"] = o.members;
      break;
    case abi::ObjectKind::Rule:
      out["name"] = o.name;
      out["ruleKind"] = o.ruleKind;
      out["scope1"] = o.scope1;
      out["scope2"] = o.scope2;
      out["value"] = o.value;
      out["enabled"] = o.enabled;
      out["priority"] = o.priority;
      break;
    case abi::ObjectKind::Violation:
      out["rule"] = o.rule;
      out["description"] = o.description;
      break;
    case abi::ObjectKind::Embedded:
      out["name"] = o.name;
      out["description"] = o.description;
      break;
    case abi::ObjectKind::EmbeddedBoard:
      out["document"] = o.document;
      out["rows"] = o.rows;
      out["columns"] = o.columns;
      out["rowSpacing"] = o.rowSpacing;
      out["columnSpacing"] = o.columnSpacing;
      out["mirrored"] = o.mirrored;
      break;
    default:
      break;
  }
}

}  // namespace brelix
