// A stand-in for the host library WorkspaceManager.so, for tests that load
// it: its workspace names the server module "Tasks" as the target of the
// task server "PickATask".
#include <type_traits>

#include "abi/Navigation.h"
#include "platform/WideString.h"

namespace {

class Workspace final : public qvabi::Implements<qvabi::IWorkspace> {
 public:
  qvabi::HRESULT STDCALL GetServerTarget(qvabi::BSTR serverName, qvabi::BSTR* target) override {
    if (!target) return qvabi::E_UNEXPECTED;
    const bool taskServer =
        platform::BStr(std::u16string_view(serverName ? serverName : u"", platform::SysStringLen(serverName)))
            .utf8() == "PickATask";
    *target = taskServer ? platform::BStr::FromUtf8("Tasks").release() : nullptr;
    return qvabi::S_OK;
  }
};

}  // namespace

extern "C" ABI_EXPORT qvabi::HRESULT STDCALL GetWorkspace(qvabi::IWorkspace** workspace) {
  if (!workspace) return qvabi::E_UNEXPECTED;
  *workspace = new Workspace();
  (*workspace)->AddRef();
  return qvabi::S_OK;
}

// The plug-in calls it through the binary interface's type.
static_assert(std::is_same_v<decltype(&GetWorkspace), qvabi::GetWorkspace_t*>);
