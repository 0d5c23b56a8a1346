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
    if (pad.pad->shapes[i] == 0 && pad.pad->sizeX[i] == 0 && pad.pad->sizeY[i] == 0) continue;
    out.push_back(
        {layer, pad.pad->shapes[i], pad.pad->sizeX[i], pad.pad->sizeY[i], PadCornerRadius(pad, layer)});
  }
  return out;
}

}  // namespace

void DescribeKindFields(const EditorObject& o, Json& out) {
  switch (o.kind) {
    case qvabi::ObjectKind::Pad:
      out["padValues"] = o.pad->padValues;
      out["hole"] = o.hole;
      out["padBytes"] = o.pad->padBytes;
      out["name"] = o.labels->name;
      out["rotation"] = o.rotation;
      out["kindByte1"] = o.kindByte1;
      out["kindByte2"] = o.kindByte2;
      out["extraValues"] = o.pad->extraValues;
      out["extraBytes"] = o.pad->extraBytes;
      out["stackMode"] = o.pad->stackMode;
      out["shapes"] = PadLayersJson(o);
      out["cornerPercent"] = o.pad->cornerPercent;
      break;
    case qvabi::ObjectKind::Via:
      out["size"] = o.size;
      out["hole"] = o.hole;
      out["kindByte1"] = o.kindByte1;
      out["kindByte2"] = o.kindByte2;
      out["viaByte1"] = o.viaByte1;
      out["viaByte2"] = o.viaByte2;
      out["lowLayer"] = o.lowLayer;
      out["highLayer"] = o.highLayer;
      break;
    case qvabi::ObjectKind::FromTo:
      out["x2"] = o.x2;
      out["y2"] = o.y2;
      out["byte1"] = o.kindByte1;
      out["byte2"] = o.kindByte2;
      break;
    case qvabi::ObjectKind::ManualFromTo:
      out["net"] = o.labels->net;
      out["fromPad"] = o.labels->fromPad;
      out["toPad"] = o.labels->toPad;
      out["name"] = o.labels->name;
      break;
    case qvabi::ObjectKind::Net:
      out["name"] = o.labels->name;
      out["byte1"] = o.kindByte1;
      out["byte2"] = o.kindByte2;
      break;
    case qvabi::ObjectKind::Component:
      out["rotation"] = o.rotation;
      out["nameObject"] = o.component->nameObject;
      out["commentObject"] = o.component->commentObject;
      out["pattern"] = o.component->pattern;
      out["sourceDesignator"] = o.component->sourceDesignator;
      out["height"] = o.component->height;
      out["lockStrings"] = o.component->lockStrings;
      out["sourceLibrary"] = o.component->sourceLibrary;
      out["sourceUniqueId"] = o.component->sourceUniqueId;
      out["model"] = o.component->model;
      out["channelOffset"] = o.component->channelOffset;
      out["componentKind"] = o.component->componentKind;
      break;
    case qvabi::ObjectKind::Polygon:
    case qvabi::ObjectKind::BoardOutline:
      out["net"] = o.labels->net;
      out["grid"] = o.outline->grid;
      out["trackWidth"] = o.outline->trackWidth;
      out["hatchStyle"] = o.outline->hatchStyle;
      out["pourOver"] = o.outline->pourOver;
      out["removeDead"] = o.outline->removeDead;
      out["points"] = PointsJson(o.outline->points);
      break;
    case qvabi::ObjectKind::Region:
      out["net"] = o.labels->net;
      out["keepout"] = o.outline->keepout;
      out["regionKind"] = o.outline->regionKind;
      out["points"] = PointsJson(o.outline->points);
      break;
    case qvabi::ObjectKind::SplitPlane:
      out["net"] = o.labels->net;
      out["points"] = PointsJson(o.outline->points);
      break;
    case qvabi::ObjectKind::Dimension:
      out["x2"] = o.x2;
      out["y2"] = o.y2;
      out["textHeight"] = o.dimension->textHeight;
      out["lineWidth"] = o.width;
      out["arrowSize"] = o.dimension->arrowSize;
      out["textGap"] = o.dimension->textGap;
      out["unitStyle"] = o.dimension->unitStyle;
      out["precision"] = o.dimension->precision;
      out["references"] = o.dimension->references;
      break;
    case qvabi::ObjectKind::Coordinate:
      out["size"] = o.size;
      out["lineWidth"] = o.width;
      out["textHeight"] = o.dimension->textHeight;
      break;
    case qvabi::ObjectKind::ObjectClass:
      out["name"] = o.labels->name;
      out["memberKind"] = o.objectClass->memberKind;
      out["superClass"] = o.objectClass->superClass;
      out["members"] = o.objectClass->members;
      break;
    case qvabi::ObjectKind::Rule:
      out["name"] = o.labels->name;
      out["ruleKind"] = o.designRule->ruleKind;
      out["scope1"] = o.designRule->scope1;
      out["scope2"] = o.designRule->scope2;
      out["value"] = o.designRule->value;
      out["enabled"] = o.designRule->enabled;
      out["priority"] = o.designRule->priority;
      break;
    case qvabi::ObjectKind::Violation:
      out["rule"] = o.labels->rule;
      out["description"] = o.labels->description;
      break;
    case qvabi::ObjectKind::Embedded:
      out["name"] = o.labels->name;
      out["description"] = o.labels->description;
      break;
    case qvabi::ObjectKind::EmbeddedBoard:
      out["document"] = o.embeddedBoard->document;
      out["rows"] = o.embeddedBoard->rows;
      out["columns"] = o.embeddedBoard->columns;
      out["rowSpacing"] = o.embeddedBoard->rowSpacing;
      out["columnSpacing"] = o.embeddedBoard->columnSpacing;
      out["mirrored"] = o.embeddedBoard->mirrored;
      break;
    default:
      break;
  }
}

}  // namespace brelix
