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

#include "abi/PcbApi.h"
#include "abi/ServerModule.h"

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

class BrokenLauncher final : public abi::ICommandLauncher {
 public:
  explicit BrokenLauncher(abi::ICommandLauncher* inner) : inner_(inner) {}
  abi::HRESULT STDCALL QueryInterface(abi::REFIID iid, void** out) override {
    return inner_->QueryInterface(iid, out);
  }
  uint32_t STDCALL AddRef() override { return 0; }
  uint32_t STDCALL Release() override { return 0; }
  abi::HRESULT STDCALL LaunchCommand(const char* name, const char* parameters, int32_t ignored,
                                     abi::IServerView* view) override {
    const abi::HRESULT status = inner_->LaunchCommand(name, parameters, ignored, view);
    // A track made and forgotten: never added to a board, never destroyed.
    if (void* editor = dlopen("Brelix.so", RTLD_NOW | RTLD_NOLOAD)) {
      if (auto* create = reinterpret_cast<abi::pcbapi::CreateObject_t*>(dlsym(editor, "PcbApi_CreateObject")))
        create(static_cast<uint8_t>(abi::ObjectKind::Track));
      dlclose(editor);
    }
    return status;
  }
  abi::HRESULT STDCALL GetCommandState(const char* name, const char* parameters, abi::IServerView* view,
                                       abi::BOOL32* enabled, int32_t* state2, int32_t* state3,
                                       abi::ByteBool* state4, abi::ByteBool* state5) override {
    return inner_->GetCommandState(name, parameters, view, enabled, state2, state3, state4, state5);
  }

 private:
  abi::ICommandLauncher* inner_;
};

class BrokenModule final : public abi::IServerModule {
 public:
  explicit BrokenModule(abi::IServerModule* inner) : inner_(inner) {
    abi::ICommandLauncher* launcher = nullptr;
    inner_->GetCommandLauncher(&launcher);
    launcher_ = launcher ? new BrokenLauncher(launcher) : nullptr;
  }

  abi::HRESULT STDCALL QueryInterface(abi::REFIID iid, void** out) override {
    if (out && (iid == abi::IUnknown::IID || iid == abi::IServerModule::IID)) {
      *out = static_cast<abi::IServerModule*>(this);
      AddRef();
      return abi::S_OK;
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
  abi::HRESULT STDCALL Idle() override { return inner_->Idle(); }
  abi::HRESULT STDCALL HostNotify(int32_t value) override { return inner_->HostNotify(value); }
  abi::HRESULT STDCALL CreateDocument(intptr_t a, intptr_t b, abi::IServerDocument** document) override {
    return inner_->CreateDocument(a, b, document);
  }
  abi::HRESULT STDCALL DestroyDocument(abi::IServerDocument* document) override {
    return inner_->DestroyDocument(document);
  }
  abi::HRESULT STDCALL GetClient(abi::IClient** client) override { return inner_->GetClient(client); }
  abi::HRESULT STDCALL GetCommandLauncher(abi::ICommandLauncher** launcher) override {
    if (!launcher) return abi::E_UNEXPECTED;
    *launcher = launcher_;
    return launcher_ ? abi::S_OK : abi::E_UNEXPECTED;
  }
  abi::HRESULT STDCALL GetDocumentCount(int32_t* count) override { return inner_->GetDocumentCount(count); }
  abi::HRESULT STDCALL GetDocument(int32_t index, abi::IServerDocument** document) override {
    const abi::HRESULT status = inner_->GetDocument(index, document);
    if (abi::Failed(status)) throw std::out_of_range("no document " + std::to_string(index));
    return status;
  }
  abi::HRESULT STDCALL GetModuleInstance(int32_t* instance) override {
    return inner_->GetModuleInstance(instance);
  }
  abi::HRESULT STDCALL GetModuleName(abi::BSTR* name) override { return inner_->GetModuleName(name); }
  abi::HRESULT STDCALL GetProcessControl(abi::IProcessControl** control) override {
    return inner_->GetProcessControl(control);
  }
  abi::HRESULT STDCALL GetAttachedObjectCount(int32_t* count) override {
    return inner_->GetAttachedObjectCount(count);
  }
  abi::HRESULT STDCALL GetAttachedObject(int32_t index, abi::IUnknown** object) override {
    return inner_->GetAttachedObject(index, object);
  }
  abi::HRESULT STDCALL GetDocumentOptionsView(abi::BSTR name, abi::IUnknown** view) override {
    return inner_->GetDocumentOptionsView(name, view);
  }
  abi::HRESULT STDCALL QueryObject1(int32_t value, abi::IUnknown** object) override {
    return inner_->QueryObject1(value, object);
  }
  abi::HRESULT STDCALL QueryObject2(int32_t value1, int32_t value2, abi::IUnknown** object) override {
    return inner_->QueryObject2(value1, value2, object);
  }
  abi::HRESULT STDCALL DetachObject(abi::IUnknown* object) override { return inner_->DetachObject(object); }
  abi::HRESULT STDCALL AttachObject(abi::IUnknown* object) override { return inner_->AttachObject(object); }
  abi::HRESULT STDCALL CreateDocumentEx(intptr_t a, intptr_t b, abi::ByteBool flag,
                                        abi::IServerDocument** document) override {
    return inner_->CreateDocumentEx(a, b, flag, document);
  }

 private:
  abi::IServerModule* inner_;
  BrokenLauncher* launcher_;
  uint32_t references_ = 0;
};

}  // namespace

extern "C" ABI_EXPORT abi::HRESULT STDCALL ServerFactory(abi::IClient* client, abi::IServerModule** module) {
  if (!module) return abi::E_UNEXPECTED;
  *module = nullptr;
  auto* factory = realPlugin.handle
                      ? reinterpret_cast<abi::ServerFactory_t*>(dlsym(realPlugin.handle, "ServerFactory"))
                      : nullptr;
  if (!factory) return abi::E_UNEXPECTED;
  leakedBlock = new char[64 * 1024];
  std::memset(leakedBlock, 1, 64 * 1024);
  abi::IServerModule* inner = nullptr;
  const abi::HRESULT status = factory(client, &inner);
  if (abi::Failed(status) || !inner) return abi::E_UNEXPECTED;
  auto* broken = new BrokenModule(inner);
  broken->AddRef();
  *module = broken;
  return abi::S_OK;
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
static_assert(std::is_same_v<decltype(&ServerFactory), abi::ServerFactory_t*>);
static_assert(std::is_same_v<decltype(&madTraceProcess), abi::MadTraceProcess_t*>);
