// Working copies of the editor's group objects: nets, components,
// coordinates, dimensions, polygons, board outlines and split planes.
#pragma once

#include <string>
#include <vector>

#include "plugin/RTL/PcbObjects.h"

namespace strativue {

// The parent of the group kinds; it has no kind of its own and exchanges the
// common record.
class TPcbGroupObject : public TPCBObject {
 protected:
  using TPCBObject::TPCBObject;
};

class TPcbNet : public TPcbGroupObject {
 public:
  static constexpr qvabi::ObjectKind kKind = qvabi::ObjectKind::Net;
  explicit TPcbNet(qvabi::PcbHandle handle);
  // HeaderWord, the net's name and two editor-defined bytes.
  int32_t Sync(uint8_t mode) override;
  std::string GetName() override { return Name.str(); }

  qvabi::ShortString Name{};
  uint8_t NetByte1 = 0;
  uint8_t NetByte2 = 0;
};

class TPcbComponent : public TPcbGroupObject {
 public:
  static constexpr qvabi::ObjectKind kKind = qvabi::ObjectKind::Component;
  explicit TPcbComponent(qvabi::PcbHandle handle);
  // The component record and its extensions (source, links, 3D model,
  // channel offset, component kind); then the name, read from the text
  // object NameObject names. Answers the last query's result.
  int32_t Sync(uint8_t mode) override;
  std::string GetName() override { return Name; }
  double GetRotation() override { return Rotation; }

  double Rotation = 0.0;
  qvabi::PcbHandle NameObject = 0;
  qvabi::PcbHandle CommentObject = 0;
  qvabi::ShortString Pattern{};
  qvabi::ShortString SourceDesignator{};
  int32_t Height = 0;
  uint8_t LockStrings = 0;
  qvabi::ShortString SourceLibrary{};
  qvabi::ShortString SourceUniqueId{};
  qvabi::ShortString Model{};
  int32_t ChannelOffset = 0;
  uint8_t ComponentKind = 0;
  // The text of the name object; empty when there is none or it is no text.
  std::string Name;
};

class TPcbCoordinate : public TPcbGroupObject {
 public:
  static constexpr qvabi::ObjectKind kKind = qvabi::ObjectKind::Coordinate;
  explicit TPcbCoordinate(qvabi::PcbHandle handle);
  int32_t Sync(uint8_t mode) override;

  int32_t Size = 0;
  int32_t LineWidth = 0;
  int32_t TextHeight = 0;
};

class TPcbDimension : public TPcbGroupObject {
 public:
  static constexpr qvabi::ObjectKind kKind = qvabi::ObjectKind::Dimension;
  explicit TPcbDimension(qvabi::PcbHandle handle);
  // The dimension record, then its references (read in either mode: the
  // editor keeps them), then the extended record, whose result it answers.
  int32_t Sync(uint8_t mode) override;

  int32_t X2 = 0;
  int32_t Y2 = 0;
  int32_t TextHeight = 0;
  int32_t LineWidth = 0;
  int32_t ArrowSize = 0;
  int32_t TextGap = 0;
  uint8_t UnitStyle = 0;
  uint8_t Precision = 0;
  // Handles of the objects the dimension refers to, in the editor's order.
  std::vector<qvabi::PcbHandle> References;
};

class TPcbPolygon : public TPcbGroupObject {
 public:
  static constexpr qvabi::ObjectKind kKind = qvabi::ObjectKind::Polygon;
  explicit TPcbPolygon(qvabi::PcbHandle handle);
  int32_t Sync(uint8_t mode) override;

  qvabi::ShortString Net{};
  int32_t Grid = 0;
  int32_t TrackWidth = 0;
  uint8_t HatchStyle = 0;
  uint8_t PourOver = 0;
  uint8_t RemoveDead = 0;
};

// The board's outline: a polygon of its own kind.
class TPcbBoardOutline : public TPcbPolygon {
 public:
  static constexpr qvabi::ObjectKind kKind = qvabi::ObjectKind::BoardOutline;
  explicit TPcbBoardOutline(qvabi::PcbHandle handle);
};

class TPcbSplitPlane : public TPcbGroupObject {
 public:
  static constexpr qvabi::ObjectKind kKind = qvabi::ObjectKind::SplitPlane;
  explicit TPcbSplitPlane(qvabi::PcbHandle handle);
  int32_t Sync(uint8_t mode) override;

  qvabi::ShortString Net{};
};

}  // namespace strativue
