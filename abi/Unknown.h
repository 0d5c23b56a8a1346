// IUnknown and the helpers that implement it.
//
// Interfaces are structs of pure virtual methods in slot order, starting with
// QueryInterface, AddRef and Release; no virtual destructor and no data, so
// slot N is the Nth vtable entry on every compiler we use. Released slot
// orders never change; unused slots stay declared as placeholders.
#pragma once

#include <atomic>
#include <tuple>
#include <type_traits>
#include <utility>

#include "abi/Types.h"

// An unused slot, declared so that the slots after it keep their numbers:
// SlotNN (n two digits), answering E_NOTIMPL. STDCALL like every other slot,
// so that a 32-bit x86 caller passing no arguments finds the stack as it
// left it.
#define ABI_PLACEHOLDER(n) \
  virtual HRESULT STDCALL Slot##n() { return E_NOTIMPL; }
// A run of unused slots: ABI_PLACEHOLDERS(20, 21, 22) is ABI_PLACEHOLDER(20)
// ABI_PLACEHOLDER(21) ABI_PLACEHOLDER(22), for up to 64 slots. Each step
// leaves the next one for a later rescan, which ABI_RESCAN provides.
#define ABI_PLACEHOLDERS(...) __VA_OPT__(ABI_RESCAN(ABI_PLACEHOLDERS_STEP(__VA_ARGS__)))
#define ABI_PLACEHOLDERS_STEP(n, ...) \
  ABI_PLACEHOLDER(n) __VA_OPT__(ABI_PLACEHOLDERS_AGAIN ABI_PARENTHESES(__VA_ARGS__))
#define ABI_PLACEHOLDERS_AGAIN() ABI_PLACEHOLDERS_STEP
#define ABI_PARENTHESES ()
#define ABI_RESCAN(...) ABI_RESCAN16(ABI_RESCAN16(ABI_RESCAN16(ABI_RESCAN16(__VA_ARGS__))))
#define ABI_RESCAN16(...) ABI_RESCAN4(ABI_RESCAN4(ABI_RESCAN4(ABI_RESCAN4(__VA_ARGS__))))
#define ABI_RESCAN4(...) ABI_RESCAN1(ABI_RESCAN1(ABI_RESCAN1(ABI_RESCAN1(__VA_ARGS__))))
#define ABI_RESCAN1(...) __VA_ARGS__

namespace qvabi {

// {00000000-0000-0000-C000-000000000046}
struct IUnknown {
  static constexpr GUID IID = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

  // Answers this object's interface `iid` with a new reference, or nil and
  // E_NOINTERFACE. Who: every object. Owner: the caller releases *out.
  virtual HRESULT STDCALL QueryInterface(REFIID iid, void** out) = 0;
  // Take and drop a reference; the answers are informational only.
  virtual uint32_t STDCALL AddRef() = 0;
  virtual uint32_t STDCALL Release() = 0;
};

// Releases an interface pointer held by a scope. Never used on interfaces
// whose lifetime the reference count does not govern (command launcher,
// process control); those answer 0 from AddRef/Release anyway.
template <typename I>
class ComPtr {
 public:
  ComPtr() = default;
  explicit ComPtr(I* adopted) : p_(adopted) {}
  ComPtr(const ComPtr& other) : p_(other.p_) {
    if (p_) p_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~ComPtr() { reset(); }

  static ComPtr Share(I* p) {
    if (p) p->AddRef();
    return ComPtr(p);
  }

  void reset() {
    if (p_) {
      I* p = p_;
      p_ = nullptr;
      p->Release();
    }
  }
  I* get() const { return p_; }
  I* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For out parameters: releases what is held and hands out the slot.
  I** put() {
    reset();
    return &p_;
  }
  void** putVoid() { return reinterpret_cast<void**>(put()); }
  I* detach() {
    I* p = p_;
    p_ = nullptr;
    return p;
  }

 private:
  I* p_ = nullptr;
};

template <typename I>
ComPtr<I> QueryAs(IUnknown* unknown) {
  ComPtr<I> result;
  if (unknown) unknown->QueryInterface(I::IID, result.putVoid());
  return result;
}

// Answers `iid` from the interfaces an object implements: IUnknown through
// the first of them, or the first interface whose IID matches. Nil when none.
template <typename... Interfaces, typename Object>
void* FindInterface(Object* object, REFIID iid) {
  using First = std::tuple_element_t<0, std::tuple<Interfaces...>>;
  if (iid == IUnknown::IID) return static_cast<IUnknown*>(static_cast<First*>(object));
  void* found = nullptr;
  (void)((iid == Interfaces::IID ? (found = static_cast<Interfaces*>(object), true) : false) || ...);
  return found;
}

// Generates QueryInterface, AddRef and Release for a reference-counted object
// implementing the listed interfaces (each derived from IUnknown). The object
// deletes itself when the count reaches zero; it starts at zero, so whoever
// creates it takes the first reference.
template <typename... Interfaces>
class Implements : public Interfaces... {
 public:
  HRESULT STDCALL QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = FindInterface<Interfaces...>(this, iid);
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  uint32_t STDCALL AddRef() override { return ++refCount_; }
  uint32_t STDCALL Release() override {
    const uint32_t left = --refCount_;
    if (left == 0) delete this;
    return left;
  }
  uint32_t refCount() const { return refCount_; }

 protected:
  Implements() = default;
  virtual ~Implements() = default;

 private:
  std::atomic<uint32_t> refCount_{0};
};

// As Implements, but AddRef and Release do nothing and answer 0: the owner
// frees the object, and an interface pointer handed out is valid only while
// the owner keeps it.
template <typename... Interfaces>
class ImplementsNoRef : public Interfaces... {
 public:
  HRESULT STDCALL QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = FindInterface<Interfaces...>(this, iid);
    return *out ? S_OK : E_NOINTERFACE;
  }
  uint32_t STDCALL AddRef() override { return 0; }
  uint32_t STDCALL Release() override { return 0; }
  virtual ~ImplementsNoRef() = default;
};

}  // namespace qvabi
