// Every slot of every interface, reached as the other module reaches it: by
// its index in the object's table of virtual functions. A recording fake
// tells which method answered; the expected slots are the numbers the host
// and the editor call, written down here independently of the declarations.
#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <string>
#include <type_traits>

#include "abi/IClient.h"
#include "abi/IServerDocument.h"
#include "abi/IServerModule.h"
#include "abi/ITranslationManager.h"
#include "abi/Navigation.h"
#include "abi/PcbServer.h"

namespace qvabi {
namespace {

// What a recorded method answers, so that it cannot be mistaken for a
// placeholder's E_NOTIMPL.
constexpr HRESULT kRecorded = 0x5107;

// An argument of type T with every bit zero (a reference names a zero object).
template <typename T>
T Zero() {
  if constexpr (std::is_reference_v<T>) {
    static std::remove_cvref_t<T> zero{};
    return zero;
  } else {
    return T{};
  }
}

// Calls entry `slot` of the object's table as a caller compiled elsewhere
// would: with the interface's calling convention and the method's own
// parameter list, every argument zero. A stdcall callee takes its arguments
// off the stack itself, so a call passing fewer words than the method takes
// would leave the caller's stack unbalanced.
using SlotCall = HRESULT (*)(void* object, int slot);

template <typename Result, typename... Args>
HRESULT CallSlot(void* object, int slot) {
  using Entry = Result(STDCALL*)(void* self, Args...);
  Entry* table = *static_cast<Entry**>(object);
  return static_cast<HRESULT>(table[slot](object, Zero<Args>()...));
}

template <typename I>
class Recording : public I {
 public:
  HRESULT STDCALL QueryInterface(REFIID, void**) override { return Hit("QueryInterface"); }
  uint32_t STDCALL AddRef() override { return static_cast<uint32_t>(Hit("AddRef")); }
  uint32_t STDCALL Release() override { return static_cast<uint32_t>(Hit("Release")); }
  virtual ~Recording() = default;

  // How to call each recorded method by its slot, by the method's name.
  std::map<std::string, SlotCall> callers = {{"QueryInterface", &CallSlot<HRESULT, REFIID, void**>},
                                             {"AddRef", &CallSlot<uint32_t>},
                                             {"Release", &CallSlot<uint32_t>}};
  std::string hit;

