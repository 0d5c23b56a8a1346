#include "plugin/LegendOptions.h"

#include <array>
#include <string>

#include "platform/IniFile.h"
#include "platform/Machine.h"
#include "plugin/RTL/Messages.h"
#include "plugin/RTL/Parameters.h"

namespace strativue {
namespace {

struct Flag {
  const char* key;
  qvabi::ByteBool TLegendOptions::*field;
};

constexpr std::array<Flag, 7> kFlags = {{
    {"CopperHeight", &TLegendOptions::CopperHeight},
    {"Type", &TLegendOptions::Type},
    {"Gerbers", &TLegendOptions::Gerbers},
    {"DielHeight", &TLegendOptions::DielHeight},
    {"Material", &TLegendOptions::Material},
    {"Constant", &TLegendOptions::Constant},
    {"ExtDielectrics", &TLegendOptions::ExtDielectrics},
}};

// Only the six column flags come from parameters.
constexpr std::size_t kParameterFlags = 6;

constexpr int32_t kLegacyDefault = 1;

}  // namespace

TLegendOptions ParseOptionParameters(const char* parameters) {
  TLegendOptions options;
  for (std::size_t i = 0; i < kParameterFlags; ++i) {
    qvabi::ShortString value;
    if (GetParameterValueShort(parameters, kFlags[i].key, value))
      options.*kFlags[i].field = qvabi::ToByteBool(IsSameText(value.view(), "True"));
  }
  return options;
}

std::optional<TLegendOptions> ReadLegacySettings() {
  const std::string path = platform::GetWindowsDirectory() + "\\" + "vemtro.ini";
  if (!platform::FileExists(path)) return std::nullopt;
  platform::IniText ini;
  // An unreadable file reads as empty: every flag on, as for missing keys.
  platform::LoadIniFile(path, &ini);
  TLegendOptions options;
  for (const Flag& flag : kFlags)
    options.*flag.field = qvabi::ToByteBool(ini.GetInteger("SETTINGS", flag.key, kLegacyDefault) != 0);
  return options;
}

}  // namespace strativue
