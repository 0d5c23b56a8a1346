// The server module: the object the host drives the plug-in through.
//
// TServerModule implements IServerModule and IOptionsPageProvider with one
// shared reference count; the object frees itself when the count drops to
// zero. Every host-facing method clears its out arguments first and turns any
// exception into E_UNEXPECTED (the message is already in the thread's error
// information). The virtual operations below are the extension points of a
// concrete module, in their fixed slot order.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "abi/Client.h"
#include "abi/Documents.h"
#include "abi/ServerModule.h"
#include "abi/Unknown.h"
#include "plugin/RTL/CommandLauncher.h"
#include "plugin/RTL/InterfaceList.h"

namespace strativue {

// Creates an options page with a new reference.
using TOptionsPageClass = std::function<abi::ComPtr<abi::IUnknown>()>;

struct TCaseInsensitiveLess {
  bool operator()(const std::string& a, const std::string& b) const;
};
using TOptionsPageRegistry = std::map<std::string, TOptionsPageClass, TCaseInsensitiveLess>;

class TServerModule {
 public:
  // Builds a module of class T (constructed with `args`), then runs its
  // creation steps: CreateCommandLauncher, RegisterCommands, AfterCreate and
  // the application-window step. Answers the module's IServerModule with the
  // one reference the caller owns. When a step raises, the partly built
  // module is destroyed and the error propagates.
  template <typename T, typename... Args>
  static abi::ComPtr<abi::IServerModule> Create(Args&&... args) {
    T* module = new T(std::forward<Args>(args)...);
    module->AddRef();
    try {
      module->Initialize();
    } catch (...) {
      module->Release();
      throw;
    }
    return abi::ComPtr<abi::IServerModule>(module->AsServerModule());
  }

  TServerModule(const TServerModule&) = delete;
  TServerModule& operator=(const TServerModule&) = delete;

  abi::IServerModule* AsServerModule() { return &FServerModuleFacet; }
  abi::IOptionsPageProvider* AsOptionsPageProvider() { return &FOptionsPageFacet; }

  // The one reference count shared by both interfaces.
  abi::HRESULT QueryInterface(abi::REFIID iid, void** out);
  uint32_t AddRef();
  uint32_t Release();

  // Virtual operations in slot order.
  /* 0 */ virtual void Idle();
  /* 1 */ virtual void CreateDocument(intptr_t A, intptr_t B, abi::ComPtr<abi::IServerDocument>& D);
  /* 2 */ virtual void CreateDocumentEx(intptr_t A, intptr_t B, bool Flag,
                                        abi::ComPtr<abi::IServerDocument>& D);
  /* 3 */ virtual void DestroyDocument(abi::IServerDocument* D);
  /* 4 */ virtual void GetCommandLauncher(abi::ICommandLauncher*& L);
  /* 5 */ virtual void QueryObject1(int32_t X, abi::ComPtr<abi::IUnknown>& Y);
  /* 6 */ virtual void DetachObject(abi::IUnknown* X);
  /* 7 */ virtual void AttachObject(abi::IUnknown* X);
  /* 8 */ virtual void QueryObject2(int32_t X, int32_t Y, abi::ComPtr<abi::IUnknown>& Z);
  /* 9 */ virtual abi::ComPtr<abi::IUnknown> FindDocumentOptionsSource(const std::string& Name);
  /* 10 */ virtual void NewDocument(intptr_t A, intptr_t B, abi::ComPtr<abi::IServerDocument>& D) = 0;
  /* 11 */ virtual void NewDocumentEx(intptr_t A, intptr_t B, bool Flag,
                                      abi::ComPtr<abi::IServerDocument>& D);
  /* 12 */ virtual void HostNotify(int32_t X);
  /* 13 */ virtual void RegisterCommands();
  /* 14 */ virtual void CreateCommandLauncher();
  /* 15 */ virtual void CreateOptionsPage(const std::string& Name, abi::ComPtr<abi::IUnknown>& P);
  /* 16 */ virtual void OptionsNotifyA();
  /* 17 */ virtual void OptionsNotifyB();
  /* 18 */ virtual void AfterCreate();

