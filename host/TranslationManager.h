// The host's translation manager, reading a dictionary file under the
// machine root:
//   C:\Users\<user>\AppData\Roaming\Quorvex\Dictionary.json
//
//   {
//     "format": "quorvex-dictionary/1",
//     "localeFonts": false,
//     "translations": {
//       "LegendSetupDialog": { "Caption.'Strativue Setup'": "Strativue-Einrichtung" },
//       "ButtonOK": { "Caption.'OK'": "Ja" }
//     }
//   }
//
// Scopes (dialog and component names) match without regard to letter case,
// keys exactly. The host offers a manager only while the file exists; it is
// parsed once for each change of the file however many calls follow, and a
// file that breaks these rules makes every
// call fail with a description naming the file and the problem. Every call
// is recorded in the journal (kind "host").
#pragma once

#include <cstddef>
#include <string>

#include "abi/ITranslationManager.h"
#include "abi/Unknown.h"

namespace quorvex {

// The Windows path of the dictionary file.
std::string DictionaryPath();
// How many times this process has parsed a dictionary file's text.
std::size_t DictionaryParses();

class TranslationManager final : public qvabi::Implements<qvabi::ITranslationManager> {
 public:
  qvabi::HRESULT STDCALL Translate(qvabi::BSTR scope, qvabi::BSTR key, qvabi::BSTR* translated,
                                   int32_t* found) override;
  qvabi::HRESULT STDCALL BeginDialog(qvabi::BSTR dialogName) override;
  qvabi::HRESULT STDCALL LocaleFontsEnabled(int32_t* enabled) override;
};

}  // namespace quorvex
