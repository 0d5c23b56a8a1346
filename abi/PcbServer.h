// The PCB editor's server interface and its per-board interface.
//
// Implemented by: the PCB editor (offered by its server module "PCB").
// Called by: plug-ins, on the host's UI thread. Failures answer E_UNEXPECTED.
#pragma once

#include "abi/Types.h"
#include "abi/Unknown.h"

namespace qvabi {

// {84201336-AE2C-4300-9318-C75F4FD5DE3D}
struct BoardAccessInterface : IUnknown {
  static constexpr GUID IID = {0x84201336, 0xAE2C, 0x4300, {0x93, 0x18, 0xC7, 0x5F, 0x4F, 0xD5, 0xDE, 0x3D}};

  // 3: *disallows is true (-1) when the board refuses commands now.
  virtual HRESULT STDCALL BoardDisallowsCommand(BOOL32* disallows) = 0;
};

// {DE2AC306-06EC-4363-A78F-E6E8BBEF03E2}
struct IPCB_ServerInterface : IUnknown {
  static constexpr GUID IID = {0xDE2AC306, 0x06EC, 0x4363, {0xA7, 0x8F, 0xE6, 0xE8, 0xBB, 0xEF, 0x03, 0xE2}};

  // 3: the interface `iid` of an open board. *found is true (-1) with a new
  // reference in *object, or false (0) with nil; S_OK either way.
  virtual HRESULT STDCALL QueryBoardInterface(PcbHandle board, REFIID iid, void** object, BOOL32* found) = 0;
  // 4, 5: bracket an interactive event handler's lifetime (the editor may
  // use them to group the handler's changes) [UI thread, not inside a run].
  // Paired: NotifyHandlerCreated once after the handler registered and
  // before its run, NotifyHandlerDestroyed once when it is finished, after
  // the run; a pair is never nested in another.
  virtual HRESULT STDCALL NotifyHandlerCreated() = 0;
  virtual HRESULT STDCALL NotifyHandlerDestroyed() = 0;
};

}  // namespace qvabi
