// Translation of texts read from form descriptions, through the host's
// translation manager (the host stand-in reading its dictionary file).
#include <gtest/gtest.h>

#include <string>

#include "PluginModuleSession.h"
#include "host/Host.h"
#include "host/HostSettings.h"
#include "host/TranslationManager.h"
#include "platform/Journal.h"
#include "platform/Machine.h"
#include "plugin/RTL/ClientApi.h"
#include "plugin/RTL/Exceptions.h"
#include "plugin/RTL/HostClient.h"
#include "plugin/RTL/Translation.h"
#include "tests/TestMachine.h"
#include "toolkit/Button.h"
#include "toolkit/Form.h"
#include "toolkit/Panel.h"

namespace strativue {
namespace {

// A plain form under the setup dialog's class name, which is what the
// dictionary's scopes go by.
class TPlainSetupDialog : public toolkit::TForm {
 public:
  using TForm::TForm;
  TOOLKIT_DECLARE_CLASS()
};

const toolkit::ClassInfo& TPlainSetupDialog::StaticClass() {
  static const toolkit::ClassInfo info("TLegendSetupDialog", &toolkit::TForm::StaticClass(), {});
  return info;
}

const char* const kGermanTitle = "Strativue-Einrichtung";

class TranslationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The host's settings and dictionary, taken away for the test and put
    // back afterwards where the machine is the system's own.
    machine_.IsolateFile(quorvex::HostSettingsPath());
    machine_.IsolateFile(quorvex::DictionaryPath());
    platform::CreateDirectories(quorvex::HostPreferenceFolder());
    quorvex::Host::Instance().Reset();
    platform::JournalClear();
    ClientAPI::Resolve();
    SetHostClient(quorvex::Host::Instance().GetClient());
    ResetReadingState();
  }
  void TearDown() override {
    ReleaseTranslationManager();
    ClearLocaleFontsFlag();
    ResetReadingState();
    SetHostClient(nullptr);
    ClientAPI::ResolveFrom(nullptr);
  }

  static void Settings(const std::string& text) {
    ASSERT_TRUE(platform::WriteFile(quorvex::HostSettingsPath(), text));
  }
  static void Dictionary(const std::string& json) {
    ASSERT_TRUE(platform::WriteFile(quorvex::DictionaryPath(), json));
  }
  static std::string Entries(const std::string& translations, bool localeFonts = false) {
    return R"({"format": "quorvex-dictionary/1", "localeFonts": )" +
           std::string(localeFonts ? "true" : "false") + R"(, "translations": {)" + translations + "}}";
  }

  // Reads a setup dialog as its description would: the form's caption, a
  // named panel without texts, then the OK button with its caption inside.
  std::unique_ptr<TPlainSetupDialog> ReadDialog(const std::string& caption = "Strativue Setup") {
    auto form = std::make_unique<TPlainSetupDialog>(nullptr);
    form->SetName("LegendSetupDialog");
    auto* panel = form->Create<toolkit::TPanel>();
    panel->SetName("TeThemeTabControl1");
    auto* ok = form->Create<toolkit::TButton>();
    ok->SetName("ButtonOK");
    BeginComponentReading(*form);
    form->SetCaption(Text(*form, *form, "Caption", caption));
    BeginComponentReading(*panel);
    EndComponentReading(*panel);
    BeginComponentReading(*ok);
    ok->SetCaption(Text(*form, *ok, "Caption", "OK"));
    EndComponentReading(*ok);
    EndComponentReading(*form);
    return form;
  }

  static std::string Text(toolkit::TComponent& root, toolkit::TComponent& component,
                          const std::string& property, std::string value, bool wide = false) {
    toolkit::TextReadContext context{&root, &component, property, wide};
    TranslateTextValue(context, value);
    return value;
  }

  TestMachine machine_;
};

TEST_F(TranslationTest, KeysQuoteTheTextAndUseTheLastPartOfThePropertyPath) {
  EXPECT_EQ(TranslationKey("Caption", "Co&pper thickness"), "Caption.'Co&pper thickness'");
  EXPECT_EQ(TranslationKey("Font.Name", "Arial"), "Name.'Arial'");
  EXPECT_EQ(TranslationKey("Caption", "Don't"), "Caption.'Don''t'");
  EXPECT_EQ(TranslationKey("Hint", ""), "Hint.''");
}

