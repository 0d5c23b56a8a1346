#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ToolkitFixture.h"
#include "tests/XmlCheck.h"
#include "toolkit/Bevel.h"
#include "toolkit/Button.h"
#include "toolkit/CheckBox.h"
#include "toolkit/FormSvg.h"
#include "toolkit/Label.h"
#include "toolkit/MessageDialog.h"
#include "toolkit/TextMetrics.h"

using namespace toolkit;

namespace {

using FormSvgTest = ToolkitTest;

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST_F(FormSvgTest, DrawsFrameCaptionControlsAndCheckMarks) {
  TForm form(nullptr);
  form.SetCaption("Setup <1> & more");
  form.SetBorderStyle(TBorderStyle::Dialog);
  form.SetBorderIcons(biSystemMenu | biHelp);
  form.SetClientWidth(300);
  form.SetClientHeight(100);
  auto* on = form.Create<TCheckBox>();
  on->SetParent(&form);
  on->SetCaption("Co&pper thickness");
  on->SetChecked(true);
  auto* off = form.Create<TCheckBox>();
  off->SetParent(&form);
  off->SetCaption("T&ype");
  auto* hidden = form.Create<TButton>();
  hidden->SetParent(&form);
  hidden->SetCaption("Hidden");
  hidden->SetVisible(false);
  auto* rule = form.Create<TBevel>();
  rule->SetParent(&form);
  rule->SetShape(TBevelShape::TopLine);

  const std::string svg = DrawFormSvg(form);
  EXPECT_EQ(testing_support::XmlProblem(svg), "");
  EXPECT_EQ(svg.rfind("<svg", 0), 0u);
  EXPECT_NE(svg.find("width=\"" + std::to_string(form.Width()) + "\""), std::string::npos);
  EXPECT_NE(svg.find(">Setup &lt;1&gt; &amp; more<"), std::string::npos);
  // The accelerator letters are underlined within their text runs.
  const std::string underlined = "<tspan class=\"accelerator\" text-decoration=\"underline\">";
  EXPECT_NE(svg.find(">Co" + underlined + "p</tspan>per thickness<"), std::string::npos);
  EXPECT_NE(svg.find(">T" + underlined + "y</tspan>pe<"), std::string::npos);
  EXPECT_EQ(Count(svg, "class=\"check\""), 1);
  EXPECT_EQ(svg.find("Hidden"), std::string::npos);
  EXPECT_NE(svg.find(">?<"), std::string::npos);
  EXPECT_EQ(Count(svg, "<line"), 2);  // the bevel's two
  // Every text names a generic family last and is stretched to its measured
  // width.
  EXPECT_EQ(Count(svg, "<text"), Count(svg, "font-family=\"'MS Sans Serif', 'DejaVu Sans', sans-serif\""));
  EXPECT_EQ(Count(svg, "<text"), Count(svg, "lengthAdjust=\"spacingAndGlyphs\""));
  EXPECT_NE(svg.find("textLength=\"" + std::to_string(TextWidth("Copper thickness", on->Font())) + "\""),
            std::string::npos);
}

// A rule beside a caption: "Group" at (10, 10) is drawn from 10 to
// 10 + TextWidth("Group"), around the baseline 20.
TEST_F(FormSvgTest, RulesKeepClearOfTheCaptionsBesideThem) {
  struct Case {
    const char* what;
    int left, top, width;
    int x1, x2;  // the rule as drawn; equal: not drawn
  };
  const int end = 10 + TextWidth("Group", TFont::DefaultFont());
  const std::vector<Case> cases = {
      {"starting inside the caption", 40, 16, 200, end + 6, 240},
      {"starting right after it", end + 6, 16, 100, end + 6, end + 106},
      {"running under the caption from the left", 0, 16, 300, end + 6, 300},
      {"reaching the caption from the left", -100, 16, 105, -100, 4},
      {"covered by the caption", 12, 16, 5, 0, 0},
      {"above the caption", 40, 2, 200, 40, 240},
      {"below the caption", 40, 24, 200, 40, 240},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TForm form(nullptr);
    form.SetBorderStyle(TBorderStyle::None);
    form.SetClientWidth(400);
    form.SetClientHeight(100);
    auto* rule = form.Create<TBevel>();
    rule->SetName("Rule");
    rule->SetParent(&form);
    rule->SetShape(TBevelShape::TopLine);
    rule->SetBounds(c.left, c.top, c.width, 5);
    auto* label = form.Create<TLabel>();
    label->SetParent(&form);
    label->SetCaption("Group");
    label->SetBounds(10, 10, 30, 13);

    const std::string svg = DrawFormSvg(form);
    const std::size_t at = svg.find("<line id=\"Rule\"");
    if (c.x1 == c.x2) {
      EXPECT_EQ(at, std::string::npos) << svg;
      continue;
    }
    ASSERT_NE(at, std::string::npos) << svg;
    const std::string expected = "<line id=\"Rule\" x1=\"" + std::to_string(c.x1) + "\" y1=\"" +
                                 std::to_string(c.top) + "\" x2=\"" + std::to_string(c.x2) + "\"";
    EXPECT_EQ(svg.compare(at, expected.size(), expected), 0) << svg.substr(at, 80);
  }
}

// Widths are DejaVu Sans's advances in 1/2048 em, rounded up to pixels:
// "Type" is 1251 + 1212 + 1300 + 1260 = 5023 units, 26.98 pixels at 11.
TEST_F(FormSvgTest, TextIsMeasuredWithTheFacesAdvanceWidths) {
  TFont font;
  font.SetHeight(-11);
  EXPECT_EQ(TextWidth("Type", font), 27);
  EXPECT_EQ(TextWidth("", font), 0);
  font.SetHeight(11);  // a cell height measures the same
  EXPECT_EQ(TextWidth("Type", font), 27);
  font.SetHeight(-2048);
  EXPECT_EQ(TextWidth("Type", font), 5023);
  // Latin-1 letters in UTF-8 have their own widths; other characters and
  // bytes that are not UTF-8 count one em each.
  EXPECT_EQ(TextWidth("\xC3\xA9", font), TextWidth("e", font));
  EXPECT_EQ(TextWidth("\xE6\x97\xA5", font), 2048);
  EXPECT_EQ(TextWidth("\xFF\xC3", font), 2 * 2048);
  TFont bold = font;
  bold.SetStyle(fsBold);
  EXPECT_GT(TextWidth("Type", bold), TextWidth("Type", font));
  EXPECT_EQ(TextAscent(font), 1901);
  EXPECT_EQ(TextDescent(font), 483);
}

TEST_F(FormSvgTest, MessageBoxesShowTheirIcon) {
  auto box = CreateMessageDialog("Hello", TMsgDlgType::Warning, mbOK);
  const std::string svg = DrawFormSvg(*box);
  EXPECT_EQ(testing_support::XmlProblem(svg), "");
  EXPECT_NE(svg.find("<title>Warning</title>"), std::string::npos);
  EXPECT_NE(svg.find(">Hello<"), std::string::npos);
  EXPECT_EQ(DisplayCaption("Fish && &Chips&"), "Fish & Chips");
}

}  // namespace
