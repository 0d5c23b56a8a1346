// A deliberately broken plug-in, built only for the validator's tests: it
// wraps the real Strativue.so and adds three faults a validator must catch.
// Each load leaks a block of memory; GetDocument lets an exception escape
// for an index out of range; every launched command leaves a free editor
// object behind. Its madTraceProcess is sound: like the real one, its report
// names the caller, so the report's length depends on the calling site, and
// the validator must accept that.
#include <dlfcn.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "abi/IServerModule.h"
#include "abi/PcbApiFunctions.h"

namespace {

std::string OwnFolder() {
  Dl_info info{};
  dladdr(reinterpret_cast<const void*>(&OwnFolder), &info);
  const std::string path = info.dli_fname ? info.dli_fname : "";
  return path.substr(0, path.find_last_of('/') + 1);
}

// The real plug-in, loaded beside this module for as long as it is loaded.
struct RealPlugin {
  void* handle = dlopen((OwnFolder() + "Strativue.so").c_str(), RTLD_NOW | RTLD_LOCAL);
  ~RealPlugin() {
    if (handle) dlclose(handle);
  }
} realPlugin;

char* volatile leakedBlock = nullptr;

class BrokenLauncher final : public qvabi::ICommandLauncher {
 public:
  explicit BrokenLauncher(qvabi::ICommandLauncher* inner) : inner_(inner) {}
  qvabi::HRESULT STDCALL QueryInterface(qvabi::REFIID iid, void** out) override {
    return inner_->QueryInterface(iid, out);
  }
  uint32_t STDCALL AddRef() override { return 0; }
  uint32_t STDCALL Release() override { return 0; }
  qvabi::HRESULT STDCALL LaunchCommand(const char* name, const char* parameters, int32_t ignored,
                                       qvabi::IServerView* view) override {
    const qvabi::HRESULT status = inner_->LaunchCommand(name, parameters, ignored, view);
    // A track made and forgotten: never added to a board, never destroyed.
    if (void* editor = dlopen("Brelix.so", RTLD_NOW | RTLD_NOLOAD)) {
      if (auto* create =
              reinterpret_cast<qvabi::pcbapi::CreateObject_t*>(dlsym(editor, "PcbApi_CreateObject")))
        create(static_cast<uint8_t>(qvabi::ObjectKind::Track));
      dlclose(editor);
    }
    return status;
  }
  qvabi::HRESULT STDCALL GetCommandState(const char* name, const char* parameters, qvabi::IServerView* view,
                                         qvabi::BOOL32* enabled, int32_t* state2, int32_t* state3,
                                         qvabi::ByteBool* state4, qvabi::ByteBool* state5) override {
    return inner_->GetCommandState(name, parameters, view, enabled, state2, state3, state4, state5);
  }

 private:
  qvabi::ICommandLauncher* inner_;
};

class BrokenModule final : public qvabi::IServerModule {
 public:
  explicit BrokenModule(qvabi::IServerModule* inner) : inner_(inner) {
    qvabi::ICommandLauncher* launcher = nullptr;
    inner_->GetCommandLauncher(&launcher);
    launcher_ = launcher ? new BrokenLauncher(launcher) : nullptr;
  }

