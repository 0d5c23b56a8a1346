// The setup dialog against the host's options store, worked by the simulated
// user: what it loads, what it saves and in which order, what it hands back.
#include <gtest/gtest.h>

#include <exception>
#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "host/HostStatus.h"
#include "host/OptionsStore.h"
#include "platform/IniFile.h"
#include "platform/Keys.h"
#include "plugin/SetupDialog.h"
#include "tests/TestMachine.h"
#include "toolkit/Automation.h"
#include "toolkit/FormSvg.h"

namespace strativue {
namespace {

namespace automation = toolkit::automation;
using dialogtest::DialogTest;

// The seven keys in the order the dialog reads and writes them.
const std::vector<std::string> kStoreKeys = {"CopperHeight", "Gerbers",  "Type",          "DielHeight",
                                             "Material",     "Constant", "ExtDielectrics"};

class SetupDialogTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    // Where files are the system's, a store that another test left behind
    // must not be seen; it is put back afterwards.
    machine_.IsolateFile(StoreFile());
  }
  std::string StoreFile() const { return quorvex::OptionsFilePath("Brelix"); }
  // The value text stored for a key ("" when absent).
  std::string Stored(const std::string& key) const {
    return platform::GetPrivateProfileString("LayerStackupLegend", key, "", StoreFile());
  }
  std::vector<std::string> StoredValues() const {
    std::vector<std::string> values;
    for (const std::string& key : kStoreKeys) values.push_back(Stored(key));
    return values;
  }
  void Store(const std::string& key, const std::string& value) {
    ASSERT_TRUE(platform::CreateDirectories(StoreFile().substr(0, StoreFile().rfind('\\'))));
    ASSERT_TRUE(platform::WritePrivateProfileString("LayerStackupLegend", key, value, StoreFile()));
  }
  // The check box states of the input form, by box name in store order.
  static std::vector<bool> Boxes(toolkit::TForm& form) {
    auto& dialog = dynamic_cast<TLegendSetupDialog&>(form);
    std::vector<bool> states;
    for (const char* box : {"chCopperThickness", "chGerberExtension", "chType", "chHeight", "chMaterial",
                            "chConstant", "chXtDielectrics"})
      states.push_back(dialog.CheckBox(box).Checked());
    return states;
  }
  // Leaves exactly the boxes named checked.
  static void CheckOnly(const std::vector<std::string>& names) {
    for (const char* box : {"chCopperThickness", "chGerberExtension", "chType", "chHeight", "chMaterial",
                            "chConstant", "chXtDielectrics"})
      automation::SetChecked(box, std::find(names.begin(), names.end(), box) != names.end());
  }

  TestMachine machine_;
};

