#include <gtest/gtest.h>

#include "ToolkitFixture.h"
#include "tests/XmlCheck.h"
#include "toolkit/Bevel.h"
#include "toolkit/Button.h"
#include "toolkit/CheckBox.h"
#include "toolkit/FormSvg.h"
#include "toolkit/MessageDialog.h"

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
  EXPECT_NE(svg.find(">Copper thickness<"), std::string::npos);
  EXPECT_NE(svg.find(">Type<"), std::string::npos);
  EXPECT_EQ(Count(svg, "class=\"check\""), 1);
  EXPECT_EQ(svg.find("Hidden"), std::string::npos);
  EXPECT_NE(svg.find(">?<"), std::string::npos);
  EXPECT_EQ(Count(svg, "<line"), 4);  // the bevel's two and two accelerators
  EXPECT_EQ(Count(svg, "<line class=\"accelerator\""), 2);
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