  qvabi::HRESULT STDCALL QueryInterface(qvabi::REFIID iid, void** out) override {
    if (out && (iid == qvabi::IUnknown::IID || iid == qvabi::IServerModule::IID)) {
      *out = static_cast<qvabi::IServerModule*>(this);
      AddRef();
      return qvabi::S_OK;
    }
    return inner_->QueryInterface(iid, out);
  }
  uint32_t STDCALL AddRef() override { return ++references_; }
  uint32_t STDCALL Release() override {
    const uint32_t left = --references_;
    if (left == 0) {
      inner_->Release();
      delete launcher_;
      delete this;
    }
    return left;
  }
  qvabi::HRESULT STDCALL Idle() override { return inner_->Idle(); }
  qvabi::HRESULT STDCALL HostNotify(int32_t value) override { return inner_->HostNotify(value); }
  qvabi::HRESULT STDCALL CreateDocument(intptr_t a, intptr_t b, qvabi::IServerDocument** document) override {
    return inner_->CreateDocument(a, b, document);
  }
  qvabi::HRESULT STDCALL DestroyDocument(qvabi::IServerDocument* document) override {
    return inner_->DestroyDocument(document);
  }
  qvabi::HRESULT STDCALL GetClient(qvabi::IClient** client) override { return inner_->GetClient(client); }
  qvabi::HRESULT STDCALL GetCommandLauncher(qvabi::ICommandLauncher** launcher) override {
    if (!launcher) return qvabi::E_UNEXPECTED;
    *launcher = launcher_;
    return launcher_ ? qvabi::S_OK : qvabi::E_UNEXPECTED;
  }
  qvabi::HRESULT STDCALL GetDocumentCount(int32_t* count) override { return inner_->GetDocumentCount(count); }
  qvabi::HRESULT STDCALL GetDocument(int32_t index, qvabi::IServerDocument** document) override {
    const qvabi::HRESULT status = inner_->GetDocument(index, document);
    if (qvabi::Failed(status)) throw std::out_of_range("no document " + std::to_string(index));
    return status;
  }
  qvabi::HRESULT STDCALL GetModuleInstance(int32_t* instance) override {
    return inner_->GetModuleInstance(instance);
  }
  qvabi::HRESULT STDCALL GetModuleName(qvabi::BSTR* name) override { return inner_->GetModuleName(name); }
  qvabi::HRESULT STDCALL GetProcessControl(qvabi::IProcessControl** control) override {
    return inner_->GetProcessControl(control);
  }
  qvabi::HRESULT STDCALL GetAttachedObjectCount(int32_t* count) override {
    return inner_->GetAttachedObjectCount(count);
  }
  qvabi::HRESULT STDCALL GetAttachedObject(int32_t index, qvabi::IUnknown** object) override {
    return inner_->GetAttachedObject(index, object);
  }
  qvabi::HRESULT STDCALL GetDocumentOptionsView(qvabi::BSTR name, qvabi::IUnknown** view) override {
    return inner_->GetDocumentOptionsView(name, view);
  }
  qvabi::HRESULT STDCALL QueryObject1(int32_t value, qvabi::IUnknown** object) override {
    return inner_->QueryObject1(value, object);
  }
  qvabi::HRESULT STDCALL QueryObject2(int32_t value1, int32_t value2, qvabi::IUnknown** object) override {
    return inner_->QueryObject2(value1, value2, object);
  }
  qvabi::HRESULT STDCALL DetachObject(qvabi::IUnknown* object) override {
    return inner_->DetachObject(object);
  }
  qvabi::HRESULT STDCALL AttachObject(qvabi::IUnknown* object) override {
    return inner_->AttachObject(object);
  }
  qvabi::HRESULT STDCALL CreateDocumentEx(intptr_t a, intptr_t b, qvabi::ByteBool flag,
                                          qvabi::IServerDocument** document) override {
    return inner_->CreateDocumentEx(a, b, flag, document);
  }

 private:
  qvabi::IServerModule* inner_;
  BrokenLauncher* launcher_;
  uint32_t references_ = 0;
};

}  // namespace

extern "C" ABI_EXPORT qvabi::HRESULT STDCALL ServerFactory(qvabi::IClient* client,
                                                           qvabi::IServerModule** module) {
  if (!module) return qvabi::E_UNEXPECTED;
  *module = nullptr;
  auto* factory = realPlugin.handle
                      ? reinterpret_cast<qvabi::ServerFactory_t*>(dlsym(realPlugin.handle, "ServerFactory"))
                      : nullptr;
  if (!factory) return qvabi::E_UNEXPECTED;
  leakedBlock = new char[64 * 1024];
  std::memset(leakedBlock, 1, 64 * 1024);
  qvabi::IServerModule* inner = nullptr;
  const qvabi::HRESULT status = factory(client, &inner);
  if (qvabi::Failed(status) || !inner) return qvabi::E_UNEXPECTED;
  auto* broken = new BrokenModule(inner);
  broken->AddRef();
  *module = broken;
  return qvabi::S_OK;
}

extern "C" ABI_EXPORT __attribute__((noinline)) int32_t STDCALL madTraceProcess(const char* message,
                                                                                char* buffer,
                                                                                int32_t bufferSize) {
  const auto caller = reinterpret_cast<uintptr_t>(__builtin_return_address(0));
  // One mark per byte of the caller's address within a 4 KiB page: two
  // calling sites a few bytes apart give reports of different lengths.
  const std::string text = std::string(message ? message : "(no message)") + "\nCalled from " +
                           std::string(caller % 4096, '.') + "\n";
  if (buffer && bufferSize > 0) {
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(bufferSize) - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
  }
  return static_cast<int32_t>(text.size());
}

// The host calls both exports through the binary interface's types.
static_assert(std::is_same_v<decltype(&ServerFactory), qvabi::ServerFactory_t*>);
static_assert(std::is_same_v<decltype(&madTraceProcess), qvabi::MadTraceProcess_t*>);