  const std::string& ModuleName() const { return FModuleName; }
  TCommandLauncher* CommandLauncher() const { return FCommandLauncher.get(); }
  TProcessControl* ProcessControl() const { return FProcessControl.get(); }

 protected:
  // Stores the client (without a reference) in FClient and as the
  // process-wide host client.
  TServerModule(abi::IClient* Client, std::string ModuleName);
  virtual ~TServerModule();

  abi::IClient* FClient;
  TInterfaceList<abi::IServerDocument> FDocuments;
  std::string FModuleName;
  TInterfaceList<abi::IUnknown> FAttachedObjects;
  std::unique_ptr<TOptionsPageRegistry> FOptionsPages;
  std::unique_ptr<TCommandLauncher> FCommandLauncher;
  std::unique_ptr<TProcessControl> FProcessControl;

 private:
  void Initialize();

  class TServerModuleFacet final : public abi::IServerModule {
   public:
    explicit TServerModuleFacet(TServerModule& owner) : owner_(owner) {}
    abi::HRESULT STDCALL QueryInterface(abi::REFIID iid, void** out) override;
    uint32_t STDCALL AddRef() override;
    uint32_t STDCALL Release() override;
    abi::HRESULT STDCALL Idle() override;
    abi::HRESULT STDCALL HostNotify(int32_t value) override;
    abi::HRESULT STDCALL CreateDocument(intptr_t a, intptr_t b, abi::IServerDocument** document) override;
    abi::HRESULT STDCALL DestroyDocument(abi::IServerDocument* document) override;
    abi::HRESULT STDCALL GetClient(abi::IClient** client) override;
    abi::HRESULT STDCALL GetCommandLauncher(abi::ICommandLauncher** launcher) override;
    abi::HRESULT STDCALL GetDocumentCount(int32_t* count) override;
    abi::HRESULT STDCALL GetDocument(int32_t index, abi::IServerDocument** document) override;
    abi::HRESULT STDCALL GetModuleInstance(int32_t* instance) override;
    abi::HRESULT STDCALL GetModuleName(abi::BSTR* name) override;
    abi::HRESULT STDCALL GetProcessControl(abi::IProcessControl** control) override;
    abi::HRESULT STDCALL GetAttachedObjectCount(int32_t* count) override;
    abi::HRESULT STDCALL GetAttachedObject(int32_t index, abi::IUnknown** object) override;
    abi::HRESULT STDCALL GetDocumentOptionsView(abi::BSTR name, abi::IUnknown** view) override;
    abi::HRESULT STDCALL QueryObject1(int32_t value, abi::IUnknown** object) override;
    abi::HRESULT STDCALL QueryObject2(int32_t value1, int32_t value2, abi::IUnknown** object) override;
    abi::HRESULT STDCALL DetachObject(abi::IUnknown* object) override;
    abi::HRESULT STDCALL AttachObject(abi::IUnknown* object) override;
    abi::HRESULT STDCALL CreateDocumentEx(intptr_t a, intptr_t b, abi::ByteBool flag,
                                          abi::IServerDocument** document) override;

   private:
    TServerModule& owner_;
  };

  class TOptionsPageFacet final : public abi::IOptionsPageProvider {
   public:
    explicit TOptionsPageFacet(TServerModule& owner) : owner_(owner) {}
    abi::HRESULT STDCALL QueryInterface(abi::REFIID iid, void** out) override;
    uint32_t STDCALL AddRef() override;
    uint32_t STDCALL Release() override;
    abi::HRESULT STDCALL CreateOptionsPage(abi::BSTR name, abi::IUnknown** page) override;
    abi::HRESULT STDCALL OptionsNotifyA() override;
    abi::HRESULT STDCALL OptionsNotifyB() override;

   private:
    TServerModule& owner_;
  };

  TServerModuleFacet FServerModuleFacet{*this};
  TOptionsPageFacet FOptionsPageFacet{*this};
  std::atomic<uint32_t> FRefCount{0};
};

}  // namespace strativue