TEST_F(TranslationTest, TranslatedDialogsTakeTheTranslationInTheComponentsScope) {
  Settings("[Preferences]\nUseLocalizedDialogs=1\n");
  Dictionary(Entries(R"("legendsetupdialog": {"Caption.'Strativue Setup'": "Strativue-Einrichtung"},
                       "ButtonOK": {"Caption.'OK'": "Ja"},
                       "X": {"Caption.'Don''t'": "Nicht"})"));
  const auto form = ReadDialog();
  EXPECT_EQ(form->Caption(), kGermanTitle);
  EXPECT_EQ(dynamic_cast<toolkit::TButton*>(form->FindComponent("ButtonOK"))->Caption(), "Ja");
  EXPECT_EQ(ReadingDepth(), 0);
  EXPECT_EQ(TranslationScope(), "");
  // The form's hint lookup runs with an empty scope: a named child ended last.
  const auto journal = platform::JournalEntries();
  std::vector<std::string> asked;
  for (const auto& entry : journal) asked.push_back(entry.text);
  EXPECT_EQ(asked, (std::vector<std::string>{
                       "begin dialog LegendSetupDialog",
                       "translate LegendSetupDialog Caption.'Strativue Setup' -> Strativue-Einrichtung",
                       "translate TeThemeTabControl1 Hint.'' -> (none)",
                       "translate ButtonOK Caption.'OK' -> Ja",
                       "translate ButtonOK Hint.'' -> (none)",
                       "translate  Hint.'' -> (none)",
                       "end dialog",
                   }));
  // A caption without an entry stays; a quote inside the text is doubled in the key.
  EXPECT_EQ(ReadDialog("Other")->Caption(), "Other");
  auto x = std::make_unique<toolkit::TButton>(nullptr);
  x->SetName("X");
  BeginComponentReading(*x);
  EXPECT_EQ(Text(*x, *x, "Caption", "Don't"), "Nicht");
  EndComponentReading(*x);
}

TEST_F(TranslationTest, UntranslatedDialogsShowTheTranslationAsTheCaptionsTooltip) {
  Dictionary(Entries(R"("LegendSetupDialog": {"Caption.'Strativue Setup'": "Strativue-Einrichtung"})"));
  const auto form = ReadDialog();
  EXPECT_EQ(form->Caption(), "Strativue Setup");
  EXPECT_EQ(form->Hint(), kGermanTitle);
  EXPECT_TRUE(form->ShowHint());
}

TEST_F(TranslationTest, WithoutManagerOrOwnerValuesPassOnlyThroughTheCodePage) {
  Settings("[Preferences]\nUseLocalizedDialogs=1\n");
  const auto form = ReadDialog();
  EXPECT_EQ(form->Caption(), "Strativue Setup");
  EXPECT_FALSE(form->ShowHint());
  // "é" is in the system code page, "Ω" (U+03A9) is not.
  toolkit::TButton button(nullptr);
  EXPECT_EQ(Text(*form, button, "Caption", "Caf\xC3\xA9"), "Caf\xC3\xA9");
  EXPECT_EQ(Text(*form, button, "Caption", "\xCE\xA9hm", true), "?hm");
  toolkit::TextReadContext ownerless{nullptr, &button, "Caption", false};
  std::string value = "\xCE\xA9";
  TranslateTextValue(ownerless, value);
  EXPECT_EQ(value, "?");
}

TEST_F(TranslationTest, AFailingManagerEndsTheReadingWithTheHostsError) {
  Settings("[Preferences]\nUseLocalizedDialogs=1\n");
  // A format of another type is named as such too, not as a JSON type error.
  for (const std::string format : {R"("something else")", "true", R"(["quorvex-dictionary/1"])", "null"}) {
    SCOPED_TRACE(format);
    Dictionary(R"({"format": )" + format + "}");
    try {
      ReadDialog();
      ADD_FAILURE() << "reading succeeded";
    } catch (const EHostError& error) {
      EXPECT_NE(std::string(error.what()).find("Dictionary.json: format must be"), std::string::npos)
          << error.what();
    }
    EXPECT_EQ(ReadingDepth(), 0);
    EXPECT_EQ(TranslationScope(), "");
  }
}

TEST_F(TranslationTest, LocaleFontsFollowTheHostWhenItAsksForThemAndOffersNoFont) {
  Dictionary(Entries("", true));
  Settings("[Preferences]\nUseSystemLocaleLanguage=1\n[LocaleFont]\nName=MS UI Gothic\nCharset=128\n");
  ReadLocaleFontsFlag();
  ASSERT_TRUE(LocaleFontsFlag());
  const auto form = ReadDialog();
  const auto* ok = dynamic_cast<toolkit::TButton*>(form->FindComponent("ButtonOK"));
  for (const toolkit::TControl* control :
       {static_cast<const toolkit::TControl*>(form.get()), static_cast<const toolkit::TControl*>(ok)}) {
    EXPECT_EQ(control->Font().Name(), "MS UI Gothic");
    EXPECT_EQ(control->Font().Charset(), 128);
    EXPECT_EQ(control->Font().Height(), toolkit::TFont::DefaultFont().Height());
  }
  // A host interface font takes precedence: nothing is adapted.
  Settings(
      "[Preferences]\nUseSystemLocaleLanguage=1\n[Font]\nName=Tahoma\n[LocaleFont]\nName=MS UI Gothic\n");
  EXPECT_EQ(ReadDialog()->Font().Name(), toolkit::TFont::DefaultFont().Name());
}

}  // namespace
}  // namespace strativue
