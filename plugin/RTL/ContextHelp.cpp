#include "plugin/RTL/ContextHelp.h"

#include "platform/HelpViewer.h"
#include "platform/Time.h"
#include "platform/WideString.h"
#include "plugin/RTL/ClientApi.h"
#include "plugin/RTL/Exceptions.h"
#include "plugin/RTL/HelpNavigation.h"
#include "plugin/RTL/HostClient.h"
#include "plugin/RTL/ModuleFile.h"
#include "plugin/RTL/PreferencePaths.h"
#include "plugin/RTL/ServerDialog.h"
#include "toolkit/Application.h"

namespace strativue {
namespace {

constexpr const char* kDynamicHelpProcess = "HelpAdvisor:ShowDynamicHelp";
constexpr const char* kCustomizeResourcesProcess = "Client:CustomizeResources";
constexpr const char* kShowKnowledgeCenter = "ObjectKind=Panel|Action=Show|Id=KnowledgeCenter";
// Time the popup needs to come up before the panels may show again.
constexpr uint32_t kPopupSettleMilliseconds = 200;

bool HasFolder(const std::string& path) { return path.find_first_of("\\/:") != std::string::npos; }

// The parameter text goes over with its terminating zero counted.
void RunHostProcessWith(const char* process, const std::string& parameters) {
  RunHostProcess(process, parameters.c_str(), static_cast<int32_t>(parameters.size() + 1), 0);
}

std::string MapHelpRedirect(const std::string& redirect) {
  const auto client = GetHostClient();
  if (!client) return {};
  platform::BStr module;
  CheckHost(
      client->GetModuleForRedirect(platform::BStr(platform::Utf8ToUtf16(redirect)).get(), module.put()));
  return module.utf8();
}

}  // namespace

std::string DialogHelpFile() { return ResolveHelpFile(BaseNameOf(ThisModuleFileName()) + ".chm"); }

std::string ControlPopupHelpFile(const std::string& dialogHelpFile) {
  return ChangeFileExt(dialogHelpFile, "") + "wth.hlp";
}

int32_t LookupHostHelpTopic(THelpTopicTables& tables, std::string& helpFile, const std::string& key,
                            const std::string& prefix, std::string& topic) {
  return LookupHelpTopic(
      tables, helpFile, key, prefix, topic, [](const std::string& name) { return ResolveHelpFile(name); },
      MapHelpRedirect);
}

std::string HelpTopicAddress(const std::string& helpFile, const std::string& topic,
                             std::size_t maxFileLength) {
  std::string file = ChangeFileExt(helpFile, ".chm");
  if (!HasFolder(file)) file = ResolveHelpFile(file);
  return file.substr(0, maxFileLength) + "::" + HelpPageOf(topic);
}

void OpenHelpTopic(const std::string& helpFile, const std::string& topic, bool dynamic) {
  if (dynamic) {
    RunHostProcessWith(kDynamicHelpProcess, "Address=" + HelpTopicAddress(helpFile, topic));
  } else if (ClientAPI::GetIntegratedHelpSystem() != 0) {
    NavigateHelpTarget(platform::Utf8ToUtf16(HelpTopicAddress(helpFile, topic)));
  } else {
    constexpr std::size_t kMaxHelpFileLength = 255;
    RunHostProcessWith(kCustomizeResourcesProcess, kShowKnowledgeCenter);
    RunHostProcessWith(kDynamicHelpProcess,
                       "ForceUpdate=True|Address=" + HelpTopicAddress(helpFile, topic, kMaxHelpFileLength));
  }
}

void ShowHelpPopup(const std::string& helpFile, uint32_t context, platform::Point at, platform::HWND owner) {
  const qvabi::BOOL32 hidePanels = ClientAPI::GetPrefHideFloatingPanels();
  ClientAPI::SetPrefHideFloatingPanels(qvabi::kFalse32);
  try {
    platform::HelpSetPopupPosition(at);
    if (!platform::HelpShowContextPopup(owner, helpFile, context))
      throw Exception("The popup help of " + helpFile + " cannot be shown");
    platform::Sleep(kPopupSettleMilliseconds);
    toolkit::Application().ProcessWindowMessages();
  } catch (...) {
    ClientAPI::SetPrefHideFloatingPanels(hidePanels);
    throw;
  }
  ClientAPI::SetPrefHideFloatingPanels(hidePanels);
}

void ShowDynamicHelpForHint(toolkit::TControl& control) {
  toolkit::TControl* target = &control;
  if (dynamic_cast<toolkit::TWinControl*>(target) == nullptr && target->Parent() != nullptr)
    target = target->Parent();
  toolkit::TForm* topLevel = nullptr;
  for (toolkit::TControl* at = target; at != nullptr; at = at->Parent())
    if (auto* form = dynamic_cast<toolkit::TForm*>(at)) topLevel = form;
  auto* form = dynamic_cast<TFormWithHelp*>(topLevel);
  if (form == nullptr) return;
  std::string topic;
  std::string helpFile;
  if (form->FindHelpTopic(target, topic, helpFile) != 0) OpenHelpTopic(helpFile, topic, true);
}

}  // namespace strativue
