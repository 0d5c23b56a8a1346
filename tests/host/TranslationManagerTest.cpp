// The host's translation manager and its dictionary file: parsed once for
// each change of the file, and names from the file shown as they are.
#include <gtest/gtest.h>

#include <string>

#include "HostTestSession.h"
#include "host/HostSettings.h"
#include "host/HostStatus.h"
#include "host/TranslationManager.h"
#include "platform/Machine.h"
#include "platform/WideString.h"

namespace quorvex::test {
namespace {

class TranslationManagerTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    machine_.IsolateFile(DictionaryPath());
    platform::CreateDirectories(HostPreferenceFolder());
  }
  static void Dictionary(const std::string& translations) {
    ASSERT_TRUE(platform::WriteFile(
        DictionaryPath(), R"({"format": "quorvex-dictionary/1", "translations": {)" + translations + "}}"));
  }
  // The translation of `key` in `scope`, or "(none)"; "(failed)" when the
  // call failed.
  std::string Translate(const std::string& scope, const std::string& key) {
    platform::BStr translated;
    int32_t found = 0;
    const qvabi::HRESULT status = manager_.Translate(
        platform::BStr::FromUtf8(scope).get(), platform::BStr::FromUtf8(key).get(), translated.put(), &found);
    if (qvabi::Failed(status)) return "(failed)";
    return found ? translated.utf8() : "(none)";
  }

  TranslationManager manager_;
};

TEST_F(TranslationManagerTest, TheFileIsParsedOnceForEachChangeHoweverManyTextsAreTranslated) {
  Dictionary(R"("ButtonOK": {"Caption.'OK'": "Ja"}, "buttonok": {"Hint.'x'": "y"})");
  const std::size_t before = DictionaryParses();
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(Translate("BUTTONOK", "Caption.'OK'"), "Ja");
    EXPECT_EQ(Translate("ButtonOk", "Hint.'x'"), "y") << "scopes of one name in any case are all looked at";
    EXPECT_EQ(Translate("ButtonOK", "Caption.'Cancel'"), "(none)");
  }
  EXPECT_EQ(DictionaryParses() - before, 1u);

  // A rewrite of the very same size at once after: seen all the same.
  Dictionary(R"("ButtonOK": {"Caption.'OK'": "Oj"}, "buttonok": {"Hint.'x'": "z"})");
  EXPECT_EQ(Translate("ButtonOK", "Caption.'OK'"), "Oj");
  EXPECT_EQ(Translate("ButtonOK", "Hint.'x'"), "z");
  EXPECT_EQ(DictionaryParses() - before, 2u);
}

TEST_F(TranslationManagerTest, NamesFromABrokenFileAreShownWholeAndEscaped) {
  Dictionary(R"("Form": {"Caption\u0000hidden\nline": 5})");
  EXPECT_EQ(Translate("Form", "Caption"), "(failed)");
  EXPECT_EQ(TakeThreadError().description,
            DictionaryPath() + ": translations.Form.Caption\\x00hidden\\nline must be a string");
}

}  // namespace
}  // namespace quorvex::test