// Record order and store order differ: Type is byte 1 of the record but the
// third key written.
TEST_F(SetupDialogTest, OnlyTypeCheckedGivesByteOneAndTheTypeKeyAlone) {
  std::vector<bool> opened;
  automation::Inspect([&](toolkit::TForm& form) { opened = Boxes(form); });
  CheckOnly({"chType"});
  automation::Click("ButtonOK");
  TLegendOptions options;
  ASSERT_TRUE(ShowSetupDialog(options));

  // An empty store opens with every box checked (the default is true).
  EXPECT_EQ(opened, std::vector<bool>(7, true));
  EXPECT_EQ(options, (TLegendOptions{0, 1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(StoredValues(), (std::vector<std::string>{"0", "0", "-1", "0", "0", "0", "0"}));
  EXPECT_TRUE(automation::Failures().empty());
}

// The accelerator letters of the captions: Alt+Y and Y reach "T&ype", Alt+P
// "Co&pper thickness", and a letter no caption carries changes nothing.
TEST_F(SetupDialogTest, AcceleratorKeysFocusAndToggleTheirCheckBoxes) {
  struct Seen {
    std::string focused;
    std::vector<bool> boxes;
  };
  std::vector<Seen> seen;
  const auto look = [&seen] {
    automation::Inspect([&seen](toolkit::TForm& form) {
      const toolkit::TWinControl* focused = form.ActiveControl();
      seen.push_back({focused != nullptr ? focused->Name() : "", Boxes(form)});
    });
  };
  for (const auto& [key, alt] :
       std::vector<std::pair<int, bool>>{{'Y', true}, {'Y', false}, {'P', true}, {'Q', true}}) {
    automation::PressKey(key, false, false, alt);
    look();
  }
  automation::Click("ButtonOK");
  TLegendOptions options;
  ASSERT_TRUE(ShowSetupDialog(options));

  // Store order: CopperHeight, Gerbers, Type, DielHeight, Material, Constant,
  // ExtDielectrics; an empty store opens with every box checked.
  const std::vector<bool> typeOff = {true, true, false, true, true, true, true};
  const std::vector<bool> copperOff = {false, true, true, true, true, true, true};
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0].focused, "chType");
  EXPECT_EQ(seen[0].boxes, typeOff);
  EXPECT_EQ(seen[1].focused, "chType");
  EXPECT_EQ(seen[1].boxes, std::vector<bool>(7, true));
  EXPECT_EQ(seen[2].focused, "chCopperThickness");
  EXPECT_EQ(seen[2].boxes, copperOff);
  EXPECT_EQ(seen[3].focused, "chCopperThickness");
  EXPECT_EQ(seen[3].boxes, copperOff);
  EXPECT_EQ(options, (TLegendOptions{0, 1, 1, 1, 1, 1, 1}));
  EXPECT_TRUE(automation::Failures().empty());
}

TEST_F(SetupDialogTest, StoredValuesAreShownAndOkRewritesEveryKeyAsMinusOneOrZero) {
  // 1 and 7 are true as well; a value that is no integer reads as the default.
  const std::vector<std::string> stored = {"1", "0", "7", "0", "-1", "0", "x"};
  for (std::size_t i = 0; i < kStoreKeys.size(); ++i) Store(kStoreKeys[i], stored[i]);
  std::vector<bool> opened;
  automation::Inspect([&](toolkit::TForm& form) { opened = Boxes(form); });
  automation::Click("ButtonOK");
  TLegendOptions options;
  ASSERT_TRUE(ShowSetupDialog(options));

  EXPECT_EQ(opened, (std::vector<bool>{true, false, true, false, true, false, true}));
  EXPECT_EQ(StoredValues(), (std::vector<std::string>{"-1", "0", "-1", "0", "-1", "0", "-1"}));
  // Back in record order: CopperHeight, Type, Gerbers, DielHeight, Material,
  // Constant, ExtDielectrics.
  EXPECT_EQ(options, (TLegendOptions{1, 1, 0, 0, 1, 0, 1}));
}

TEST_F(SetupDialogTest, CancelEscapeAndTheCloseButtonChangeNeitherRecordNorStore) {
  for (const std::string& key : kStoreKeys) Store(key, key == "Material" ? "-1" : "0");
  const std::string before = dialogtest::ReadMachineFile(StoreFile());
  const std::vector<std::function<void()>> ways = {
      [] { automation::Click("ButtonCancel"); },
      [] { automation::PressKey(platform::VK_ESCAPE); },
      [] { automation::PressCloseButton(); },
  };
  for (std::size_t way = 0; way < ways.size(); ++way) {
    SCOPED_TRACE(way);
    CheckOnly({"chType", "chConstant"});
    ways[way]();
    const TLegendOptions untouched{0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55};
    TLegendOptions options = untouched;
    EXPECT_FALSE(ShowSetupDialog(options));
    EXPECT_EQ(options, untouched);
    EXPECT_EQ(dialogtest::ReadMachineFile(StoreFile()), before);
  }
}

// The third write fails: the choice was not given whole, so the store keeps
// every old value (none of the two written before it lands), the dialog
// stays open and Cancel then ends it.
TEST_F(SetupDialogTest, AFailingWriteKeepsTheDialogOpenAndStoresNoneOfTheChoice) {
  for (const std::string& key : kStoreKeys) Store(key, "0");
  quorvex::FailOptionsFrom(quorvex::OptionsAccess::Write, 3, "The options store is full");
  std::vector<std::string> errors;
  dialogtest::ErrorRecorder recorder(errors);
  bool openAfterOk = false;
  CheckOnly({"chCopperThickness", "chGerberExtension", "chType", "chHeight"});
  automation::Click("ButtonOK");
  automation::Inspect(
      [&](toolkit::TForm& form) { openAfterOk = form.Visible() && form.ModalResult() == toolkit::mrNone; });
  automation::Click("ButtonCancel");
  TLegendOptions options;
  EXPECT_FALSE(ShowSetupDialog(options));

  EXPECT_TRUE(openAfterOk);
  EXPECT_EQ(errors, std::vector<std::string>{"The options store is full"});
  EXPECT_EQ(StoredValues(), (std::vector<std::string>{"0", "0", "0", "0", "0", "0", "0"}));
}

// The third read fails while the dialog is shown: the two boxes read before
// show the stored values, the others keep their designed (unchecked) state,
// and the dialog still opens.
TEST_F(SetupDialogTest, AFailingReadIsReportedAndTheDialogStillOpens) {
  for (const std::string& key : kStoreKeys) Store(key, "-1");
  Store("Gerbers", "0");
  quorvex::FailOptionsFrom(quorvex::OptionsAccess::Read, 3, "The options store is unreadable");
  std::vector<std::string> errors;
  dialogtest::ErrorRecorder recorder(errors);
  std::vector<bool> opened;
  bool visible = false;
  automation::Inspect([&](toolkit::TForm& form) {
    opened = Boxes(form);
    visible = form.Visible();
  });
  automation::Click("ButtonCancel");
  TLegendOptions options;
  EXPECT_FALSE(ShowSetupDialog(options));
  EXPECT_TRUE(visible);
  EXPECT_EQ(opened, (std::vector<bool>{true, false, false, false, false, false, false}));
  EXPECT_EQ(errors, std::vector<std::string>{"The options store is unreadable"});
}

TEST_F(SetupDialogTest, WithoutReaderTheBoxesStayUncheckedAndWithoutWriterOkStillAnswers) {
  quorvex::WithholdOptions(quorvex::OptionsAccess::Read, true);
  quorvex::WithholdOptions(quorvex::OptionsAccess::Write, true);
  std::vector<bool> opened;
  automation::Inspect([&](toolkit::TForm& form) { opened = Boxes(form); });
  CheckOnly({"chXtDielectrics", "chCopperThickness"});
  automation::Click("ButtonOK");
  TLegendOptions options;
  ASSERT_TRUE(ShowSetupDialog(options));
  EXPECT_EQ(opened, std::vector<bool>(7, false));
  EXPECT_EQ(options, (TLegendOptions{1, 0, 0, 0, 0, 0, 1}));
  EXPECT_FALSE(platform::FileExists(StoreFile()));
}

// Every caption is drawn inside the rectangle the dialog's layout gives its
// control: the form's frame, the panel at (8, 8) for the controls on it, and
// the control's own place and size.
TEST_F(SetupDialogTest, TheDrawingPutsEveryCaptionInsideItsControl) {
  struct Placed {
    std::string caption;
    bool onPanel;
    int left, top, width, height;
  };
  const std::vector<Placed> layout = {
      {"OK", false, 360, 193, 74, 24},
      {"Cancel", false, 439, 193, 74, 24},
      {"External Dielectrics", true, 272, 14, 90, 13},
      {"Layer Display", true, 11, 14, 63, 13},
      {"Dielectric Display", true, 11, 81, 81, 13},
      {"Display Top/Bottom Dielectrics", true, 274, 35, 223, 16},
      {"Copper thickness", true, 18, 35, 105, 17},
      {"Gerber Extension", true, 138, 35, 105, 17},
      {"Type", true, 18, 103, 97, 17},
      {"Material", true, 145, 103, 97, 17},
      {"Height", true, 276, 103, 97, 16},
      {"Constant", true, 400, 103, 97, 16},
  };
  const auto dialog = TServerDialog::CreateDialog<TLegendSetupDialog>();
  const std::string svg = toolkit::DrawFormSvg(*dialog);
  const toolkit::TRect frame = dialog->FrameInsets();

  const std::regex text(R"re(<text([^>]*)>(.*?)</text>)re");
  const std::regex tag("<[^>]*>");
  const std::regex x(R"re( x="(-?\d+)")re"), y(R"re( y="(-?\d+)")re");
  int found = 0;
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), text); it != std::sregex_iterator(); ++it) {
    const std::string attributes = (*it)[1];
    const auto placed = std::find_if(layout.begin(), layout.end(), [&](const Placed& p) {
      return p.caption == std::regex_replace((*it)[2].str(), tag, "");
    });
    if (placed == layout.end()) continue;
    SCOPED_TRACE(placed->caption);
    std::smatch at;
    ASSERT_TRUE(std::regex_search(attributes, at, x));
    const int textX = std::stoi(at[1]);
    ASSERT_TRUE(std::regex_search(attributes, at, y));
    const int textY = std::stoi(at[1]);
    const int left = frame.Left + (placed->onPanel ? 8 : 0) + placed->left;
    const int top = frame.Top + (placed->onPanel ? 8 : 0) + placed->top;
    EXPECT_GE(textX, left);
    EXPECT_LE(textX, left + placed->width);
    EXPECT_GE(textY, top);
    EXPECT_LE(textY, top + placed->height);
    ++found;
  }
  EXPECT_EQ(found, static_cast<int>(layout.size())) << svg;
}

}  // namespace
}  // namespace strativue
