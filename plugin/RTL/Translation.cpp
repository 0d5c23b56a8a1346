#include "plugin/RTL/Translation.h"

#include <algorithm>
#include <cstring>

#include "platform/Locale.h"
#include "platform/WideString.h"
#include "plugin/RTL/ClientApi.h"
#include "plugin/RTL/HostClient.h"
#include "toolkit/Form.h"

namespace strativue {
namespace {

struct TReadingState {
  std::string scope;
  toolkit::TComponent* instance = nullptr;
  int depth = 0;
};

// Process-wide state, reached through a function so that it exists before
// the load step uses it and outlives the unload step.
struct TTranslationState {
  TReadingState reading;
  qvabi::ComPtr<qvabi::ITranslationManager> manager;
  bool managerAsked = false;
  bool localeFonts = false;
};

TTranslationState& TranslationState() {
  static TTranslationState state;
  return state;
}

// The narrow text of the thread's (and system's) code page: characters the
// code page lacks become '?'. Text is kept as UTF-8 inside the toolkit.
std::string ThroughCodePage(std::string_view text) {
  return platform::AnsiToUtf8(platform::Utf8ToAnsi(text));
}

std::string LastPart(std::string_view path) {
  const auto dot = path.rfind('.');
  return std::string(dot == std::string_view::npos ? path : path.substr(dot + 1));
}

// Asks the manager; true with the translation when it has one.
bool Translate(qvabi::ITranslationManager& manager, const std::string& key, std::string* translated) {
  platform::BStr scope = platform::BStr::FromUtf8(TranslationState().reading.scope);
  platform::BStr wideKey = platform::BStr::FromUtf8(key);
  platform::BStr result;
  int32_t found = 0;
  CheckHost(manager.Translate(scope.get(), wideKey.get(), result.put(), &found));
  if (found == 0) return false;
  *translated = result.utf8();
  return true;
}

// The caption tooltip: the translation of (property, text) becomes the
// instance's hint, and its hint is switched on.
void CaptionTooltip(toolkit::TComponent* instance, std::string_view property, std::string_view text) {
  if (instance == nullptr || !instance->HasProperty("Hint")) return;
  const auto manager = TranslationManager();
  if (!manager) return;
  std::string translated;
  if (!Translate(*manager.get(), TranslationKey(property, text), &translated)) return;
  instance->SetProperty("Hint", ThroughCodePage(translated));
  if (instance->HasProperty("ShowHint")) instance->SetProperty("ShowHint", true);
}

void BeginDialog(const std::string& name) {
  if (const auto manager = TranslationManager()) {
    platform::BStr wide = platform::BStr::FromUtf8(name);
    CheckHost(manager->BeginDialog(wide.get()));
  }
}

qvabi::LogFont DescribeFont(const toolkit::TFont& font) {
  qvabi::LogFont description{};
  description.lfHeight = font.Height();
  description.lfWeight = (font.Style() & toolkit::fsBold) != 0 ? qvabi::FW_BOLD : qvabi::FW_NORMAL;
  description.lfItalic = (font.Style() & toolkit::fsItalic) != 0 ? 1 : 0;
  description.lfUnderline = (font.Style() & toolkit::fsUnderline) != 0 ? 1 : 0;
  description.lfStrikeOut = (font.Style() & toolkit::fsStrikeOut) != 0 ? 1 : 0;
  description.lfCharSet = font.Charset();
  const std::size_t n = std::min(font.Name().size(), sizeof description.lfFaceName - 1);
  std::memcpy(description.lfFaceName, font.Name().data(), n);
  return description;
}

toolkit::TFont FontFrom(const qvabi::LogFont& description, const toolkit::TFont& old) {
  toolkit::TFont font = old;
  font.SetName(
      std::string(description.lfFaceName, strnlen(description.lfFaceName, sizeof description.lfFaceName)));
  font.SetHeight(description.lfHeight);
  toolkit::TFontStyles style = 0;
  if (description.lfWeight >= qvabi::FW_BOLD) style |= toolkit::fsBold;
  if (description.lfItalic != 0) style |= toolkit::fsItalic;
  if (description.lfUnderline != 0) style |= toolkit::fsUnderline;
  if (description.lfStrikeOut != 0) style |= toolkit::fsStrikeOut;
  font.SetStyle(style);
  font.SetCharset(description.lfCharSet);
  return font;
}

}  // namespace

std::string TranslationKey(std::string_view propertyPath, std::string_view text) {
  std::string key = LastPart(propertyPath) + ".'";
  for (const char c : text) {
    key.push_back(c);
    if (c == '\'') key.push_back('\'');
  }
  key.push_back('\'');
  return key;
}

std::string DialogNameOf(const toolkit::TComponent& form) {
  const std::string& name = form.ClassName();
  return name.empty() ? name : name.substr(1);
}

qvabi::ComPtr<qvabi::ITranslationManager> TranslationManager() {
  if (!TranslationState().managerAsked) {
    TranslationState().managerAsked = true;
    qvabi::ComPtr<qvabi::IUnknown> unknown;
    ClientAPI::GetTranslationManager(unknown.put());
    TranslationState().manager = qvabi::QueryAs<qvabi::ITranslationManager>(unknown.get());
  }
  return TranslationState().manager;
}

void ReleaseTranslationManager() {
  TranslationState().manager.reset();
  TranslationState().managerAsked = false;
}

// A host failure ends the reading of the form: the state is cleared so that
// the next reading starts afresh rather than inside a reading that never ended.
template <class Body>
void EndingReadingOnFailure(Body&& body) {
  try {
    body();
  } catch (...) {
    ResetReadingState();
    throw;
  }
}

void BeginComponentReading(toolkit::TComponent& component) {
  ++TranslationState().reading.depth;
  EndingReadingOnFailure([&] {
    if (dynamic_cast<toolkit::TForm*>(&component) != nullptr) {
      const std::string dialog = DialogNameOf(component);
      BeginDialog(dialog);
      TranslationState().reading.scope = dialog;
    } else if (!component.Name().empty()) {
      TranslationState().reading.scope = component.Name();
    }
  });
}

void EndComponentReading(toolkit::TComponent& component) {
  EndingReadingOnFailure([&] {
    if (!component.Name().empty()) {
      CaptionTooltip(&component, "Hint", "");
      TranslationState().reading.scope.clear();
    }
    if (dynamic_cast<toolkit::TForm*>(&component) != nullptr) BeginDialog("");
  });
  if (TranslationState().reading.depth > 0) --TranslationState().reading.depth;
  if (TranslationState().reading.depth == 0) {
    TranslationState().reading.instance = nullptr;
    ApplyLocaleFontRule(component);
  }
}

void TranslateTextValue(const toolkit::TextReadContext& context, std::string& value) {
  TranslationState().reading.instance = context.component;
  // Wide values pass through the system code page first; everything below
  // works on that narrow text.
  std::string text = context.wide ? ThroughCodePage(value) : value;
  if (context.root != nullptr) {
    EndingReadingOnFailure([&] {
      if (ClientAPI::GetUseLocalizedDialogs() != 0) {
        if (const auto manager = TranslationManager()) {
          std::string translated;
          if (Translate(*manager.get(), TranslationKey(context.propertyName, text), &translated))
            text = translated;
        }
      } else if (toolkit::SameName(LastPart(context.propertyName), "Caption")) {
        CaptionTooltip(context.component, "Caption", text);
      }
    });
  }
  value = context.wide ? text : ThroughCodePage(text);
}

const std::string& TranslationScope() { return TranslationState().reading.scope; }
int ReadingDepth() { return TranslationState().reading.depth; }
void ResetReadingState() { TranslationState().reading = TReadingState{}; }

void ReadLocaleFontsFlag() {
  TranslationState().localeFonts = false;
  if (const auto manager = TranslationManager()) {
    int32_t enabled = 0;
    CheckHost(manager->LocaleFontsEnabled(&enabled));
    TranslationState().localeFonts = enabled != 0;
  }
}

void ClearLocaleFontsFlag() { TranslationState().localeFonts = false; }
bool LocaleFontsFlag() { return TranslationState().localeFonts; }

bool HostOffersInterfaceFont() {
  const auto client = GetHostClient();
  if (!client) return false;
  qvabi::ByteBool valid = 0;
  platform::BStr name;
  int32_t size = 0, colour = 0;
  uint8_t style = 0, charset = 0;
  CheckHost(client->GetGUIFont(0, &valid, name.put(), &size, &style, &colour, &charset));
  return valid != 0;
}

void ApplyLocaleFontRule(toolkit::TComponent& component) {
  if (TranslationState().localeFonts && ClientAPI::GetUseSystemLocaleLanguage() != 0 &&
      !HostOffersInterfaceFont())
    UpdateLocaleFonts(component);
}

void UpdateLocaleFonts(toolkit::TComponent& component) {
  for (const toolkit::PropertyInfo* property : component.Class().AllProperties()) {
    if (property->type != toolkit::PropertyType::Font) continue;
    const toolkit::PropertyValue value = component.GetProperty(property->name);
    const toolkit::TFont* font = std::get<const toolkit::TFont*>(value);
    if (font == nullptr) continue;
    qvabi::LogFont description = DescribeFont(*font);
    if (ClientAPI::UpdateFont(&description) == 0) continue;
    const toolkit::TFont updated = FontFrom(description, *font);
    component.SetProperty(property->name, &updated);
  }
  for (int i = 0; i < component.ComponentCount(); ++i) UpdateLocaleFonts(*component.Component(i));
}

}  // namespace strativue