 protected:
  HRESULT Hit(const char* name) {
    hit = name;
    return kRecorded;
  }
  bool Register(const char* name, SlotCall caller) { return callers.emplace(name, caller).second; }
};

// A recorded method. `override` makes the compiler hold it to the
// interface's declaration, parameters and calling convention alike, so the
// parameter list registered for calling its slot is the interface's own.
#define RECORD(name, ...)                                           \
  HRESULT STDCALL name(__VA_ARGS__) override { return Hit(#name); } \
  const bool name##Registered = Register(#name, &CallSlot<HRESULT __VA_OPT__(, ) __VA_ARGS__>);

struct FakeGuiManager : Recording<IGUIManager> {
  RECORD(ShortcutHandled)
  RECORD(ProcessShortcut, int32_t, BOOL32, BOOL32, BOOL32, int32_t*)
  RECORD(SetStatusBarText, int32_t, BSTR)
};
struct FakeOptionsReader : Recording<IOptionsReader> {
  RECORD(ReadBoolean, BSTR, BSTR, BOOL32, BOOL32*)
};
struct FakeOptionsWriter : Recording<IOptionsWriter> {
  RECORD(WriteBoolean, BSTR, BSTR, BOOL32)
};
struct FakeOptionsManager : Recording<IOptionsManager> {
  RECORD(GetOptionsReader, BSTR, BSTR, IOptionsReader**)
  RECORD(GetOptionsWriter, BSTR, IOptionsWriter**)
};
struct FakeClient : Recording<IClient> {
  RECORD(GetApplicationHandle, int32_t*)
  RECORD(GetServerModuleCount, int32_t*)
  RECORD(GetCurrentView, IServerView**)
  RECORD(GetServerModuleForTarget, BSTR, IServerModule**)
  RECORD(GetMainWindowHandle, int32_t*)
  RECORD(GetGUIManager, IGUIManager**)
  RECORD(GetServerModuleAt, int32_t, IServerModule**)
  RECORD(GetServerModuleByName, BSTR, IServerModule**)
  RECORD(ShowDocument, IServerDocument*)
  RECORD(GetModuleForRedirect, BSTR, BSTR*)
  RECORD(GetGUIFont, int32_t, ByteBool*, BSTR*, int32_t*, uint8_t*, int32_t*, uint8_t*)
  RECORD(GetNavigationService, INavigationService**)
  RECORD(GetOptionsManager, IOptionsManager**)
};
struct FakeProcessLauncher : Recording<IProcessLauncher> {
  RECORD(RunProcess, const char*, const char*, int32_t, int32_t)
};
struct FakeServerView : Recording<IServerView> {
  RECORD(GetViewName, BSTR*)
  RECORD(GetParameters, BSTR*)
  RECORD(GetOwnerDocument, IServerDocument**)
  RECORD(RefreshAfterCommand)
};
struct FakeServerDocument : Recording<IServerDocument> {
  RECORD(GetViewCount, int32_t*)
  RECORD(GetFileName, BSTR*)
  RECORD(GetKind, BSTR*)
  RECORD(GetView, int32_t, IServerView**)
  RECORD(ReleaseDocument)
};
struct FakeNavigationService : Recording<INavigationService> {
  RECORD(ParseAddress, BSTR, BSTR*, BSTR*, BSTR*)
  RECORD(OpenAddress, int32_t, BSTR*, IServerDocument**, BOOL32*)
  RECORD(ResolveAddress, BSTR, BSTR*)
};
struct FakeNavigableDocument : Recording<INavigableDocument> {
  RECORD(Navigate, BSTR, BOOL32*)
};
struct FakeAddressableDocument : Recording<IAddressableDocument> {
  RECORD(GetAddress, BSTR*)
  RECORD(MatchesAddress, BSTR, ByteBool*)
};
struct FakeActivatableView : Recording<IActivatableView> {
  RECORD(Activate)
};
struct FakeWorkspace : Recording<IWorkspace> {
  RECORD(GetServerTarget, BSTR, BSTR*)
};
struct FakeBoardAccess : Recording<BoardAccessInterface> {
  RECORD(BoardDisallowsCommand, BOOL32*)
};
struct FakePcbServer : Recording<IPCB_ServerInterface> {
  RECORD(QueryBoardInterface, PcbHandle, REFIID, void**, BOOL32*)
  RECORD(NotifyHandlerCreated)
  RECORD(NotifyHandlerDestroyed)
};
struct FakeServerModule : Recording<IServerModule> {
  RECORD(Idle)
  RECORD(HostNotify, int32_t)
  RECORD(CreateDocument, intptr_t, intptr_t, IServerDocument**)
  RECORD(DestroyDocument, IServerDocument*)
  RECORD(GetClient, IClient**)
  RECORD(GetCommandLauncher, ICommandLauncher**)
  RECORD(GetDocumentCount, int32_t*)
  RECORD(GetDocument, int32_t, IServerDocument**)
  RECORD(GetModuleInstance, int32_t*)
  RECORD(GetModuleName, BSTR*)
  RECORD(GetProcessControl, IProcessControl**)
  RECORD(GetAttachedObjectCount, int32_t*)
  RECORD(GetAttachedObject, int32_t, IUnknown**)
  RECORD(GetDocumentOptionsView, BSTR, IUnknown**)
  RECORD(QueryObject1, int32_t, IUnknown**)
  RECORD(QueryObject2, int32_t, int32_t, IUnknown**)
  RECORD(DetachObject, IUnknown*)
  RECORD(AttachObject, IUnknown*)
  RECORD(CreateDocumentEx, intptr_t, intptr_t, ByteBool, IServerDocument**)
};
struct FakeOptionsPageProvider : Recording<IOptionsPageProvider> {
  RECORD(CreateOptionsPage, BSTR, IUnknown**)
  RECORD(OptionsNotifyA)
  RECORD(OptionsNotifyB)
};
struct FakeCommandLauncher : Recording<ICommandLauncher> {
  RECORD(LaunchCommand, const char*, const char*, int32_t, IServerView*)
  RECORD(GetCommandState, const char*, const char*, IServerView*, BOOL32*, int32_t*, int32_t*, ByteBool*,
         ByteBool*)
};
struct FakeProcessControl : Recording<IProcessControl> {
  RECORD(GetProcessDepth, int32_t*)
  RECORD(LeaveProcess, int32_t, int32_t)
  RECORD(EnterProcess, int32_t, int32_t)
  RECORD(SetProcessDepth, int32_t)
};
struct FakeTranslationManager : Recording<ITranslationManager> {
  RECORD(Translate, BSTR, BSTR, BSTR*, int32_t*)
  RECORD(BeginDialog, BSTR)
  RECORD(LocaleFontsEnabled, int32_t*)
};

#undef RECORD

using Slots = std::map<int, std::string>;

// Calls each slot from 0 to the last expected one through the raw table, as
// a caller compiled elsewhere would. Slots not expected must be placeholders
// (no parameters) answering E_NOTIMPL.
template <typename Fake>
void ExpectSlots(Slots expected) {
  expected.insert({{0, "QueryInterface"}, {1, "AddRef"}, {2, "Release"}});
  Fake fake;
  void* object = static_cast<IUnknown*>(&fake);
  const int last = expected.rbegin()->first;
  for (int slot = 0; slot <= last; ++slot) {
    fake.hit.clear();
    const auto wanted = expected.find(slot);
    if (wanted == expected.end()) {
      const HRESULT answer = CallSlot<HRESULT>(object, slot);
      EXPECT_EQ(answer, E_NOTIMPL) << "slot " << slot << " should be a placeholder, reached " << fake.hit;
      EXPECT_EQ(fake.hit, "") << "slot " << slot;
      continue;
    }
    const auto caller = fake.callers.find(wanted->second);
    ASSERT_NE(caller, fake.callers.end()) << "the fake records no " << wanted->second;
    const HRESULT answer = caller->second(object, slot);
    EXPECT_EQ(fake.hit, wanted->second) << "slot " << slot;
    EXPECT_EQ(answer, kRecorded) << "slot " << slot;
  }
}

TEST(SlotOrder, HostInterfaces) {
  ExpectSlots<FakeClient>({{9, "GetApplicationHandle"},
                           {11, "GetServerModuleCount"},
                           {13, "GetCurrentView"},
                           {14, "GetServerModuleForTarget"},
                           {15, "GetMainWindowHandle"},
                           {17, "GetGUIManager"},
                           {18, "GetServerModuleAt"},
                           {19, "GetServerModuleByName"},
                           {38, "ShowDocument"},
                           {47, "GetModuleForRedirect"},
                           {48, "GetGUIFont"},
                           {49, "GetNavigationService"},
                           {56, "GetOptionsManager"}});
  ExpectSlots<FakeGuiManager>({{3, "ShortcutHandled"}, {5, "ProcessShortcut"}, {12, "SetStatusBarText"}});
  ExpectSlots<FakeOptionsManager>({{3, "GetOptionsReader"}, {4, "GetOptionsWriter"}});
  ExpectSlots<FakeOptionsReader>({{3, "ReadBoolean"}});
  ExpectSlots<FakeOptionsWriter>({{4, "WriteBoolean"}});
  ExpectSlots<FakeProcessLauncher>({{4, "RunProcess"}});
  ExpectSlots<FakeTranslationManager>({{3, "Translate"}, {4, "BeginDialog"}, {5, "LocaleFontsEnabled"}});
}

TEST(SlotOrder, DocumentsViewsAndNavigation) {
  ExpectSlots<FakeServerView>(
      {{15, "GetViewName"}, {16, "GetParameters"}, {21, "GetOwnerDocument"}, {23, "RefreshAfterCommand"}});
  ExpectSlots<FakeServerDocument>(
      {{12, "GetViewCount"}, {13, "GetFileName"}, {15, "GetKind"}, {22, "GetView"}, {30, "ReleaseDocument"}});
  ExpectSlots<FakeNavigationService>({{7, "ParseAddress"}, {8, "OpenAddress"}, {10, "ResolveAddress"}});
  ExpectSlots<FakeNavigableDocument>({{3, "Navigate"}});
  ExpectSlots<FakeAddressableDocument>({{3, "GetAddress"}, {5, "MatchesAddress"}});
  ExpectSlots<FakeActivatableView>({{15, "Activate"}});
  ExpectSlots<FakeWorkspace>({{54, "GetServerTarget"}});
}

TEST(SlotOrder, ServerModuleAndItsParts) {
  ExpectSlots<FakeServerModule>({{3, "Idle"},
                                 {4, "HostNotify"},
                                 {5, "CreateDocument"},
                                 {6, "DestroyDocument"},
                                 {7, "GetClient"},
                                 {8, "GetCommandLauncher"},
                                 {9, "GetDocumentCount"},
                                 {10, "GetDocument"},
                                 {11, "GetModuleInstance"},
                                 {12, "GetModuleName"},
                                 {13, "GetProcessControl"},
                                 {14, "GetAttachedObjectCount"},
                                 {15, "GetAttachedObject"},
                                 {16, "GetDocumentOptionsView"},
                                 {17, "QueryObject1"},
                                 {18, "QueryObject2"},
                                 {19, "DetachObject"},
                                 {20, "AttachObject"},
                                 {21, "CreateDocumentEx"}});
  ExpectSlots<FakeOptionsPageProvider>(
      {{3, "CreateOptionsPage"}, {4, "OptionsNotifyA"}, {5, "OptionsNotifyB"}});
  ExpectSlots<FakeCommandLauncher>({{3, "LaunchCommand"}, {4, "GetCommandState"}});
  ExpectSlots<FakeProcessControl>(
      {{3, "GetProcessDepth"}, {4, "LeaveProcess"}, {5, "EnterProcess"}, {6, "SetProcessDepth"}});
}

TEST(SlotOrder, EditorInterfaces) {
  ExpectSlots<FakePcbServer>(
      {{3, "QueryBoardInterface"}, {4, "NotifyHandlerCreated"}, {5, "NotifyHandlerDestroyed"}});
  ExpectSlots<FakeBoardAccess>({{3, "BoardDisallowsCommand"}});
}

}  // namespace
}  // namespace qvabi
