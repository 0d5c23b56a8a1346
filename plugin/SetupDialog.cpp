#include "plugin/SetupDialog.h"

#include "abi/IClient.h"
#include "platform/WideString.h"
#include "plugin/RTL/Exceptions.h"
#include "plugin/RTL/HostClient.h"

namespace strativue {

extern const std::string_view kSetupDialogForm;

namespace {

constexpr char16_t kSection[] = u"Brelix";
constexpr char16_t kGroup[] = u"LayerStackupLegend";

struct FlagBox {
  const char16_t* key;
  const char* box;
};

// The options store's keys and their boxes, in the order they are loaded and
// saved (which is not the record's order: Gerbers comes before Type).
constexpr FlagBox kStoreOrder[] = {{u"CopperHeight", "chCopperThickness"},
                                   {u"Gerbers", "chGerberExtension"},
                                   {u"Type", "chType"},
                                   {u"DielHeight", "chHeight"},
                                   {u"Material", "chMaterial"},
                                   {u"Constant", "chConstant"},
                                   {u"ExtDielectrics", "chXtDielectrics"}};

qvabi::ComPtr<qvabi::IOptionsManager> OptionsManager() {
  qvabi::ComPtr<qvabi::IOptionsManager> manager;
  const qvabi::ComPtr<qvabi::IClient> client = GetHostClient();
  if (client) CheckHost(client->GetOptionsManager(manager.put()));
  return manager;
}

}  // namespace

const toolkit::ClassInfo& TLegendSetupDialog::StaticClass() {
  static const toolkit::ClassInfo info("TLegendSetupDialog", &TServerDialog::StaticClass(), {});
  return info;
}

std::string_view TLegendSetupDialog::FormDescription() const { return kSetupDialogForm; }

toolkit::THandlerTable TLegendSetupDialog::EventHandlers() {
  return {{"FormShow", [this](toolkit::TComponent* sender) { FormShow(sender); }},
          {"ButtonOKClick", [this](toolkit::TComponent* sender) { ButtonOKClick(sender); }}};
}

toolkit::TCheckBox& TLegendSetupDialog::CheckBox(std::string_view name) const {
  auto* box = dynamic_cast<toolkit::TCheckBox*>(FindComponent(name));
  if (box == nullptr) throw Exception("The setup dialog has no check box " + std::string(name));
  return *box;
}

void TLegendSetupDialog::FormShow(toolkit::TComponent*) {
  const qvabi::ComPtr<qvabi::IOptionsManager> manager = OptionsManager();
  if (!manager) return;
  qvabi::ComPtr<qvabi::IOptionsReader> reader;
  const platform::BStr section(kSection);
  const platform::BStr location(u"");
  CheckHost(manager->GetOptionsReader(section.get(), location.get(), reader.put()));
  if (!reader) return;
  const platform::BStr group(kGroup);
  for (const FlagBox& flag : kStoreOrder) {
    const platform::BStr key(flag.key);
    qvabi::BOOL32 value = qvabi::kFalse32;
    CheckHost(reader->ReadBoolean(group.get(), key.get(), qvabi::kTrue32, &value));
    CheckBox(flag.box).SetChecked(value != 0);
  }
}

void TLegendSetupDialog::ButtonOKClick(toolkit::TComponent*) {
  const qvabi::ComPtr<qvabi::IOptionsManager> manager = OptionsManager();
  qvabi::ComPtr<qvabi::IOptionsWriter> writer;
  if (manager) {
    const platform::BStr section(kSection);
    CheckHost(manager->GetOptionsWriter(section.get(), writer.put()));
  }
  if (writer) {
    const platform::BStr group(kGroup);
    for (const FlagBox& flag : kStoreOrder) {
      const platform::BStr key(flag.key);
      CheckHost(writer->WriteBoolean(group.get(), key.get(),
                                     CheckBox(flag.box).Checked() ? qvabi::kTrue32 : qvabi::kFalse32));
    }
  }
  SetModalResult(toolkit::mrOk);
}

TLegendOptions TLegendSetupDialog::Choices() const {
  const auto bit = [this](const char* box) { return qvabi::ToByteBool(CheckBox(box).Checked()); };
  TLegendOptions options;
  options.CopperHeight = bit("chCopperThickness");
  options.Type = bit("chType");
  options.Gerbers = bit("chGerberExtension");
  options.DielHeight = bit("chHeight");
  options.Material = bit("chMaterial");
  options.Constant = bit("chConstant");
  options.ExtDielectrics = bit("chXtDielectrics");
  return options;
}

bool ShowSetupDialog(TLegendOptions& options) {
  const std::unique_ptr<TLegendSetupDialog> dialog = TServerDialog::CreateDialog<TLegendSetupDialog>();
  if (dialog->ShowModal() != toolkit::mrOk) return false;
  options = dialog->Choices();
  return true;
}

}  // namespace strativue
