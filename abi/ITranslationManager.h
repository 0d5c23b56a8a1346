// The host's translation manager (ClientAPI_GetTranslationManager) and the
// font description ClientAPI_UpdateFont works on.
//
// Implemented by: the host. Called by: plug-ins, on the UI thread, while
// they read their dialogs' stored descriptions and at load.
#pragma once

#include "abi/Types.h"
#include "abi/Unknown.h"

namespace qvabi {

// {3B9E1D60-8A57-4F0C-B2D4-6E1A0C5F7D21}
struct ITranslationManager : IUnknown {
  static constexpr GUID IID = {0x3B9E1D60, 0x8A57, 0x4F0C, {0xB2, 0xD4, 0x6E, 0x1A, 0x0C, 0x5F, 0x7D, 0x21}};

  // 3: the translation of `key` ("Caption.'OK'") in `scope` (a dialog or
  // component name). *found is non-zero when there is one; *translated is
  // then a new string the caller frees, nil otherwise.
  virtual HRESULT STDCALL Translate(BSTR scope, BSTR key, BSTR* translated, int32_t* found) = 0;
  // 4: a dialog's description starts being read; an empty name ends it.
  virtual HRESULT STDCALL BeginDialog(BSTR dialogName) = 0;
  // 5: non-zero when fonts are to follow the system locale.
  virtual HRESULT STDCALL LocaleFontsEnabled(int32_t* enabled) = 0;
};

// Windows' LOGFONTA: 60 bytes, the face name zero-terminated.
struct LogFont {
  int32_t lfHeight;
  int32_t lfWidth;
  int32_t lfEscapement;
  int32_t lfOrientation;
  int32_t lfWeight;
  uint8_t lfItalic;
  uint8_t lfUnderline;
  uint8_t lfStrikeOut;
  uint8_t lfCharSet;
  uint8_t lfOutPrecision;
  uint8_t lfClipPrecision;
  uint8_t lfQuality;
  uint8_t lfPitchAndFamily;
  char lfFaceName[32];
};
static_assert(sizeof(LogFont) == 60);
static_assert(offsetof(LogFont, lfWeight) == 16 && offsetof(LogFont, lfItalic) == 20);
static_assert(offsetof(LogFont, lfCharSet) == 23 && offsetof(LogFont, lfFaceName) == 28);

inline constexpr int32_t FW_NORMAL = 400;
inline constexpr int32_t FW_BOLD = 700;

}  // namespace qvabi
