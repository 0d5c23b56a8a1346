// The PCB editor's flat functions (PcbApi_ prefix), exported by name from the
// editor module and resolved by name by plug-ins.
//
// Conventions: stdcall; the mode byte (ReadMode 1: the editor fills the
// caller's fields, WriteMode 0: the editor takes them) comes first where there
// is one, then the handle, then the address of each field in record order.
// Strings are ShortStrings of at most 255 characters. Records are exchanged
// field by field in place; passing two fields in swapped order corrupts a
// board silently, so the parameter lists below are the contract.
//
// ABI_PCBAPI_TYPED_FUNCTIONS lists (name, result, parameters) of every
// function with a settled signature; the editor defines each one as
// extern "C" PcbApi_<name>, and the plug-in's binding derives its function
// pointer types from the same list, so the two sides cannot drift apart.
#pragma once

#include "abi/Types.h"

namespace qvabi {

// Object kind codes: the kind PcbApi_CreateObject takes and
// PcbApi_GetObjectIdFromObjectHandle reports (in its low 7 bits).
enum class ObjectKind : uint8_t {
  None = 0,
  Arc = 1,
  Pad = 2,
  Via = 3,
  Track = 4,
  Text = 5,
  Fill = 6,
  FromTo = 7,
  Net = 8,
  Component = 9,
  Polygon = 10,
  Region = 11,
  ComponentBody = 12,
  Dimension = 13,
  Coordinate = 14,
  ObjectClass = 15,
  Rule = 16,
  ManualFromTo = 17,
  DifferentialPair = 18,
  Violation = 19,
  Embedded = 20,
  EmbeddedBoard = 21,
  SplitPlane = 22,
  BoardOutline = 26,
};

// Interactive event handlers: states and threads. Every PcbApi_ function is
// called on the host's UI thread [UI thread]. A handler lives from
// CreateEventHandler to DestroyEventHandler; the editor calls nothing of it
// before a run. RunEventHandler [not inside a run] starts a run: the editor
// calls the handler's routines one at a time, on the thread that called
// RunEventHandler, from inside that call, and returns when the operation
// ends. From inside a routine [inside a run] the board, layer and object
// functions may be called, and DestroyEventHandler (it takes effect for
// later runs); RunEventHandler and ChooseLocation may not: the editor
// refuses them (false, nothing called, no action consumed), since a nested
// loop or prompt would take the running operation's input.
//
// Event sink registration (PcbApi_CreateEventHandler). A method pointer is
// the routine's address followed by the object it is called on; the editor
// calls code(data). An empty entry has both words nil.
using EventRoutine = void(STDCALL*)(void* self);
using QueryRoutine = ByteBool(STDCALL*)(void* self);
using CodeRoutine = ByteBool(STDCALL*)(void* self, uint16_t code);

struct EventMethod {
  EventRoutine code;
  void* data;
};
struct QueryMethod {
  QueryRoutine code;
  void* data;
};
static_assert(sizeof(EventMethod) == 2 * sizeof(void*) && offsetof(EventMethod, data) == sizeof(void*));
static_assert(sizeof(QueryMethod) == 2 * sizeof(void*) && offsetof(QueryMethod, data) == sizeof(void*));

inline constexpr int kEventTableASize = 41;
inline constexpr int kEventTableBSize = 11;

// The entries of event table A by what the editor calls each for. The
// handler fills entries 0 to 8 and 10 to 36 with its event methods in order
// (entry 9 and 37 to 40 stay empty); the entries named Spare hold a method
// the editor never calls. The position is the contract: the editor calls by
// it and the handler fills by it.
// clang-format off
#define ABI_EVENT_TABLE_A(X)                                                                      \
  X(Spare00) X(Spare01) X(Spare02) X(Spare03) X(Spare04) X(Spare05) X(Spare06) X(Spare07)        \
  /* the user asked for the setup dialog */                                                       \
  X(Setup)                                                                                        \
  X(Empty09) X(Spare10) X(Spare11)                                                                \
  /* the operation ended with a click */                                                          \
  X(ClickDone)                                                                                    \
  X(Spare13) X(Spare14)                                                                           \
  /* the operation ended with Escape */                                                           \
  X(EscapeDone)                                                                                   \
  X(Spare16)                                                                                      \
  /* the cursor moved: read it again */                                                           \
  X(ReadCursor)                                                                                   \
  X(Spare18) X(Spare19) X(Spare20) X(Spare21) X(Spare22) X(Spare23) X(Spare24) X(Spare25)        \
  X(Spare26) X(Spare27)                                                                           \
  /* show what is laid out */                                                                     \
  X(Show)                                                                                         \
  /* lay out for the current cursor */                                                            \
  X(LayOut)                                                                                       \
  /* the click keeps the result: commit, then show */                                             \
  X(Commit)                                                                                       \
  /* Escape drops the result */                                                                   \
  X(DropCommit)                                                                                   \
  X(Spare32) X(Spare33) X(Spare34) X(Spare35) X(Spare36)                                          \
  X(Empty37) X(Empty38) X(Empty39) X(Empty40)

// Table B: entry 0 is never asked; entry 1 asks whether the operation is
// over (the loop ends on true); entries 2 to 10 stay empty.
#define ABI_EVENT_TABLE_B(X)                                                                      \
  X(SpareQuery00) X(IsDone)                                                                       \
  X(Empty02) X(Empty03) X(Empty04) X(Empty05) X(Empty06) X(Empty07) X(Empty08) X(Empty09)        \
  X(Empty10)
// clang-format on

#define ABI_EVENT_ENTRY_ENUMERATOR(name) name,
#define ABI_EVENT_ENTRY_NAME(name) #name,
enum class EventA : uint8_t { ABI_EVENT_TABLE_A(ABI_EVENT_ENTRY_ENUMERATOR) Count };
enum class EventB : uint8_t { ABI_EVENT_TABLE_B(ABI_EVENT_ENTRY_ENUMERATOR) Count };
inline constexpr const char* kEventANames[] = {ABI_EVENT_TABLE_A(ABI_EVENT_ENTRY_NAME)};
inline constexpr const char* kEventBNames[] = {ABI_EVENT_TABLE_B(ABI_EVENT_ENTRY_NAME)};
#undef ABI_EVENT_ENTRY_ENUMERATOR
#undef ABI_EVENT_ENTRY_NAME

static_assert(static_cast<int>(EventA::Count) == kEventTableASize);
static_assert(static_cast<int>(EventB::Count) == kEventTableBSize);
// The positions the editor and the handler agree on.
static_assert(static_cast<int>(EventA::Setup) == 8 && static_cast<int>(EventA::Empty09) == 9);
static_assert(static_cast<int>(EventA::ClickDone) == 12 && static_cast<int>(EventA::EscapeDone) == 15);
static_assert(static_cast<int>(EventA::ReadCursor) == 17 && static_cast<int>(EventA::Show) == 28);
static_assert(static_cast<int>(EventA::LayOut) == 29 && static_cast<int>(EventA::Commit) == 30);
static_assert(static_cast<int>(EventA::DropCommit) == 31 && static_cast<int>(EventA::Empty37) == 37);
static_assert(static_cast<int>(EventB::IsDone) == 1 && static_cast<int>(EventB::Empty02) == 2);

inline constexpr const char* EventName(EventA entry) { return kEventANames[static_cast<int>(entry)]; }
inline constexpr const char* EventName(EventB entry) { return kEventBNames[static_cast<int>(entry)]; }

struct EventTableA {
  EventMethod entries[kEventTableASize];
  EventMethod& operator[](EventA entry) { return entries[static_cast<int>(entry)]; }
  const EventMethod& operator[](EventA entry) const { return entries[static_cast<int>(entry)]; }
};
struct EventTableB {
  QueryMethod entries[kEventTableBSize];
  QueryMethod& operator[](EventB entry) { return entries[static_cast<int>(entry)]; }
  const QueryMethod& operator[](EventB entry) const { return entries[static_cast<int>(entry)]; }
};
static_assert(sizeof(EventTableA) == kEventTableASize * sizeof(EventMethod));
static_assert(sizeof(EventTableB) == kEventTableBSize * sizeof(QueryMethod));

// Sizes of the opaque board option groups (32-bit values each).
inline constexpr int kGridOptionCount = 14;
inline constexpr int kOutputOptionCount = 24;
inline constexpr int kPlotLayerCount = 109;
inline constexpr int kGerberOptionCount = 19;
inline constexpr int kPrinterOptionCount = 26;
inline constexpr int kPlotterPenCount = 8;
inline constexpr int kCompositeLayerValueCount = 4;
inline constexpr int kPlacerOptionCount = 6;
inline constexpr int kEcoOptionCount = 2;

// clang-format off
#define ABI_PCBAPI_TYPED_FUNCTIONS(X)                                                                          \
  /* Board and document */                                                                                     \
  X(GetCurrentBoardHandle, ::qvabi::PcbHandle, (void))                                                          \
  X(ChooseLocation, ::qvabi::ByteBool,                                                                           \
    (::qvabi::PcbHandle board, int32_t* x, int32_t* y, const ::qvabi::ShortString* prompt))                        \
  X(QueryBoard, int32_t,                                                                                       \
    (uint8_t mode, ::qvabi::PcbHandle board, int32_t* boardInt3, ::qvabi::ShortString* fileName,                   \
     uint8_t* boardByte5, int32_t* boardInt6, int32_t* boardInt7, int32_t* cursorX, int32_t* cursorY,          \
     uint8_t* boardUnit, uint32_t* currentLayer, int32_t* boardInt12))                                        \
  X(QueryBoardLayerInfo, int32_t,                                                                              \
    (uint8_t mode, ::qvabi::PcbHandle board, uint8_t layer, int32_t* layerInfo, uint8_t* byte1, uint8_t* byte2)) \
  X(QueryLayer, int32_t,                                                                                       \
    (uint8_t mode, uint8_t layer, ::qvabi::PcbHandle board, ::qvabi::ShortString* name, int32_t* copperThickness,  \
     uint8_t* editorByte1, uint8_t* editorByte2, uint8_t* previousLayer, uint8_t* nextLayer,                   \
     uint8_t* editorByte3))                                                                                    \
  X(QueryInternalPlane, int32_t,                                                                               \
    (uint8_t mode, uint8_t layer, ::qvabi::PcbHandle board, ::qvabi::ShortString* name, int32_t* copperThickness,  \
     uint8_t* editorByte1, uint8_t* editorByte2, uint8_t* previousLayer, uint8_t* nextLayer,                   \
     ::qvabi::ShortString* netName))                                                                             \
  X(QueryLayerDielectric, int32_t,                                                                             \
    (uint8_t mode, uint8_t layer, ::qvabi::PcbHandle board, ::qvabi::ShortString* material,                        \
     uint8_t* dielectricType, double* constant, int32_t* height))                                              \
  X(QueryBoardSplitPlaneMode, int32_t, (uint8_t mode, ::qvabi::PcbHandle board, uint8_t* splitPlaneMode))       \
  /* Note the order: board, count, mode last. Answers 0 on success. */                                         \
  X(QueryBoardLayerPairsCount, int32_t, (::qvabi::PcbHandle board, int32_t* count, uint8_t mode))               \
  X(QueryBoardLayerPairAt, int32_t,                                                                            \
    (uint8_t mode, ::qvabi::PcbHandle board, int32_t index, uint8_t* pairByte1, uint8_t* pairByte2,              \
     uint32_t* firstLayer, uint32_t* secondLayer))                                                             \
  X(QueryBoardExternalDielectrics, int32_t,                                                                    \
    (uint8_t mode, ::qvabi::PcbHandle board, ::qvabi::ShortString* topMaterial, uint8_t* topType,                  \
     double* topConstant, int32_t* topHeight, ::qvabi::ShortString* bottomMaterial, uint8_t* bottomType,         \
     double* bottomConstant, int32_t* bottomHeight))                                                           \
  /* Board option groups: arrays of 32-bit values (sizes above) */                                             \
  X(QueryBoardGridsEx, int32_t, (uint8_t mode, ::qvabi::PcbHandle board, int32_t* values))                      \
  X(QueryBoardOutputOptions, int32_t, (uint8_t mode, ::qvabi::PcbHandle board, int32_t* values))                \
  X(QueryBoardOutputOptionsPlotLayers, int32_t,                                                                \
    (uint8_t mode, ::qvabi::PcbHandle board, int32_t index, uint8_t* value))                                     \
  X(QueryBoardOutputOptionsFlipLayers, int32_t,                                                                \
    (uint8_t mode, ::qvabi::PcbHandle board, int32_t index, uint8_t* value))                                     \
  X(QueryBoardGerberOptions, int32_t, (uint8_t mode, ::qvabi::PcbHandle board, int32_t* values))                \
  X(QueryBoardPrinterOptions, int32_t, (uint8_t mode, ::qvabi::PcbHandle board, int32_t* values))               \
  X(QueryBoardPrinterOptionsPlotterPen, int32_t,                                                               \
    (uint8_t mode, ::qvabi::PcbHandle board, int32_t pen, int32_t* value1, int32_t* value2))                     \
  X(QueryBoardPrinterOptionsCompositeLayer, int32_t,                                                           \
    (uint8_t mode, ::qvabi::PcbHandle board, uint8_t layer, int32_t* values))                                    \
  X(QueryBoardAdvancedPlacerOptions, int32_t, (uint8_t mode, ::qvabi::PcbHandle board, int32_t* values))        \
  X(QueryBoardEngineeringChangeOrderOptions, int32_t, (uint8_t mode, ::qvabi::PcbHandle board, int32_t* values)) \
  /* Objects */                                                                                                \
  X(CreateObject, ::qvabi::PcbHandle, (uint8_t kind))                                                           \
  X(SetOwnerBoard, void, (::qvabi::PcbHandle object, ::qvabi::PcbHandle board))                                   \
  X(AddObjectToContainer, void, (::qvabi::PcbHandle board, ::qvabi::PcbHandle object))                            \
  X(DestroyObject, void, (::qvabi::PcbHandle object))                                                           \
  X(ScreenDisplay, void, (::qvabi::PcbHandle object, uint8_t mode, ::qvabi::ByteBool flag))                       \
  X(QueryObjectBoundingRectangle, int32_t,                                                                     \
    (::qvabi::PcbHandle object, int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2))                             \
  X(GetObjectIdFromObjectHandle, int32_t, (::qvabi::PcbHandle object))                                          \
  X(QueryObjectImport_FromUser, ::qvabi::ByteBool, (::qvabi::PcbHandle object))                                   \
  X(QueryObjectGraphicallyInvalidate, int32_t, (::qvabi::PcbHandle object))                                     \
  X(GetObjectBitField2, int32_t, (uint8_t mode, ::qvabi::PcbHandle object, uint8_t* bitField2))                 \
  X(GetObjectBitField3, int32_t, (uint8_t mode, ::qvabi::PcbHandle object, uint16_t* bitField3))                \
  /* Base record: note HeaderValue2 before HeaderByte (the kind records reverse them) */                       \
  X(QueryPrimitive, int32_t,                                                                                   \
    (uint8_t mode, ::qvabi::PcbHandle object, uint16_t* flags, uint16_t* headerWord, uint32_t* layer,            \
     int32_t* headerValue1, int32_t* headerValue2, uint8_t* headerByte))                                       \
  X(QueryTrack, int32_t,                                                                                       \
    (uint8_t mode, ::qvabi::PcbHandle object, uint16_t* flags, uint16_t* headerWord, uint32_t* layer,            \
     int32_t* headerValue1, uint8_t* headerByte, int32_t* headerValue2, int32_t* x, int32_t* y, int32_t* x2,   \
     int32_t* y2, int32_t* width, int32_t* attributeA, int32_t* attributeB, int32_t* attributeC))              \
  X(QueryArc, int32_t,                                                                                         \
    (uint8_t mode, ::qvabi::PcbHandle object, uint16_t* flags, uint16_t* headerWord, uint32_t* layer,            \
     int32_t* headerValue1, uint8_t* headerByte, int32_t* headerValue2, int32_t* x, int32_t* y,                \
     int32_t* radius, double* startAngle, double* endAngle, int32_t* width, int32_t* attributeA))              \
  X(QueryFill, int32_t,                                                                                        \
    (uint8_t mode, ::qvabi::PcbHandle object, uint16_t* flags, uint16_t* headerWord, uint32_t* layer,            \
     int32_t* headerValue1, uint8_t* headerByte, int32_t* headerValue2, int32_t* x, int32_t* y, int32_t* x2,   \
     int32_t* y2, int32_t* attributeA, double* rotation))                                                      \
  X(QueryText, int32_t,                                                                                        \
    (uint8_t mode, ::qvabi::PcbHandle object, uint16_t* flags, uint16_t* headerWord, uint32_t* layer,            \
     int32_t* headerValue1, uint8_t* headerByte, int32_t* headerValue2, int32_t* x, int32_t* y, int32_t* size, \
     int32_t* textAttribute, double* rotation, uint8_t* textFlag, ::qvabi::ShortString* text, int32_t* width,    \
     int32_t* attributeB, int32_t* attributeC))                                                                \
  X(QueryTrueTypeTextInfo, int32_t,                                                                            \
    (uint8_t mode, ::qvabi::PcbHandle object, uint8_t* trueTypeMode, ::qvabi::ShortString* fontName,               \
     uint8_t* flag1, uint8_t* flag2, uint8_t* flag3, int32_t* trueTypeValue))                                  \
  X(GetDesignatorDisplayString, int32_t, (::qvabi::PcbHandle object, ::qvabi::ShortString* text))                 \
  X(QueryBarCodeTextInfo, int32_t,                                                                             \
    (uint8_t mode, ::qvabi::PcbHandle object, uint8_t* byte0, uint8_t* byte1, uint8_t* byte2, uint8_t* byte3))   \
  /* Pads and vias. The pad record is 35 values after mode and handle. */                                       \
  X(QueryPad, int32_t,                                                                                         \
    (uint8_t mode, ::qvabi::PcbHandle object, uint16_t* flags, uint16_t* headerWord, uint32_t* layer,            \
     int32_t* headerValue1, uint8_t* headerByte, int32_t* headerValue2, int32_t* x, int32_t* y,                \
     int32_t* padValue1, int32_t* padValue2, int32_t* padValue3, int32_t* padValue4, int32_t* padValue5,       \
     int32_t* padValue6, int32_t* padValue7, uint8_t* padByte1, uint8_t* padByte2, uint8_t* padByte3,          \
     ::qvabi::ShortString* name, double* rotation, uint8_t* kindByte1, uint8_t* kindByte2, int32_t* extraValue1, \
     int32_t* extraValue2, int32_t* extraValue3, int32_t* extraValue4, int32_t* extraValue5,                   \
     int32_t* extraValue6, int32_t* extraValue7, int32_t* extraValue8, int32_t* extraValue9,                   \
     int32_t* extraValue10, uint8_t* extraByte1, uint8_t* extraByte2, uint8_t* extraByte3))                     \
  X(QueryPadStackMode, int32_t, (uint8_t mode, ::qvabi::PcbHandle object, uint8_t* stackMode))                  \
  /* Per-layer pad and via data, layer ids 0 to 82; answer 1 for another id. */                                \
  X(QueryPadOrViaShapeOnLayer, int32_t, (::qvabi::PcbHandle object, uint8_t layer, uint8_t* shape))             \
  X(QueryPadOrViaSizeOnLayer, int32_t,                                                                         \
    (::qvabi::PcbHandle object, uint8_t layer, int32_t* sizeX, int32_t* sizeY))                                  \
  X(QueryPadCornerRadiusOnLayer, int32_t, (::qvabi::PcbHandle object, uint8_t layer, int32_t* radius))          \
  X(QueryPadCRPercentageOnLayer, int32_t, (::qvabi::PcbHandle object, uint8_t layer, uint8_t* percentage))      \
  X(SetPadShapeOnLayer, int32_t, (::qvabi::PcbHandle object, uint8_t layer, uint8_t shape))                     \
  X(SetPadSizeOnLayer, int32_t, (::qvabi::PcbHandle object, uint8_t layer, int32_t sizeX, int32_t sizeY))       \
  X(SetCRPctOnLayer, int32_t, (::qvabi::PcbHandle object, uint8_t layer, uint8_t percentage))                   \
  /* The via passes its layer as a layer id (1 to 82), not as a record layer id. */                            \
  X(QueryVia, int32_t,                                                                                         \
    (uint8_t mode, ::qvabi::PcbHandle object, uint16_t* flags, uint16_t* headerWord, uint8_t* layer,             \
     int32_t* headerValue1, uint8_t* headerByte, int32_t* headerValue2, int32_t* x, int32_t* y, int32_t* size, \
     int32_t* holeSize, uint8_t* kindByte1, uint8_t* kindByte2, uint8_t* viaByte1, uint8_t* viaByte2,          \
     uint8_t* lowLayer, uint8_t* highLayer))                                                                   \
  /* Connections */                                                                                            \
  X(QueryFromTo, int32_t,                                                                                      \
    (uint8_t mode, ::qvabi::PcbHandle object, uint16_t* headerWord, int32_t* x, int32_t* y, uint8_t* byte1,      \
     int32_t* x2, int32_t* y2, uint8_t* byte2, int32_t* headerValue1))                                         \
  X(QueryManualFromTo, int32_t,                                                                                \
    (uint8_t mode, ::qvabi::PcbHandle object, uint16_t* headerWord, ::qvabi::ShortString* net,                     \
     ::qvabi::ShortString* fromPad, ::qvabi::ShortString* toPad, ::qvabi::ShortString* name))                        \
  X(QueryNet, int32_t,                                                                                         \
    (uint8_t mode, ::qvabi::PcbHandle object, uint16_t* headerWord, ::qvabi::ShortString* name, uint8_t* byte1,    \
     uint8_t* byte2))                                                                                          \
  /* Components; the name and comment are text objects of their own */                                        \
  X(QueryComponent, int32_t,                                                                                   \
    (uint8_t mode, ::qvabi::PcbHandle object, uint16_t* flags, uint16_t* headerWord, uint32_t* layer,            \
     int32_t* headerValue1, uint8_t* headerByte, int32_t* headerValue2, int32_t* x, int32_t* y,                \
     double* rotation, ::qvabi::PcbHandle* nameObject, ::qvabi::PcbHandle* commentObject,                          \
     ::qvabi::ShortString* pattern))                                                                             \
  X(QueryComponentEx, int32_t,                                                                                 \
    (uint8_t mode, ::qvabi::PcbHandle object, ::qvabi::ShortString* sourceDesignator, int32_t* height,             \
     uint8_t* lockStrings))                                                                                    \
  X(QueryComponentSourceLinks, int32_t,                                                                        \
    (uint8_t mode, ::qvabi::PcbHandle object, ::qvabi::ShortString* sourceLibrary,                                 \
     ::qvabi::ShortString* sourceUniqueId))                                                                      \
  X(QueryDefaultPCB3DModel, int32_t, (uint8_t mode, ::qvabi::PcbHandle object, ::qvabi::ShortString* model))      \
  X(QueryComponentChannelOffset, int32_t, (uint8_t mode, ::qvabi::PcbHandle object, int32_t* offset))           \
  X(QueryComponentKind, int32_t, (uint8_t mode, ::qvabi::PcbHandle object, uint8_t* componentKind))             \
  /* Outlined areas; their points stay in the editor */                                                       \
  X(QueryPolygon, int32_t,                                                                                     \
    (uint8_t mode, ::qvabi::PcbHandle object, uint16_t* flags, uint16_t* headerWord, uint32_t* layer,            \
     int32_t* headerValue1, uint8_t* headerByte, int32_t* headerValue2, ::qvabi::ShortString* net,               \
     int32_t* grid, int32_t* trackWidth, uint8_t* hatchStyle, uint8_t* pourOver, uint8_t* removeDead))         \
  X(QueryRegion, int32_t,                                                                                      \
    (uint8_t mode, ::qvabi::PcbHandle object, uint16_t* flags, uint16_t* headerWord, uint32_t* layer,            \
     int32_t* headerValue1, uint8_t* headerByte, int32_t* headerValue2, ::qvabi::ShortString* net,               \
     uint8_t* keepout, int32_t* regionKind))                                                                   \
  X(QuerySplitPlane, int32_t,                                                                                  \
    (uint8_t mode, ::qvabi::PcbHandle object, uint16_t* flags, uint16_t* headerWord, uint32_t* layer,            \
     int32_t* headerValue1, uint8_t* headerByte, int32_t* headerValue2, ::qvabi::ShortString* net))              \
  /* Dimensions and coordinates. A dimension's references are read only. */                                    \
  X(QueryDimension, int32_t,                                                                                   \
    (uint8_t mode, ::qvabi::PcbHandle object, uint16_t* flags, uint16_t* headerWord, uint32_t* layer,            \
     int32_t* headerValue1, uint8_t* headerByte, int32_t* headerValue2, int32_t* x, int32_t* y, int32_t* x2,   \
     int32_t* y2, int32_t* textHeight, int32_t* lineWidth))                                                    \
  X(QueryExtDimension, int32_t,                                                                                \
    (uint8_t mode, ::qvabi::PcbHandle object, int32_t* arrowSize, int32_t* textGap, uint8_t* unitStyle,          \
     uint8_t* precision))                                                                                      \
  /* Count: the number of references, 0 for an unknown object. At: 0 done, 1 out of range. */                 \
  X(References_Count, int32_t, (::qvabi::PcbHandle object))                                                     \
  X(References_At, int32_t, (::qvabi::PcbHandle object, int32_t index, ::qvabi::PcbHandle* reference))            \
  X(QueryCoordinate, int32_t,                                                                                  \
    (uint8_t mode, ::qvabi::PcbHandle object, uint16_t* flags, uint16_t* headerWord, uint32_t* layer,            \
     int32_t* headerValue1, uint8_t* headerByte, int32_t* headerValue2, int32_t* x, int32_t* y, int32_t* size, \
     int32_t* lineWidth, int32_t* textHeight))                                                                 \
  /* Object classes and their member names. At: 0 done, 1 past the last member. */                              \
  X(QueryClass, int32_t,                                                                                       \
    (uint8_t mode, ::qvabi::PcbHandle object, uint16_t* headerWord, ::qvabi::ShortString* name,                    \
     uint8_t* memberKind, uint8_t* superClass))                                                                \
  X(GetMemberFromClassAt, int32_t, (::qvabi::PcbHandle object, int32_t index, ::qvabi::ShortString* member))      \
  X(RemoveAllMembersFromClass, int32_t, (::qvabi::PcbHandle object))                                            \
  X(AddMemberToClass, int32_t, (::qvabi::PcbHandle object, const ::qvabi::ShortString* member))                   \
  /* Design rules, violations, embedded objects and boards */                                                  \
  X(QueryRule, int32_t,                                                                                        \
    (uint8_t mode, ::qvabi::PcbHandle object, uint16_t* headerWord, ::qvabi::ShortString* name, uint8_t* ruleKind, \
     ::qvabi::ShortString* scope1, ::qvabi::ShortString* scope2, int32_t* value, uint8_t* enabled,                 \
     int32_t* priority))                                                                                       \
  X(QueryViolation, int32_t,                                                                                   \
    (uint8_t mode, ::qvabi::PcbHandle object, uint16_t* flags, uint16_t* headerWord, uint32_t* layer,            \
     int32_t* headerValue1, uint8_t* headerByte, int32_t* headerValue2, int32_t* x, int32_t* y,                \
     ::qvabi::ShortString* rule, ::qvabi::ShortString* description))                                               \
  X(QueryEmbedded, int32_t,                                                                                    \
    (uint8_t mode, ::qvabi::PcbHandle object, uint16_t* headerWord, ::qvabi::ShortString* name,                    \
     ::qvabi::ShortString* description))                                                                         \
  X(QueryEmbeddedBoard, int32_t,                                                                               \
    (uint8_t mode, ::qvabi::PcbHandle object, uint16_t* flags, uint16_t* headerWord, uint32_t* layer,            \
     int32_t* headerValue1, uint8_t* headerByte, int32_t* headerValue2, int32_t* x, int32_t* y,                \
     ::qvabi::ShortString* document, int32_t* rows, int32_t* columns, int32_t* rowSpacing,                       \
     int32_t* columnSpacing, uint8_t* mirrored))                                                               \
  /* Interactive event handlers */                                                                             \
  X(CreateEventHandler, ::qvabi::PcbHandle,                                                                      \
    (::qvabi::PcbHandle board, const ::qvabi::EventTableA* tableA, const ::qvabi::EventTableB* tableB,               \
     ::qvabi::CodeRoutine callbackCode, void* callbackData))                                                     \
  X(RunEventHandler, ::qvabi::ByteBool, (::qvabi::PcbHandle handler))                                             \
  X(DestroyEventHandler, void, (::qvabi::PcbHandle handler))

// clang-format on

namespace pcbapi {
#define ABI_PCBAPI_DECLARE_TYPE(name, result, params) using name##_t = result STDCALL params;
ABI_PCBAPI_TYPED_FUNCTIONS(ABI_PCBAPI_DECLARE_TYPE)
#undef ABI_PCBAPI_DECLARE_TYPE
}  // namespace pcbapi

}  // namespace qvabi
