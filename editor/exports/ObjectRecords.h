// Helpers shared by the exported record queries of every object kind.
#pragma once

#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

#include "editor/Editor.h"
#include "editor/LayerIds.h"
#include "editor/ObjectSchema.h"
#include "editor/exports/Exports.h"

namespace brelix::exports {

// The object when the mode is valid and, if `kind` is given, of that kind.
// Forced inline: every record query starts here, and GCC would leave it out
// of line in a unit of several exports (a placement move took 14 % more
// instructions).
[[gnu::always_inline]] inline EditorObject* ObjectFor(uint8_t mode, qvabi::PcbHandle handle,
                                                      qvabi::ObjectKind kind = qvabi::ObjectKind::None) {
  if (!ValidMode(mode)) return nullptr;
  EditorObject* object = Editor::Instance().FindObject(handle);
  if (!object || (kind != qvabi::ObjectKind::None && object->kind != kind)) return nullptr;
  return object;
}

// A layer passed as a 32-bit record id is taken as it is; one passed as a
// byte is a plain layer id 1 to 82, and any other byte is ignored when written.
inline void ExchangeLayer(uint8_t mode, uint32_t* layer, uint32_t& stored) { Exchange(mode, layer, stored); }
inline void ExchangeLayer(uint8_t mode, uint8_t* layer, uint32_t& stored) {
  if (!layer) return;
  if (mode == qvabi::ReadMode)
    *layer = LayerFromRecordId(stored).value_or(0);
  else if (*layer >= 1 && *layer <= kLayerCount)
    stored = *layer;
}

// How many of its query's pointers a field takes.
constexpr std::size_t PointerCount(const schema::Field& f) {
  return f.type == schema::Type::Header ? 6 : f.access.count;
}

// Where the pointers of field `index` of `kind` start among those of `query`.
constexpr std::size_t FirstPointer(qvabi::ObjectKind kind, schema::Query query, std::size_t index) {
  std::size_t first = 0;
  for (std::size_t i = 0; i < index; ++i) {
    const schema::Field& f = schema::SchemaOf(kind)->fields[i];
    if (f.query == query) first += PointerCount(f);
  }
  return first;
}

// Pointer `At` of a query, which must point to a `T`.
template <class T, std::size_t At, class Pointers>
T* PointerAt(const Pointers& pointers) {
  static_assert(std::is_same_v<std::tuple_element_t<At, Pointers>, T*>,
                "a record query's pointer is not of its field's type");
  return std::get<At>(pointers);
}

// Exchanges `values[0..n)` with the pointers from `First` on.
template <class T, std::size_t First, class Pointers, std::size_t... I>
void ExchangeValues(uint8_t mode, const Pointers& pointers, T* values, std::index_sequence<I...>) {
  (Exchange(mode, PointerAt<T, First + I>(pointers), values[I]), ...);
}

// Field `Index` of `Kind`, when `Query` passes it; the field is known when
// the export is compiled, so the exchange compiles to the copies it stands for.
template <qvabi::ObjectKind Kind, schema::Query Query, std::size_t Index, class Pointers>
void ExchangeField(uint8_t mode, EditorObject& o, const Pointers& pointers) {
  using schema::Storage;
  using schema::Type;
  constexpr schema::Field f = schema::SchemaOf(Kind)->fields[Index];
  constexpr std::size_t at = FirstPointer(Kind, Query, Index);
  constexpr auto each = std::make_index_sequence<f.access.count>{};
  if constexpr (f.query != Query) {
    return;
  } else if constexpr (f.type == Type::Header) {
    Exchange(mode, PointerAt<uint16_t, at>(pointers), o.flags);
    Exchange(mode, PointerAt<uint16_t, at + 1>(pointers), o.headerWord);
    ExchangeLayer(mode, std::get<at + 2>(pointers), o.layer);
    Exchange(mode, PointerAt<int32_t, at + 3>(pointers), o.headerValue1);
    Exchange(mode, PointerAt<uint8_t, at + 4>(pointers), o.headerByte);
    Exchange(mode, PointerAt<int32_t, at + 5>(pointers), o.headerValue2);
  } else if constexpr (f.type == Type::CopperLayer) {
    // A via spans copper layers only; any other id is ignored.
    if (uint8_t* layer = PointerAt<uint8_t, at>(pointers)) {
      if (mode == qvabi::ReadMode)
        *layer = f.Value<uint8_t>(o);
      else if (IsCopperLayer(*layer))
        f.Value<uint8_t>(o) = *layer;
    }
  } else if constexpr (f.type == Type::Text) {
    Exchange(mode, PointerAt<qvabi::ShortString, at>(pointers), f.Value<std::string>(o));
  } else if constexpr (f.access.storage == Storage::Int32) {
    ExchangeValues<int32_t, at>(mode, pointers, &f.Value<int32_t>(o), each);
  } else if constexpr (f.access.storage == Storage::Byte) {
    ExchangeValues<uint8_t, at>(mode, pointers, &f.Value<uint8_t>(o), each);
  } else if constexpr (f.access.storage == Storage::Word) {
    ExchangeValues<uint16_t, at>(mode, pointers, &f.Value<uint16_t>(o), each);
  } else if constexpr (f.access.storage == Storage::Real) {
    ExchangeValues<double, at>(mode, pointers, &f.Value<double>(o), each);
  } else {
    static_assert(Query == schema::Query::None, "a record query passes a field it cannot exchange");
  }
}

// Exchanges the fields `Kind` passes in `Query` (see ObjectSchema.h) with
// `pointers`, given in the order of the query's parameters: the editor fills
// them (ReadMode) or takes them (WriteMode); a nil pointer leaves its field
// alone. A pointer too many or too few, or of another type than its field,
// stops the build.
template <qvabi::ObjectKind Kind, schema::Query Query, class... Pointer>
int32_t ExchangeRecord(uint8_t mode, EditorObject& o, Pointer*... pointer) {
  constexpr std::size_t fields = schema::SchemaOf(Kind)->fields.size();
  static_assert(sizeof...(Pointer) == FirstPointer(Kind, Query, fields),
                "a record query passes another number of pointers than its fields take");
  const std::tuple<Pointer*...> pointers(pointer...);
  [&]<std::size_t... Index>(std::index_sequence<Index...>) {
    (ExchangeField<Kind, Query, Index>(mode, o, pointers), ...);
  }
  (std::make_index_sequence<fields>{});
  return kDone;
}

}  // namespace brelix::exports
