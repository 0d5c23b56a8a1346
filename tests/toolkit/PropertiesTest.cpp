#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ToolkitFixture.h"
#include "toolkit/Bevel.h"
#include "toolkit/Button.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Form.h"
#include "toolkit/Label.h"
#include "toolkit/Panel.h"

using namespace toolkit;

namespace {

using PropertiesTest = ToolkitTest;

TEST_F(PropertiesTest, EveryControlPublishesTheCommonPropertiesByName) {
  TForm form(nullptr);
  auto* button = form.Create<TButton>();
  auto* bevel = form.Create<TBevel>();
  for (TComponent* component : std::initializer_list<TComponent*>{&form, button, bevel}) {
    SCOPED_TRACE(component->ClassName());
    component->SetProperty("hint", std::string("Tip"));
    component->SetProperty("ShowHint", true);
    EXPECT_EQ(TextOf(component->GetProperty("Hint")), "Tip");
    EXPECT_TRUE(BooleanOf(component->GetProperty("SHOWHINT")));
    ASSERT_NE(component->FindProperty("Font"), nullptr);
    EXPECT_EQ(component->FindProperty("Font")->type, PropertyType::Font);
  }
}

TEST_F(PropertiesTest, SettingAFontPropertyCopiesTheFont) {
  TLabel label(nullptr);
  TFont host;
  host.SetName("Segoe UI");
  host.SetSize(9);
  host.SetStyle(fsBold);
  label.SetProperty("Font", &host);
  EXPECT_EQ(label.Font(), host);
  host.SetName("Changed");
  EXPECT_EQ(label.Font().Name(), "Segoe UI");
  EXPECT_EQ(FontOf(label.GetProperty("Font")).Size(), 9);
}

TEST_F(PropertiesTest, BadUseIsAnErrorNotACrash) {
  TButton button(nullptr);
  EXPECT_THROW(button.SetProperty("NoSuchThing", true), EPropertyError);
  EXPECT_THROW(button.SetProperty("Caption", int64_t{5}), EPropertyError);
  EXPECT_THROW(button.SetProperty("Font", static_cast<const TFont*>(nullptr)), EPropertyError);
  TBevel bevel(nullptr);
  EXPECT_THROW(bevel.SetProperty("Shape", int64_t{99}), EPropertyError);
  TForm form(nullptr);
  EXPECT_THROW(form.SetProperty("BorderStyle", int64_t{-1}), EPropertyError);
}

TEST_F(PropertiesTest, FontPropertiesCanBeFoundByType) {
  int fonts = 0;
  for (const PropertyInfo* property : TCheckBox::StaticClass().AllProperties())
    if (property->type == PropertyType::Font) ++fonts;
  EXPECT_EQ(fonts, 1);
  EXPECT_EQ(TCheckBox::StaticClass().AllProperties().front()->name, "Name");
}

// Each published switch reaches its own member and no other: flipping one
// leaves every other switch of the component as it was.
TEST_F(PropertiesTest, EachBooleanPropertyReadsBackWhatItSetAndNothingElse) {
  TForm form(nullptr);
  for (const char* name : {"TButton", "TCheckBox", "TLabel", "TBevel", "TPanel"}) {
    SCOPED_TRACE(name);
    std::unique_ptr<TComponent> made = FindClass(name)->Create(&form);
    std::vector<const PropertyInfo*> switches;
    for (const PropertyInfo* property : made->Class().AllProperties())
      if (property->type == PropertyType::Boolean) switches.push_back(property);
    ASSERT_FALSE(switches.empty());
    for (const PropertyInfo* flipped : switches) {
      SCOPED_TRACE(flipped->name);
      std::vector<bool> before;
      for (const PropertyInfo* property : switches) before.push_back(BooleanOf(property->get(*made)));
      made->SetProperty(flipped->name, !BooleanOf(flipped->get(*made)));
      for (size_t i = 0; i < switches.size(); ++i)
        EXPECT_EQ(BooleanOf(switches[i]->get(*made)), switches[i] == flipped ? !before[i] : before[i])
            << switches[i]->name;
      made->SetProperty(flipped->name, BooleanOf(flipped->get(*made)) ? false : true);
    }
  }
}

TEST_F(PropertiesTest, EventPropertiesBindHandlers) {
  TButton button(nullptr);
  int clicks = 0;
  button.SetProperty("OnClick", TNotifyEvent([&](TComponent*) { ++clicks; }));
  button.Click();
  EXPECT_EQ(clicks, 1);
}

TEST_F(PropertiesTest, ClassesAreCreatedByName) {
  TForm form(nullptr);
  for (const char* name : {"TButton", "tcheckbox", "TLabel", "TBevel", "TPanel"}) {
    const ClassInfo* info = FindClass(name);
    ASSERT_NE(info, nullptr) << name;
    std::unique_ptr<TComponent> made = info->Create(&form);
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->Class().InheritsFrom("TControl"));
  }
  EXPECT_EQ(FindClass("TNoSuchClass"), nullptr);
  EXPECT_TRUE(FindClass("TMessageForm")->InheritsFrom("tform"));
}

TEST_F(PropertiesTest, ColoursAreNamedAndHooksMayRewriteThem) {
  EXPECT_EQ(ColorToText(clBtnFace), "clBtnFace");
  EXPECT_EQ(ColorToText(0x00123456), "$00123456");
  const int id = Hooks::Get().colorToText.Add(
      [](TColor c) { return (c >= 0x80000000u && c <= 0x80FFFFFFu) ? (0xFF000000u | (c & 0xFFFFFFu)) : c; });
  EXPECT_EQ(ColorToText(0x80000005u), "clWindow");
  Hooks::Get().colorToText.Remove(id);
  EXPECT_EQ(ColorToText(0x80000005u), "$80000005");
}

}  // namespace
