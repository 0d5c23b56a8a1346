// The legend's seven on/off flags and where they come from when a command
// starts: the command's parameter string or the legacy settings file.
#pragma once

#include <cstddef>
#include <optional>

#include "abi/Types.h"

namespace strativue {

// Seven one-byte booleans in this order (0 off, anything else on); the setup
// dialog hands back the same layout.
struct TLegendOptions {
  qvabi::ByteBool CopperHeight = 0;
  qvabi::ByteBool Type = 0;
  qvabi::ByteBool Gerbers = 0;
  qvabi::ByteBool DielHeight = 0;
  qvabi::ByteBool Material = 0;
  qvabi::ByteBool Constant = 0;
  qvabi::ByteBool ExtDielectrics = 0;

  static TLegendOptions AllOff() { return {}; }
  static TLegendOptions AllOn() { return {1, 1, 1, 1, 1, 1, 1}; }
  friend bool operator==(const TLegendOptions&, const TLegendOptions&) = default;
};
static_assert(sizeof(TLegendOptions) == 7);
static_assert(offsetof(TLegendOptions, CopperHeight) == 0 && offsetof(TLegendOptions, Type) == 1 &&
              offsetof(TLegendOptions, Gerbers) == 2 && offsetof(TLegendOptions, DielHeight) == 3 &&
              offsetof(TLegendOptions, Material) == 4 && offsetof(TLegendOptions, Constant) == 5 &&
              offsetof(TLegendOptions, ExtDielectrics) == 6);

// The six column flags named in the parameter string are on exactly when
// their value is "True" (ASCII letter case ignored); the rest stay off.
// ExtDielectrics is never taken from parameters.
TLegendOptions ParseOptionParameters(const char* parameters);

// The legacy settings file: the Windows directory + "\vemtro.ini", section
// SETTINGS, the seven keys in record order as integers; 0 is off, any other
// integer on, a missing key or a value that is not an integer on. Nothing
// when the file does not exist. The file is only read.
std::optional<TLegendOptions> ReadLegacySettings();

}  // namespace strativue
