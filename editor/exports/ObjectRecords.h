// Helpers shared by the exported record queries of every object kind.
#pragma once

#include "editor/Editor.h"
#include "editor/exports/Exports.h"

namespace brelix::exports {

// The object when the mode is valid and, if `kind` is given, of that kind.
inline EditorObject* ObjectFor(uint8_t mode, qvabi::PcbHandle handle,
                               qvabi::ObjectKind kind = qvabi::ObjectKind::None) {
  if (!ValidMode(mode)) return nullptr;
  EditorObject* object = Editor::Instance().FindObject(handle);
  if (!object || (kind != qvabi::ObjectKind::None && object->kind != kind)) return nullptr;
  return object;
}

// The header every kind record starts with; the kind records pass the byte
// before the second value.
inline void ExchangeKindHeader(uint8_t mode, EditorObject& o, uint16_t* flags, uint16_t* headerWord,
                               uint32_t* layer, int32_t* headerValue1, uint8_t* headerByte,
                               int32_t* headerValue2) {
  Exchange(mode, flags, o.flags);
  Exchange(mode, headerWord, o.headerWord);
  Exchange(mode, layer, o.layer);
  Exchange(mode, headerValue1, o.headerValue1);
  Exchange(mode, headerByte, o.headerByte);
  Exchange(mode, headerValue2, o.headerValue2);
}

}  // namespace brelix::exports
