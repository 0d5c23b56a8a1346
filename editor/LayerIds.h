// The editor's layer vocabulary: ids 1 to 82, their default names, and the
// 32-bit layer ids of records (plain or partition form).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace brelix {

inline constexpr int kLayerCount = 82;
inline constexpr uint8_t kTopLayer = 1;
inline constexpr uint8_t kBottomLayer = 32;
inline constexpr uint8_t kFirstPlane = 39;
inline constexpr uint8_t kLastPlane = 54;

// "TopLayer", "MidLayer1", ..., "ViaHoleLayer"; empty outside 1..82.
std::string DefaultLayerName(int id);
bool IsSignalLayer(int id);
bool IsInternalPlane(int id);
// Signal layers and internal planes: what a stack may hold.
inline bool IsCopperLayer(int id) { return IsSignalLayer(id) || IsInternalPlane(id); }

// The layer id 1..82 a record's 32-bit layer id names: a plain id is the id
// itself; partition ids (signal 0x0101, plane 0x0104, mechanical 0x0400 in
// the high word, number from 1 in the low word) are clamped to the last layer
// of their class. Nil when it names no layer.
std::optional<uint8_t> LayerFromRecordId(uint32_t value);

}  // namespace brelix
