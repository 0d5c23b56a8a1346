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

#include "abi/IClient.h"
#include "abi/IServerDocument.h"
#include "abi/IServerModule.h"
#include "abi/Unknown.h"
#include "plugin/RTL/CommandLauncher.h"
#include "plugin/RTL/InterfaceList.h"

namespace strativue {

// Creates an options page with a new reference.
using TOptionsPageClass = std::function<qvabi::ComPtr<qvabi::IUnknown>()>;

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
  static qvabi::ComPtr<qvabi::IServerModule> Create(Args&&... args) {
    T* module = new T(std::forward<Args>(args)...);
    module->AddRef();
    try {
      module->Initialize();
    } catch (...) {
      module->Release();
      throw;
    }
    return qvabi::ComPtr<qvabi::IServerModule>(module->AsServerModule());
  }

  TServerModule(const TServerModule&) = delete;
  TServerModule& operator=(const TServerModule&) = delete;

  qvabi::IServerModule* AsServerModule() { return &FServerModuleFacet; }
  qvabi::IOptionsPageProvider* AsOptionsPageProvider() { return &FOptionsPageFacet; }

  // The one reference count shared by both interfaces.
  qvabi::HRESULT QueryInterface(qvabi::REFIID iid, void** out);
  uint32_t AddRef();
  uint32_t Release();

  // Virtual operations in slot order.
  /* 0 */ virtual void Idle();
  /* 1 */ virtual void CreateDocument(intptr_t A, intptr_t B, qvabi::ComPtr<qvabi::IServerDocument>& D);
  /* 2 */ virtual void CreateDocumentEx(intptr_t A, intptr_t B, bool Flag,
                                        qvabi::ComPtr<qvabi::IServerDocument>& D);
  /* 3 */ virtual void DestroyDocument(qvabi::IServerDocument* D);
  /* 4 */ virtual void GetCommandLauncher(qvabi::ICommandLauncher*& L);
  /* 5 */ virtual void QueryObject1(int32_t X, qvabi::ComPtr<qvabi::IUnknown>& Y);
  /* 6 */ virtual void DetachObject(qvabi::IUnknown* X);
  /* 7 */ virtual void AttachObject(qvabi::IUnknown* X);
  /* 8 */ virtual void QueryObject2(int32_t X, int32_t Y, qvabi::ComPtr<qvabi::IUnknown>& Z);
  /* 9 */ virtual qvabi::ComPtr<qvabi::IUnknown> FindDocumentOptionsSource(const std::string& Name);
  /* 10 */ virtual void NewDocument(intptr_t A, intptr_t B, qvabi::ComPtr<qvabi::IServerDocument>& D) = 0;
  /* 11 */ virtual void NewDocumentEx(intptr_t A, intptr_t B, bool Flag,
                                      qvabi::ComPtr<qvabi::IServerDocument>& D);
  /* 12 */ virtual void HostNotify(int32_t X);
  /* 13 */ virtual void RegisterCommands();
  /* 14 */ virtual void CreateCommandLauncher();
  /* 15 */ virtual void CreateOptionsPage(const std::string& Name, qvabi::ComPtr<qvabi::IUnknown>& P);
  /* 16 */ virtual void OptionsNotifyA();
  /* 17 */ virtual void OptionsNotifyB();
  /* 18 */ virtual void AfterCreate();

  const std::string& ModuleName() const { return FModuleName; }
  TCommandLauncher* CommandLauncher() const { return FCommandLauncher.get(); }
  TProcessControl* ProcessControl() const { return FProcessControl.get(); }

 protected:
  // Stores the client (without a reference) in FClient and as the
  // process-wide host client.
  TServerModule(qvabi::IClient* Client, std::string ModuleName);
  virtual ~TServerModule();

  qvabi::IClient* FClient;
  TInterfaceList<qvabi::IServerDocument> FDocuments;
  std::string FModuleName;
  TInterfaceList<qvabi::IUnknown> FAttachedObjects;
  std::unique_ptr<TOptionsPageRegistry> FOptionsPages;
  std::unique_ptr<TCommandLauncher> FCommandLauncher;
  std::unique_ptr<TProcessControl> FProcessControl;

 private:
  void Initialize();

  class TServerModuleFacet final : public qvabi::IServerModule {
   public:
    explicit TServerModuleFacet(TServerModule& owner) : owner_(owner) {}
    qvabi::HRESULT STDCALL QueryInterface(qvabi::REFIID iid, void** out) override;
    uint32_t STDCALL AddRef() override;
    uint32_t STDCALL Release() override;
    qvabi::HRESULT STDCALL Idle() override;
    qvabi::HRESULT STDCALL HostNotify(int32_t value) override;
    qvabi::HRESULT STDCALL CreateDocument(intptr_t a, intptr_t b, qvabi::IServerDocument** document) override;
    qvabi::HRESULT STDCALL DestroyDocument(qvabi::IServerDocument* document) override;
    qvabi::HRESULT STDCALL GetClient(qvabi::IClient** client) override;
    qvabi::HRESULT STDCALL GetCommandLauncher(qvabi::ICommandLauncher** launcher) override;
    qvabi::HRESULT STDCALL GetDocumentCount(int32_t* count) override;
    qvabi::HRESULT STDCALL GetDocument(int32_t index, qvabi::IServerDocument** document) override;
    qvabi::HRESULT STDCALL GetModuleInstance(int32_t* instance) override;
    qvabi::HRESULT STDCALL GetModuleName(qvabi::BSTR* name) override;
    qvabi::HRESULT STDCALL GetProcessControl(qvabi::IProcessControl** control) override;
    qvabi::HRESULT STDCALL GetAttachedObjectCount(int32_t* count) override;
    qvabi::HRESULT STDCALL GetAttachedObject(int32_t index, qvabi::IUnknown** object) override;
    qvabi::HRESULT STDCALL GetDocumentOptionsView(qvabi::BSTR name, qvabi::IUnknown** view) override;
    qvabi::HRESULT STDCALL QueryObject1(int32_t value, qvabi::IUnknown** object) override;
    qvabi::HRESULT STDCALL QueryObject2(int32_t value1, int32_t value2, qvabi::IUnknown** object) override;
    qvabi::HRESULT STDCALL DetachObject(qvabi::IUnknown* object) override;
    qvabi::HRESULT STDCALL AttachObject(qvabi::IUnknown* object) override;
    qvabi::HRESULT STDCALL CreateDocumentEx(intptr_t a, intptr_t b, qvabi::ByteBool flag,
                                            qvabi::IServerDocument** document) override;

   private:
    TServerModule& owner_;
  };

  class TOptionsPageFacet final : public qvabi::IOptionsPageProvider {
   public:
    explicit TOptionsPageFacet(TServerModule& owner) : owner_(owner) {}
    qvabi::HRESULT STDCALL QueryInterface(qvabi::REFIID iid, void** out) override;
    uint32_t STDCALL AddRef() override;
    uint32_t STDCALL Release() override;
    qvabi::HRESULT STDCALL CreateOptionsPage(qvabi::BSTR name, qvabi::IUnknown** page) override;
    qvabi::HRESULT STDCALL OptionsNotifyA() override;
    qvabi::HRESULT STDCALL OptionsNotifyB() override;

   private:
    TServerModule& owner_;
  };

  TServerModuleFacet FServerModuleFacet{*this};
  TOptionsPageFacet FOptionsPageFacet{*this};
  std::atomic<uint32_t> FRefCount{0};
};

}  // namespace strativue
