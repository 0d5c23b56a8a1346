// Translation of dialog texts through the host while a form's stored
// description is read, and fonts that follow the system locale.
//
// The reading hooks (installed at load, see UiHooks.h) offer every text
// value read from a description to the host's translation manager under a
// scope name (the dialog's name for the form's own properties, a component's
// name for that component's) and a key made of the property name and the
// quoted text. With translated dialogs off, translations of captions still
// appear, as the captions' tooltips.
//
// The reading state is process-wide and belongs to the UI thread.
#pragma once

#include <string>
#include <string_view>

#include "abi/ITranslationManager.h"
#include "abi/Unknown.h"
#include "toolkit/Component.h"
#include "toolkit/Hooks.h"

namespace strativue {

// The key of a text value: the property's name (the last part of a dotted
// path: "Font.Name" gives "Name"), ".", then the text in single quotes with
// each quote inside doubled. ("Caption", "Co&pper") gives "Caption.'Co&pper'".
std::string TranslationKey(std::string_view propertyPath, std::string_view text);
// A form's dialog name: its class name without the first letter.
std::string DialogNameOf(const toolkit::TComponent& form);

// The host's translation manager (taken on first need and kept until
// ReleaseTranslationManager); nil when the host has none.
qvabi::ComPtr<qvabi::ITranslationManager> TranslationManager();
void ReleaseTranslationManager();

// The reading hooks.
void BeginComponentReading(toolkit::TComponent& component);
void EndComponentReading(toolkit::TComponent& component);
void TranslateTextValue(const toolkit::TextReadContext& context, std::string& value);

// The reading state: scope name and reading depth.
const std::string& TranslationScope();
int ReadingDepth();
// Clears the scope, the current instance and the depth (unload, and a
// reading that failed half-way).
void ResetReadingState();

// The translation manager's locale-fonts flag, read once at load (off
// without a manager) and cleared at unload.
void ReadLocaleFontsFlag();
void ClearLocaleFontsFlag();
bool LocaleFontsFlag();

// The locale-font rule: when the flag is on, the host asks for the system
// locale's language and offers no interface font, UpdateLocaleFonts.
void ApplyLocaleFontRule(toolkit::TComponent& component);
// Offers the description of every font property of the component, and of
// every component it owns (recursively, in index order), to the host's
// ClientAPI_UpdateFont, and takes the description back when the host
// changed it.
void UpdateLocaleFonts(toolkit::TComponent& component);

// True when a host client exists and reports a valid interface font.
bool HostOffersInterfaceFont();

}  // namespace strativue
