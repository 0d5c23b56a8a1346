// Help navigation: the host's navigation service and the interfaces that
// documents, views and server modules may offer to be navigated, plus the
// workspace of the host library WorkspaceManager.so.
//
// Implemented by: the host (service, workspace) and by documents, views and
// server modules that support them. Called by: plug-ins, on the host's UI
// thread. Status convention of IClient: out strings are allocated by the
// callee and freed by the caller; out interfaces carry a new reference.
#pragma once

#include "abi/IServerDocument.h"
#include "abi/IServerModule.h"
#include "abi/Types.h"
#include "abi/Unknown.h"

namespace qvabi {

// {6A1F2E46-3C55-4B7A-9E21-5D0B7C9F1A01}: IClient slot 49.
struct INavigationService : IUnknown {
  static constexpr GUID IID = {0x6A1F2E46, 0x3C55, 0x4B7A, {0x9E, 0x21, 0x5D, 0x0B, 0x7C, 0x9F, 0x1A, 0x01}};

  ABI_PLACEHOLDERS(03, 04, 05, 06)
  // 7: splits an address into its protocol ("http", "file", ...; empty when
  // it has none) and two further parts whose meaning is the host's.
  virtual HRESULT STDCALL ParseAddress(BSTR address, BSTR* protocol, BSTR* part1, BSTR* part2) = 0;
  // 8: opens an address in the host. `flags` is 0. *address is in/out: the
  // callee may free it and store the address it actually opened. *document
  // is the document shown (may be nil); *success is -1 or 0.
  virtual HRESULT STDCALL OpenAddress(int32_t flags, BSTR* address, IServerDocument** document,
                                      BOOL32* success) = 0;
  ABI_PLACEHOLDER(09)
  // 10: the address a help target stands for (the target itself when the
  // host knows no better).
  virtual HRESULT STDCALL ResolveAddress(BSTR target, BSTR* address) = 0;
};

// {82D46D14-F808-45CC-AB41-B860278A1AAE}: a document or server module that
// can show an address itself (a browser document, the task server).
struct INavigableDocument : IUnknown {
  static constexpr GUID IID = {0x82D46D14, 0xF808, 0x45CC, {0xAB, 0x41, 0xB8, 0x60, 0x27, 0x8A, 0x1A, 0xAE}};

  // 3: shows `address`; *success is -1 or 0.
  virtual HRESULT STDCALL Navigate(BSTR address, BOOL32* success) = 0;
};

// {E9822C7C-165E-4346-BA0A-E51D92080C77}: a document that has an address of
// its own.
struct IAddressableDocument : IUnknown {
  static constexpr GUID IID = {0xE9822C7C, 0x165E, 0x4346, {0xBA, 0x0A, 0xE5, 0x1D, 0x92, 0x08, 0x0C, 0x77}};

  // 3: the address the document shows.
  virtual HRESULT STDCALL GetAddress(BSTR* address) = 0;
  ABI_PLACEHOLDER(04)
  // 5: whether `address` leads to this document (*matches 1 or 0).
  virtual HRESULT STDCALL MatchesAddress(BSTR address, ByteBool* matches) = 0;
};

// {B3D04C3E-CDA5-4C91-AEFA-965D08F47B2F}: a view that can be brought to the
// user's attention.
struct IActivatableView : IUnknown {
  static constexpr GUID IID = {0xB3D04C3E, 0xCDA5, 0x4C91, {0xAE, 0xFA, 0x96, 0x5D, 0x08, 0xF4, 0x7B, 0x2F}};

  ABI_PLACEHOLDERS(03, 04, 05, 06, 07, 08, 09, 10, 11, 12, 13, 14)
  // 15: activates the view.
  virtual HRESULT STDCALL Activate() = 0;
};

// {6A1F2E47-3C55-4B7A-9E21-5D0B7C9F1A01}: the workspace of the host library
// WorkspaceManager.so, reached through its export GetWorkspace.
struct IWorkspace : IUnknown {
  static constexpr GUID IID = {0x6A1F2E47, 0x3C55, 0x4B7A, {0x9E, 0x21, 0x5D, 0x0B, 0x7C, 0x9F, 0x1A, 0x01}};

  ABI_PLACEHOLDERS(03, 04, 05, 06, 07, 08, 09, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25,
                   26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48,
                   49, 50, 51, 52, 53)

  // 54: the target text of a host server known by name ("PickATask"); empty
  // when the workspace has none. IClient slot 14 turns it into the module.
  virtual HRESULT STDCALL GetServerTarget(BSTR serverName, BSTR* target) = 0;
};

// The export GetWorkspace of WorkspaceManager.so: the workspace with a new
// reference.
using GetWorkspace_t = HRESULT STDCALL(IWorkspace** workspace);

}  // namespace qvabi
