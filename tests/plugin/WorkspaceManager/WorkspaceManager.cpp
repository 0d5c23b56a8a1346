// A stand-in for the host library WorkspaceManager.so, for tests that load
// it: its workspace names the server module "Tasks" as the target of the
// task server "PickATask".
#include <type_traits>

#include "abi/Navigation.h"
#include "platform/WideString.h"

namespace {

class Workspace final : public abi::Implements<abi::IWorkspace> {
 public:
  abi::HRESULT STDCALL GetServerTarget(abi::BSTR serverName, abi::BSTR* target) override {
    if (!target) return abi::E_UNEXPECTED;
    const bool taskServer =
        platform::BStr(std::u16string_view(serverName ? serverName : u"", platform::SysStringLen(serverName)))
            .utf8() == "PickATask";
    *target = taskServer ? platform::BStr::FromUtf8("Tasks").release() : nullptr;
    return abi::S_OK;
  }
};

}  // namespace

extern "C" ABI_EXPORT abi::HRESULT STDCALL GetWorkspace(abi::IWorkspace** workspace) {
  if (!workspace) return abi::E_UNEXPECTED;
  *workspace = new Workspace();
  (*workspace)->AddRef();
  return abi::S_OK;
}

// The plug-in calls it through the binary interface's type.
static_assert(std::is_same_v<decltype(&GetWorkspace), abi::GetWorkspace_t*>);
