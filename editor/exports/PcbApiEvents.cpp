// The interactive operations: picking a location and event handlers.
#include "editor/Editor.h"
#include "editor/exports/Exports.h"

using brelix::Editor;
using brelix::exports::Guarded;

extern "C" {

ABI_EXPORT qvabi::ByteBool STDCALL PcbApi_ChooseLocation(qvabi::PcbHandle board, int32_t* x, int32_t* y,
                                                         const qvabi::ShortString* prompt) noexcept {
  return Guarded<qvabi::ByteBool>("editor.ChooseLocation", qvabi::ToByteBool(false), [&] {
    const auto point = Editor::Instance().ChooseLocation(board, prompt ? prompt->view() : std::string_view{});
    if (!point) return qvabi::ToByteBool(false);
    if (x) *x = point->x;
    if (y) *y = point->y;
    return qvabi::ToByteBool(true);
  });
}

ABI_EXPORT qvabi::PcbHandle STDCALL PcbApi_CreateEventHandler(qvabi::PcbHandle board,
                                                              const qvabi::EventTableA* tableA,
                                                              const qvabi::EventTableB* tableB,
                                                              qvabi::CodeRoutine callbackCode,
                                                              void* callbackData) noexcept {
  return Guarded<qvabi::PcbHandle>("editor.CreateEventHandler", 0, [&] {
    return Editor::Instance().CreateEventHandler(board, tableA, tableB, callbackCode, callbackData);
  });
}

ABI_EXPORT qvabi::ByteBool STDCALL PcbApi_RunEventHandler(qvabi::PcbHandle handler) noexcept {
  return Guarded<qvabi::ByteBool>("editor.RunEventHandler", qvabi::ToByteBool(false), [&] {
    return qvabi::ToByteBool(Editor::Instance().RunEventHandler(handler));
  });
}

ABI_EXPORT void STDCALL PcbApi_DestroyEventHandler(qvabi::PcbHandle handler) noexcept {
  Guarded([&] { Editor::Instance().DestroyEventHandler(handler); });
}

}  // extern "C"
