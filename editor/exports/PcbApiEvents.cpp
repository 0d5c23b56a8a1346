// The interactive operations: picking a location and event handlers.
#include "editor/Editor.h"
#include "editor/exports/Exports.h"

using brelix::Editor;
using brelix::exports::Guarded;

extern "C" {

ABI_EXPORT abi::ByteBool STDCALL PcbApi_ChooseLocation(abi::PcbHandle board, int32_t* x, int32_t* y,
                                                       const abi::ShortString* prompt) {
  return Guarded<abi::ByteBool>("editor.ChooseLocation", abi::ToByteBool(false), [&] {
    const auto point = Editor::Instance().ChooseLocation(board, prompt ? prompt->view() : std::string_view{});
    if (!point) return abi::ToByteBool(false);
    if (x) *x = point->x;
    if (y) *y = point->y;
    return abi::ToByteBool(true);
  });
}

ABI_EXPORT abi::PcbHandle STDCALL PcbApi_CreateEventHandler(abi::PcbHandle board,
                                                            const abi::EventTableA* tableA,
                                                            const abi::EventTableB* tableB,
                                                            abi::CodeRoutine callbackCode,
                                                            void* callbackData) {
  return Guarded<abi::PcbHandle>("editor.CreateEventHandler", 0, [&] {
    return Editor::Instance().CreateEventHandler(board, tableA, tableB, callbackCode, callbackData);
  });
}

ABI_EXPORT abi::ByteBool STDCALL PcbApi_RunEventHandler(abi::PcbHandle handler) {
  return Guarded<abi::ByteBool>("editor.RunEventHandler", abi::ToByteBool(false),
                                [&] { return abi::ToByteBool(Editor::Instance().RunEventHandler(handler)); });
}

ABI_EXPORT void STDCALL PcbApi_DestroyEventHandler(abi::PcbHandle handler) {
  Editor::Instance().DestroyEventHandler(handler);
}

}  // extern "C"
