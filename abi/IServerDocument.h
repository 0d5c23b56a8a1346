// The host's documents and their views, as far as plug-ins use them.
//
// Implemented by: the host. Called by: plug-ins, on the host's UI thread.
// Slots no module uses are placeholders that answer E_NOTIMPL, so that the
// later slots keep their numbers. Out strings are allocated by the callee and
// freed by the caller; out interfaces carry a new reference.
#pragma once

#include "abi/Types.h"
#include "abi/Unknown.h"

namespace qvabi {

struct IServerDocument;

// {6A1F2E40-3C55-4B7A-9E21-5D0B7C9F1A01}
struct IServerView : IUnknown {
  static constexpr GUID IID = {0x6A1F2E40, 0x3C55, 0x4B7A, {0x9E, 0x21, 0x5D, 0x0B, 0x7C, 0x9F, 0x1A, 0x01}};

  ABI_PLACEHOLDERS(03, 04, 05, 06, 07, 08, 09, 10, 11, 12, 13, 14)
  // 15: the view's name (used to address one of several views).
  virtual HRESULT STDCALL GetViewName(BSTR* name) = 0;
  // 16: the view's parameter text, pieces separated by "|".
  virtual HRESULT STDCALL GetParameters(BSTR* parameters) = 0;
  ABI_PLACEHOLDERS(17, 18, 19, 20)
  // 21: the document this view shows; nil for a view without one.
  virtual HRESULT STDCALL GetOwnerDocument(IServerDocument** document) = 0;
  ABI_PLACEHOLDER(22)
  // 23: redraws the view after a command has changed its document.
  virtual HRESULT STDCALL RefreshAfterCommand() = 0;
};

// {6A1F2E41-3C55-4B7A-9E21-5D0B7C9F1A01}
struct IServerDocument : IUnknown {
  static constexpr GUID IID = {0x6A1F2E41, 0x3C55, 0x4B7A, {0x9E, 0x21, 0x5D, 0x0B, 0x7C, 0x9F, 0x1A, 0x01}};

  ABI_PLACEHOLDERS(03, 04, 05, 06, 07, 08, 09, 10, 11)
  // 12: number of views of this document.
  virtual HRESULT STDCALL GetViewCount(int32_t* count) = 0;
  // 13: the document's full file name.
  virtual HRESULT STDCALL GetFileName(BSTR* fileName) = 0;
  ABI_PLACEHOLDER(14)
  // 15: the document kind, "PCB" for a PCB document (compare ignoring case).
  virtual HRESULT STDCALL GetKind(BSTR* kind) = 0;
  ABI_PLACEHOLDERS(16, 17, 18, 19, 20, 21)
  // 22: the view at `index` (0 to count - 1).
  virtual HRESULT STDCALL GetView(int32_t index, IServerView** view) = 0;
  ABI_PLACEHOLDERS(23, 24, 25, 26, 27, 28, 29)
  // 30: the document's own release step, run by the server that made it.
  virtual HRESULT STDCALL ReleaseDocument() = 0;
};

}  // namespace qvabi
