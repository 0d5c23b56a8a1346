// Level 2: every slot of every interface the plug-in offers, called with
// edge arguments. Each method answers S_OK or E_UNEXPECTED, clears its out
// arguments before any work, and never lets an exception out.
#include <climits>
#include <string>

#include "host/Host.h"
#include "host/quorvex/validate/Checks.h"
#include "platform/Modules.h"
#include "platform/WideString.h"

namespace quorvex::validate {
namespace {

constexpr int32_t kEdgeIndexes[] = {-1, INT32_MIN, INT32_MAX, 1000000};
constexpr int32_t kEdgeValues[] = {0, -1, INT32_MIN, INT32_MAX};

// A stale pointer an out argument must not keep after the call.
template <typename T>
T* Stale() {
  return reinterpret_cast<T*>(static_cast<uintptr_t>(0x5A5A5A50));
}

std::string Long(std::size_t bytes) {
  std::string text;
  while (text.size() < bytes) text += "Name" + std::to_string(text.size()) + "=value|";
  text.resize(bytes);
  return text;
}

// The names a slot taking a name is tried with: nil, empty, unknown, long.
std::vector<platform::BStr> EdgeNames() {
  std::vector<platform::BStr> names;
  names.emplace_back();
  names.push_back(platform::BStr::FromUtf8(""));
  names.push_back(platform::BStr::FromUtf8("NoSuchName"));
  names.push_back(platform::BStr::FromUtf8(Long(10000)));
  return names;
}

void ExpectStatus(qvabi::HRESULT status, qvabi::HRESULT expected, const std::string& call) {
  if (status == expected) return;
  char text[64];
  std::snprintf(text, sizeof text, "answered 0x%08X instead of 0x%08X", static_cast<uint32_t>(status),
                static_cast<uint32_t>(expected));
  throw CheckFailure(call + " " + text);
}

// A slot with one out interface: with a nil out it fails; with a real one the
// stale value is replaced (by nil on failure).
template <typename T, typename Slot>
void NilOutFails(const std::string& call, Slot slot) {
  ExpectStatus(Call(call, [&] { return slot(static_cast<T**>(nullptr)); }), qvabi::E_UNEXPECTED,
               call + " with a nil out");
}

template <typename T, typename Slot>
T* Answer(const std::string& call, qvabi::HRESULT expected, Slot slot) {
  T* out = Stale<T>();
  ExpectStatus(Call(call, [&] { return slot(&out); }), expected, call);
  Expect(out != Stale<T>(), call + " left its out argument as it was");
  if (expected != qvabi::S_OK) Expect(out == nullptr, call + " failed but did not clear its out argument");
  return out;
}

template <typename T>
void Drop(T* item) {
  if (item) item->Release();
}

void ServerModuleSlots(CheckContext& context) {
  context.LoadEditor();
  qvabi::IServerModule* module = context.LoadPlugin();
  context.Step("IServerModule::QueryInterface");
  {
    void* out = Stale<void>();
    ExpectStatus(Call("QueryInterface", [&] { return module->QueryInterface(qvabi::IClient::IID, &out); }),
                 qvabi::E_NOINTERFACE, "QueryInterface(unknown interface)");
    Expect(out == nullptr, "QueryInterface(unknown interface) did not clear its out argument");
    Expect(qvabi::Failed(Call("QueryInterface",
                              [&] { return module->QueryInterface(qvabi::IServerModule::IID, nullptr); })),
           "QueryInterface with a nil out succeeded");
    for (const qvabi::GUID& iid :
         {qvabi::IUnknown::IID, qvabi::IServerModule::IID, qvabi::IOptionsPageProvider::IID}) {
      void* got = nullptr;
      ExpectStatus(Call("QueryInterface", [&] { return module->QueryInterface(iid, &got); }), qvabi::S_OK,
                   "QueryInterface(offered interface)");
      Expect(got != nullptr, "QueryInterface succeeded with nil");
      static_cast<qvabi::IUnknown*>(got)->Release();
    }
  }
  context.Step("IServerModule::Idle and HostNotify");
  ExpectStatus(Call("Idle", [&] { return module->Idle(); }), qvabi::S_OK, "Idle");
  for (int32_t value : kEdgeValues)
    ExpectStatus(Call("HostNotify", [&] { return module->HostNotify(value); }), qvabi::S_OK, "HostNotify");

  context.Step("IServerModule::GetClient, GetCommandLauncher, GetProcessControl");
  NilOutFails<qvabi::IClient>("GetClient", [&](qvabi::IClient** out) { return module->GetClient(out); });
  qvabi::IClient* client = Answer<qvabi::IClient>(
      "GetClient", qvabi::S_OK, [&](qvabi::IClient** out) { return module->GetClient(out); });
  Expect(client == context.host.GetClient(),
         "GetClient did not answer the client the module was created with");
  Drop(client);
  NilOutFails<qvabi::ICommandLauncher>("GetCommandLauncher",
                                       [&](auto** out) { return module->GetCommandLauncher(out); });
  Expect(Answer<qvabi::ICommandLauncher>("GetCommandLauncher", qvabi::S_OK,
                                         [&](auto** out) { return module->GetCommandLauncher(out); }),
         "GetCommandLauncher answered nil");
  NilOutFails<qvabi::IProcessControl>("GetProcessControl",
                                      [&](auto** out) { return module->GetProcessControl(out); });
  Expect(Answer<qvabi::IProcessControl>("GetProcessControl", qvabi::S_OK,
                                        [&](auto** out) { return module->GetProcessControl(out); }),
         "GetProcessControl answered nil");

  context.Step("IServerModule counts, module instance and name");
  for (const auto& [call, slot] :
       std::vector<std::pair<std::string, std::function<qvabi::HRESULT(int32_t*)>>>{
           {"GetDocumentCount", [&](int32_t* out) { return module->GetDocumentCount(out); }},
           {"GetAttachedObjectCount", [&](int32_t* out) { return module->GetAttachedObjectCount(out); }},
           {"GetModuleInstance", [&](int32_t* out) { return module->GetModuleInstance(out); }}}) {
    ExpectStatus(Call(call, [&] { return slot(nullptr); }), qvabi::E_UNEXPECTED, call + " with a nil out");
    int32_t value = -12345;
    ExpectStatus(Call(call, [&] { return slot(&value); }), qvabi::S_OK, call);
  }
  ExpectStatus(Call("GetModuleName", [&] { return module->GetModuleName(nullptr); }), qvabi::E_UNEXPECTED,
               "GetModuleName with a nil out");

  context.Step("IServerModule::GetDocument and GetAttachedObject with bad indexes");
  for (int32_t index : kEdgeIndexes) {
    const std::string at = "(" + std::to_string(index) + ")";
    NilOutFails<qvabi::IServerDocument>("GetDocument" + at,
                                        [&](auto** out) { return module->GetDocument(index, out); });
    Answer<qvabi::IServerDocument>("GetDocument" + at, qvabi::E_UNEXPECTED,
                                   [&](auto** out) { return module->GetDocument(index, out); });
    NilOutFails<qvabi::IUnknown>("GetAttachedObject" + at,
                                 [&](auto** out) { return module->GetAttachedObject(index, out); });
    Answer<qvabi::IUnknown>("GetAttachedObject" + at, qvabi::E_UNEXPECTED,
                            [&](auto** out) { return module->GetAttachedObject(index, out); });
  }

  context.Step("IServerModule::AttachObject and DetachObject");
  qvabi::IUnknown* attached = context.host.GetClient();
  ExpectStatus(Call("DetachObject", [&] { return module->DetachObject(attached); }), qvabi::S_OK,
               "DetachObject(never attached)");
  ExpectStatus(Call("AttachObject", [&] { return module->AttachObject(attached); }), qvabi::S_OK,
               "AttachObject");
  int32_t count = 0;
  module->GetAttachedObjectCount(&count);
  Expect(count == 1, "GetAttachedObjectCount answered " + std::to_string(count) + " after one AttachObject");
  qvabi::IUnknown* first = Answer<qvabi::IUnknown>(
      "GetAttachedObject(0)", qvabi::S_OK, [&](auto** out) { return module->GetAttachedObject(0, out); });
  Expect(first == attached, "GetAttachedObject(0) is not the object attached");
  Drop(first);
  ExpectStatus(Call("DetachObject", [&] { return module->DetachObject(attached); }), qvabi::S_OK,
               "DetachObject");
  module->GetAttachedObjectCount(&count);
  Expect(count == 0, "the object is still attached after DetachObject");

  context.Step("IServerModule::GetDocumentOptionsView, QueryObject1, QueryObject2");
  for (const platform::BStr& name : EdgeNames()) {
    NilOutFails<qvabi::IUnknown>("GetDocumentOptionsView",
                                 [&](auto** out) { return module->GetDocumentOptionsView(name.get(), out); });
    Drop(Answer<qvabi::IUnknown>("GetDocumentOptionsView", qvabi::S_OK, [&](auto** out) {
      return module->GetDocumentOptionsView(name.get(), out);
    }));
  }
  for (int32_t value : kEdgeValues) {
    NilOutFails<qvabi::IUnknown>("QueryObject1",
                                 [&](auto** out) { return module->QueryObject1(value, out); });
    Drop(Answer<qvabi::IUnknown>("QueryObject1", qvabi::S_OK,
                                 [&](auto** out) { return module->QueryObject1(value, out); }));
    // The other argument from the far side of zero; the most negative value
    // has no opposite, so it meets the largest.
    const int32_t other = value == INT32_MIN ? INT32_MAX : -value;
    NilOutFails<qvabi::IUnknown>("QueryObject2",
                                 [&](auto** out) { return module->QueryObject2(value, other, out); });
    Drop(Answer<qvabi::IUnknown>("QueryObject2", qvabi::S_OK,
                                 [&](auto** out) { return module->QueryObject2(value, other, out); }));
  }

  context.Step("IServerModule::CreateDocument, CreateDocumentEx, DestroyDocument");
  ExpectStatus(Call("DestroyDocument", [&] { return module->DestroyDocument(nullptr); }), qvabi::S_OK,
               "DestroyDocument(nil)");
  for (int flag = 0; flag < 3; ++flag) {
    const std::string call = flag == 0 ? "CreateDocument" : "CreateDocumentEx";
    auto create = [&](qvabi::IServerDocument** out) {
      return flag == 0 ? module->CreateDocument(0, 0, out)
                       : module->CreateDocumentEx(0, 0, flag == 1 ? 1 : 0, out);
    };
    NilOutFails<qvabi::IServerDocument>(call, create);
    qvabi::IServerDocument* document = Stale<qvabi::IServerDocument>();
    const qvabi::HRESULT status = Call(call, [&] { return create(&document); });
    Expect(status == qvabi::S_OK || status == qvabi::E_UNEXPECTED,
           call + " answered neither S_OK nor E_UNEXPECTED");
    Expect(status == qvabi::S_OK ? document != Stale<qvabi::IServerDocument>() : document == nullptr,
           call + " left a stale document");
    if (status == qvabi::S_OK && document) {
      ExpectStatus(Call("DestroyDocument", [&] { return module->DestroyDocument(document); }), qvabi::S_OK,
                   "DestroyDocument");
      document->Release();
    }
  }
}

void OptionsPageSlots(CheckContext& context) {
  context.LoadEditor();
  qvabi::IServerModule* module = context.LoadPlugin();
  qvabi::IOptionsPageProvider* provider = nullptr;
  ExpectStatus(module->QueryInterface(qvabi::IOptionsPageProvider::IID, reinterpret_cast<void**>(&provider)),
               qvabi::S_OK, "QueryInterface(IOptionsPageProvider)");
  context.Step("IOptionsPageProvider::CreateOptionsPage");
  for (const platform::BStr& name : EdgeNames()) {
    NilOutFails<qvabi::IUnknown>("CreateOptionsPage",
                                 [&](auto** out) { return provider->CreateOptionsPage(name.get(), out); });
    Drop(Answer<qvabi::IUnknown>("CreateOptionsPage", qvabi::S_OK,
                                 [&](auto** out) { return provider->CreateOptionsPage(name.get(), out); }));
  }
  context.Step("IOptionsPageProvider::OptionsNotifyA and OptionsNotifyB");
  ExpectStatus(Call("OptionsNotifyA", [&] { return provider->OptionsNotifyA(); }), qvabi::S_OK,
               "OptionsNotifyA");
  ExpectStatus(Call("OptionsNotifyB", [&] { return provider->OptionsNotifyB(); }), qvabi::S_OK,
               "OptionsNotifyB");
  provider->Release();
}

void CommandLauncherSlots(CheckContext& context) {
  context.LoadEditor();
  qvabi::IServerModule* module = context.LoadPlugin();
  qvabi::ICommandLauncher* launcher = context.Launcher(module);
  Expect(launcher->AddRef() == 0 && launcher->Release() == 0, "the command launcher is reference counted");
  const std::string longParameters = Long(10000);
  const char* names[] = {nullptr, "", "NoSuchCommand", "GenerateCrossSection", "generatecrosssection"};
  const char* parameters[] = {nullptr, "", "|||==|=", longParameters.c_str()};
  context.Step("ICommandLauncher::GetCommandState");
  for (const char* name : names)
    for (const char* params : parameters) {
      qvabi::BOOL32 enabled = 7;
      int32_t state2 = 7, state3 = 7;
      qvabi::ByteBool state4 = 7, state5 = 7;
      ExpectStatus(Call("GetCommandState",
                        [&] {
                          return launcher->GetCommandState(name, params, nullptr, &enabled, &state2, &state3,
                                                           &state4, &state5);
                        }),
                   qvabi::S_OK, std::string("GetCommandState(") + (name ? name : "nil") + ")");
      Expect(enabled == qvabi::kTrue32 || enabled == qvabi::kFalse32,
             "GetCommandState answered a Boolean that is neither -1 nor 0");
      Expect(state4 <= 1 && state5 <= 1, "GetCommandState answered a byte Boolean that is neither 1 nor 0");
      const bool unknown = !name || std::string_view(name) == "" || std::string_view(name) == "NoSuchCommand";
      if (unknown)
        Expect(enabled == qvabi::kTrue32 && state2 == 0 && state3 == -1 && state4 == 0 && state5 == 0,
               "GetCommandState of an unknown command did not answer the defaults");
    }
  for (int nil = 0; nil < 5; ++nil) {
    qvabi::BOOL32 enabled = 0;
    int32_t state2 = 0, state3 = 0;
    qvabi::ByteBool state4 = 0, state5 = 0;
    ExpectStatus(Call("GetCommandState",
                      [&] {
                        return launcher->GetCommandState(
                            "GenerateCrossSection", "", nullptr, nil == 0 ? nullptr : &enabled,
                            nil == 1 ? nullptr : &state2, nil == 2 ? nullptr : &state3,
                            nil == 3 ? nullptr : &state4, nil == 4 ? nullptr : &state5);
                      }),
                 qvabi::E_UNEXPECTED, "GetCommandState with nil out " + std::to_string(nil + 1));
  }
  context.Step("ICommandLauncher::LaunchCommand without a view");
  for (const char* name : names)
    for (const char* params : parameters)
      ExpectStatus(
          Call("LaunchCommand", [&] { return launcher->LaunchCommand(name, params, INT32_MIN, nullptr); }),
          qvabi::S_OK, std::string("LaunchCommand(") + (name ? name : "nil") + ") without a view");
}

void ProcessControlSlots(CheckContext& context) {
  context.LoadEditor();
  qvabi::IServerModule* module = context.LoadPlugin();
  qvabi::IProcessControl* control = nullptr;
  ExpectStatus(module->GetProcessControl(&control), qvabi::S_OK, "GetProcessControl");
  Expect(control->AddRef() == 0 && control->Release() == 0, "the process control is reference counted");
  int32_t depth = 0;
  auto depthNow = [&] {
    ExpectStatus(Call("GetProcessDepth", [&] { return control->GetProcessDepth(&depth); }), qvabi::S_OK,
                 "GetProcessDepth");
    return depth;
  };
  context.Step("IProcessControl");
  ExpectStatus(Call("GetProcessDepth", [&] { return control->GetProcessDepth(nullptr); }),
               qvabi::E_UNEXPECTED, "GetProcessDepth with a nil out");
  ExpectStatus(control->SetProcessDepth(0), qvabi::S_OK, "SetProcessDepth(0)");
  ExpectStatus(Call("EnterProcess", [&] { return control->EnterProcess(-1, INT32_MAX); }), qvabi::S_OK,
               "EnterProcess");
  ExpectStatus(Call("EnterProcess", [&] { return control->EnterProcess(0, 0); }), qvabi::S_OK,
               "EnterProcess");
  ExpectStatus(Call("LeaveProcess", [&] { return control->LeaveProcess(INT32_MIN, 1); }), qvabi::S_OK,
               "LeaveProcess");
  Expect(depthNow() == 1,
         "two EnterProcess and one LeaveProcess from 0 left the depth at " + std::to_string(depth));
  ExpectStatus(control->SetProcessDepth(INT32_MAX), qvabi::S_OK, "SetProcessDepth(INT32_MAX)");
  ExpectStatus(Call("EnterProcess", [&] { return control->EnterProcess(0, 0); }), qvabi::E_UNEXPECTED,
               "EnterProcess at the top");
  Expect(depthNow() == INT32_MAX, "a refused EnterProcess changed the depth");
  ExpectStatus(control->SetProcessDepth(INT32_MIN), qvabi::S_OK, "SetProcessDepth(INT32_MIN)");
  ExpectStatus(Call("LeaveProcess", [&] { return control->LeaveProcess(0, 0); }), qvabi::E_UNEXPECTED,
               "LeaveProcess at the bottom");
  Expect(depthNow() == INT32_MIN, "a refused LeaveProcess changed the depth");
  ExpectStatus(control->SetProcessDepth(0), qvabi::S_OK, "SetProcessDepth(0)");
}

// madTraceProcess, when the module exports it: the full length is answered
// whatever the buffer, and the text is cut to fit and terminated.
void TraceExport(CheckContext& context) {
  context.LoadEditor();
  context.LoadPlugin();
  const std::string file = context.settings.plugin.substr(context.settings.plugin.find_last_of('/') + 1);
  auto* trace = reinterpret_cast<qvabi::MadTraceProcess_t*>(
      platform::FindFunction(platform::FindLoadedModule(file), "madTraceProcess"));
  if (!trace) return;
  context.Step("madTraceProcess");
  // The report names its caller, so its length depends on where it is called
  // from: every call whose answers are compared goes through this one site.
  const auto traced = [&](const char* message, char* buffer, int32_t size) {
    return Call("madTraceProcess", [&] { return trace(message, buffer, size); });
  };
  const std::string longMessage = Long(10000);
  char buffer[8];
  std::fill(std::begin(buffer), std::end(buffer), 'x');
  struct Variant {
    const char* message;
    char* buffer;
    int32_t size;
  };
  const Variant variants[] = {{"message", nullptr, 0},
                              {"message", buffer, -1},
                              {nullptr, nullptr, 0},
                              {longMessage.c_str(), buffer, sizeof buffer}};
  int32_t answers[std::size(variants)] = {};
  for (std::size_t i = 0; i < std::size(variants); ++i)
    answers[i] = traced(variants[i].message, variants[i].buffer, variants[i].size);
  const int32_t full = answers[0];
  Expect(full > 0, "madTraceProcess without a buffer answered " + std::to_string(full));
  Expect(answers[1] == full, "madTraceProcess with a negative size did not answer the full length");
  Expect(answers[2] >= 0, "madTraceProcess(nil message) failed");
  Expect(answers[3] > 10000, "madTraceProcess did not answer the full length of a long message");
  Expect(buffer[7] == '\0', "madTraceProcess did not terminate a cut text");
}

}  // namespace

void AddSlotChecks(std::vector<Check>& checks) {
  checks.push_back({"slots-server-module", 2, ServerModuleSlots});
  checks.push_back({"slots-options-page", 2, OptionsPageSlots});
  checks.push_back({"slots-command-launcher", 2, CommandLauncherSlots});
  checks.push_back({"slots-process-control", 2, ProcessControlSlots});
  checks.push_back({"exports", 2, TraceExport});
}

}  // namespace quorvex::validate
