#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "ToolkitFixture.h"
#include "toolkit/Bevel.h"
#include "toolkit/Button.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Form.h"
#include "toolkit/FormDescription.h"
#include "toolkit/Label.h"
#include "toolkit/Panel.h"
#include "toolkit/ThemedControls.h"

using namespace toolkit;

namespace {

using FormDescriptionTest = ToolkitTest;

// Every value syntax the format has, in a small dialog.
constexpr const char* kSetupForm = R"(object SetupForm: TForm
  Left = -8
  Top = $10
  BorderIcons = [biSystemMenu, biHelp]
  BorderStyle = bsDialog
  Caption = 'Bob''s '#83'etup'
  ClientHeight = 226
  ClientWidth = 523
  Color = clBtnFace
  Font.Charset = SHIFTJIS_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = [fsBold, fsItalic]
  Position = poScreenCenter
  OnShow = FormShow
  object ButtonOK: TXPBitBtn
    Left = 360
    Top = 193
    Width = 74
    Height = 24
    Caption = 'OK'
    Default = True
    TabOrder = 0
    OnClick = buttonokclick
  end
  object Panel: TPanel
    Left = 8
    Top = 8
    Width = 505
    Height = 177
    TabOrder = 1
    object Title: TLabel
      Left = 11
      Top = 14
      Caption =
        'A caption long enough to be continued' +
        ' on a second line'#13#10'and a third'
    end
    object Rule: TBevel
      Left = 82
      Top = 20
      Width = 156
      Height = 5
      Shape = bsTopLine
    end
    object chType: TXPCheckBox
      Left = 18
      Top = 103
      Caption = 'T&ype'
      Checked = True
      TabOrder = 3
    end
  end
end
)";

TEST_F(FormDescriptionTest, ReadsEveryValueSyntaxIntoNestedComponents) {
  int shows = 0, clicks = 0;
  TComponent* clickSender = nullptr;
  const THandlerTable handlers = {{"FormShow", [&](TComponent*) { ++shows; }},
                                  {"ButtonOKClick", [&](TComponent* sender) {
                                     ++clicks;
                                     clickSender = sender;
                                   }}};
  TForm form(nullptr);
  ReadComponent(form, kSetupForm, handlers);

  EXPECT_EQ(form.Name(), "SetupForm");
  EXPECT_EQ(form.Left(), -8);
  EXPECT_EQ(form.Top(), 16);
  EXPECT_EQ(form.BorderIcons(), biSystemMenu | biHelp);
  EXPECT_EQ(form.BorderStyle(), TBorderStyle::Dialog);
  EXPECT_EQ(form.Position(), TPosition::ScreenCenter);
  EXPECT_EQ(form.Caption(), "Bob's Setup");  // '' is a quote, #83 is 'S'
  EXPECT_EQ(form.ClientWidth(), 523);
  EXPECT_EQ(form.ClientHeight(), 226);
  EXPECT_EQ(form.Color(), clBtnFace);
  EXPECT_EQ(form.Font().Charset(), SHIFTJIS_CHARSET);
  EXPECT_EQ(form.Font().Name(), "MS Sans Serif");
  EXPECT_EQ(form.Font().Style(), fsBold | fsItalic);
  EXPECT_FALSE(form.Loading());

  // Owner is the root; parent the enclosing windowed control.
  auto* ok = dynamic_cast<TXPBitBtn*>(form.FindComponent("ButtonOK"));
  auto* panel = dynamic_cast<TPanel*>(form.FindComponent("Panel"));
  auto* title = dynamic_cast<TLabel*>(form.FindComponent("Title"));
  auto* rule = dynamic_cast<TBevel*>(form.FindComponent("Rule"));
  auto* type = dynamic_cast<TXPCheckBox*>(form.FindComponent("chType"));
  ASSERT_TRUE(ok && panel && title && rule && type);
  EXPECT_EQ(form.ComponentCount(), 5);
  EXPECT_EQ(ok->Parent(), &form);
  EXPECT_EQ(title->Parent(), panel);
  EXPECT_EQ(type->Parent(), panel);
  EXPECT_TRUE(ok->Default());
  EXPECT_EQ(rule->Shape(), TBevelShape::TopLine);
  EXPECT_EQ(title->Caption(), "A caption long enough to be continued on a second line\r\nand a third");
  EXPECT_TRUE(type->Checked());
  EXPECT_EQ(type->TabOrder(), 3);
  EXPECT_FALSE(type->Loading());

  // Handlers are bound by name, without regard to case, and not run by the read.
  EXPECT_EQ(shows + clicks, 0);
  ok->Click();
  form.OnShow(&form);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(clickSender, ok);
  EXPECT_EQ(shows, 1);
  EXPECT_EQ(ok->EventHandlerName("OnClick"), "ButtonOKClick");
}

TEST_F(FormDescriptionTest, ClientSizeHoldsForTheBorderStyleReadAfterIt) {
  // The frame of a sizeable form (the default) differs from a dialog's, so
  // a client size read before the border style must be applied again.
  TForm form(nullptr);
  ReadComponent(form,
                "object F: TForm\n ClientWidth = 200\n ClientHeight = 100\n BorderStyle = bsDialog\nend");
  EXPECT_EQ(form.ClientWidth(), 200);
  EXPECT_EQ(form.ClientHeight(), 100);
  const TRect frame = form.FrameInsets();
  EXPECT_EQ(form.Width(), 200 + frame.Left + frame.Right);
}

// A client size out of reach (below nothing, or too large for the frame to
// be added) is held to what a form can have, so that what is written reads
// back the same.
TEST_F(FormDescriptionTest, ClientSizeOutOfReachIsHeldToWhatAFormCanHave) {
  for (const char* size : {"-226", "2147483647"}) {
    const std::string text = std::string("object F: TForm\n BorderStyle = bsDialog\n ClientHeight = ") +
                             size + "\n ClientWidth = " + size + "\nend";
    SCOPED_TRACE(text);
    TForm form(nullptr);
    ReadComponent(form, text);
    const TRect frame = form.FrameInsets();
    EXPECT_EQ(form.Height() - frame.Top - frame.Bottom, form.ClientHeight());
    EXPECT_EQ(form.Width() - frame.Left - frame.Right, form.ClientWidth());
    const std::string written = WriteComponent(form);
    TForm copy(nullptr);
    ReadComponent(copy, written);
    EXPECT_EQ(WriteComponent(copy), written);
  }
}

TEST_F(FormDescriptionTest, AnOuterSizeWithinTheFrameReadsBackAsWritten) {
  for (const char* size : {"-11", "0", "3"}) {
    const std::string text =
        std::string("object F: TForm\n Height = ") + size + "\n Width = " + size + "\nend";
    SCOPED_TRACE(text);
    TForm form(nullptr);
    ReadComponent(form, text);
    ASSERT_EQ(form.Height(), std::stoi(size));
    ASSERT_EQ(form.Width(), std::stoi(size));
    const std::string written = WriteComponent(form);
    TForm copy(nullptr);
    ReadComponent(copy, written);
    EXPECT_EQ(copy.Height(), form.Height());
    EXPECT_EQ(copy.Width(), form.Width());
    EXPECT_EQ(WriteComponent(copy), written);
  }
}

TEST_F(FormDescriptionTest, ANegativeTabOrderTakesTheNextPlaceAndReadsBackAsWritten) {
  const std::string text =
      "object F: TForm\n object A: TCheckBox\n  TabOrder = 0\n end\n"
      " object B: TCheckBox\n  TabOrder = -1\n end\n object C: TCheckBox\n end\nend";
  TForm form(nullptr);
  ReadComponent(form, text);
  std::set<int> orders;
  for (const char* name : {"A", "B", "C"}) {
    const auto* box = dynamic_cast<TCheckBox*>(form.FindComponent(name));
    ASSERT_NE(box, nullptr);
    EXPECT_GE(box->TabOrder(), 0) << name;
    orders.insert(box->TabOrder());
  }
  EXPECT_EQ(orders.size(), 3u);
  const std::string written = WriteComponent(form);
  TForm copy(nullptr);
  ReadComponent(copy, written);
  EXPECT_EQ(WriteComponent(copy), written);
}

TEST_F(FormDescriptionTest, HooksSeeEveryComponentAndMayRewriteTexts) {
  std::vector<std::string> events;
  Hooks& hooks = Hooks::Get();
  const int begin = hooks.componentReadBegin.Add(
      [&](TComponent& root, TComponent& c) { events.push_back(root.Name() + ">" + c.Name()); });
  const int end =
      hooks.componentReadEnd.Add([&](TComponent&, TComponent& c) { events.push_back("<" + c.Name()); });
  const int text = hooks.textRead.Add([&](const TextReadContext& context, std::string& value) {
    events.push_back(context.component->Name() + "." + context.propertyName);
    if (context.propertyName == "Caption") value = "[" + value + "]";
  });
  TForm form(nullptr);
  ReadComponent(form,
                "object F: TForm\n Caption = 'Setup'\n object P: TPanel\n  object L: TLabel\n"
                "   Caption = 'Title'\n   Font.Name = 'Arial'\n  end\n end\nend\n");
  hooks.componentReadBegin.Remove(begin);
  hooks.componentReadEnd.Remove(end);
  hooks.textRead.Remove(text);

  EXPECT_EQ(events, (std::vector<std::string>{"F>F", "F.Caption", "F>P", "F>L", "L.Caption", "L.Font.Name",
                                              "<L", "<P", "<F"}));
  EXPECT_EQ(form.Caption(), "[Setup]");
  EXPECT_EQ(TextOf(form.FindComponent("L")->GetProperty("Caption")), "[Title]");
  EXPECT_EQ(dynamic_cast<TLabel*>(form.FindComponent("L"))->Font().Name(), "Arial");
}

TEST_F(FormDescriptionTest, MalformedTextNamesLineAndPropertyAndLeavesNothingBehind) {
  struct Case {
    const char* text;
    int line;
    const char* property;
    const char* message;
  };
  const std::string head = "object F: TForm\n  object B: TButton\n";  // lines 1-2
  const std::vector<Case> cases = {
      {"    Caption = 'open\n  end\nend", 3, "Caption", "Unterminated string"},
      {"    Colour = 1\n  end\nend", 3, "Colour", "has no property Colour"},
      {"    Default = Yes\n  end\nend", 3, "Default", "True or False"},
      {"    Caption = 12\n  end\nend", 3, "Caption", "Expected a string"},
      {"    Width = 'wide'\n  end\nend", 3, "Width", "Expected an integer"},
      {"    Width = 4294967296\n  end\nend", 3, "Width", "out of range"},
      {"    Width = 1.5\n  end\nend", 3, "Width", "Floating-point"},
      {"    Color = clNoSuchColour\n  end\nend", 3, "Color", "not a valid value"},
      {"    Caption = 'a'#256\n  end\nend", 3, "Caption", "Character code 256 out of range"},
      {"    Caption = 'a' +\n  end\nend", 4, "Caption", "String expected after '+'"},
      {"    Font.Style = [fsBold, fsHeavy]\n  end\nend", 3, "Font.Style", "fsHeavy is not a value of Style"},
      {"    Font.Weight = 3\n  end\nend", 3, "Font.Weight", "TFont has no property Weight"},
      {"    Font = 3\n  end\nend", 3, "Font", "sub-properties"},
      {"    Caption.Text = 'x'\n  end\nend", 3, "Caption.Text", "has no property Caption.Text"},
      {"    OnClick = Missing\n  end\nend", 3, "OnClick", "No event handler named Missing"},
      {"    Items = ('a', 'b')\n  end\nend", 3, "Items", "not supported"},
      {"    Caption 'x'\n  end\nend", 3, "Caption", "'=' expected"},
      {"    Caption =\n  end\nend", 4, "Caption", "Value expected"},
      {"  end\n  object B: TButton\n  end\nend", 4, "", "Duplicate component name B"},
      // A name the writer could not write back as `object NAME:`, or one
      // that would merge two components into one.
      {"    Name = 'MS Sans Serif'\n  end\nend", 3, "Name", "not a valid component name"},
      {"    Name = ''\n  end\nend", 3, "Name", "not a valid component name"},
      {"  end\n  object C: TButton\n    Name = 'b'\n  end\nend", 5, "Name",
       "A component named b already exists"},
      {"  end\n  object X: TNoSuchClass\n  end\nend", 4, "", "Class TNoSuchClass not found"},
      {"  end\n  object X: TControl\n  end\nend", 4, "", "cannot be created by name"},
      {"  end\n  object X TButton\n  end\nend", 4, "", "':' expected"},
      {"  end\nend\nend", 5, "", "Text after the end"},
      {"  end\n", 4, "", "'end' of object F missing"},
  };
  for (const Case& c : cases) {
    const std::string text = head + c.text;
    SCOPED_TRACE(text);
    TForm form(nullptr);
    auto* existing = form.Create<TLabel>();
    existing->SetName("Existing");
    try {
      ReadComponent(form, text);
      ADD_FAILURE() << "no error";
    } catch (const EReadError& error) {
      EXPECT_EQ(error.Line(), c.line);
      EXPECT_EQ(error.Property(), c.property);
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
      const std::string prefix = "Line " + std::to_string(c.line) +
                                 (c.property[0] != '\0' ? std::string(", property ") + c.property : "") +
                                 ": ";
      EXPECT_EQ(std::string(error.what()).rfind(prefix, 0), 0u) << error.what();
    }
    // What the failed read created is gone; what was there before stays.
    EXPECT_EQ(form.ComponentCount(), 1);
    EXPECT_EQ(form.FindComponent("Existing"), existing);
    EXPECT_FALSE(form.Loading());
  }
}

TEST_F(FormDescriptionTest, StructuralLimitsAreErrorsNotCrashes) {
  TForm form(nullptr);
  // A control inside a label (not a windowed control).
  try {
    ReadComponent(form, "object F: TForm\n object L: TLabel\n  object B: TButton\n  end\n end\nend");
    ADD_FAILURE();
  } catch (const EReadError& error) {
    EXPECT_EQ(error.Line(), 3);
    EXPECT_NE(std::string(error.what()).find("L cannot hold the control B"), std::string::npos);
  }
  EXPECT_EQ(form.ComponentCount(), 0);
  // Nesting one level beyond the limit.
  std::string deep;
  for (int i = 0; i <= kMaxDescriptionDepth; ++i) deep += "object P" + std::to_string(i) + ": TPanel\n";
  for (int i = 0; i <= kMaxDescriptionDepth; ++i) deep += "end\n";
  EXPECT_THROW(ReadComponent(form, deep), EReadError);
  // The root must be of the class the description names.
  EXPECT_THROW(ReadComponent(form, "object F: TButton\nend"), EReadError);
  EXPECT_THROW(ReadComponent(form, ""), EReadError);
  EXPECT_THROW(ReadComponent(form, "inherited F: TForm\nend"), EReadError);
}

TEST_F(FormDescriptionTest, WriterOutputReadsBackToTheSameTree) {
  const THandlerTable handlers = {{"FormShow", [](TComponent*) {}}, {"ButtonOKClick", [](TComponent*) {}}};
  TForm original(nullptr);
  ReadComponent(original, kSetupForm, handlers);
  // Texts the writer must quote, code and split.
  auto* title = dynamic_cast<TLabel*>(original.FindComponent("Title"));
  title->SetCaption(title->Caption() + " \xE9t\xE9 'quoted' " + std::string(70, 'x'));

  const std::string written = WriteComponent(original);
  TForm copy(nullptr);
  ReadComponent(copy, written, handlers);
  EXPECT_EQ(WriteComponent(copy), written);

  ASSERT_EQ(copy.ComponentCount(), original.ComponentCount());
  for (int i = 0; i < original.ComponentCount(); ++i) {
    const TComponent& a = *original.Component(i);
    const TComponent& b = *copy.Component(i);
    SCOPED_TRACE(a.Name());
    EXPECT_EQ(a.Name(), b.Name());
    EXPECT_EQ(a.ClassName(), b.ClassName());
    for (const PropertyInfo* property : a.Class().AllProperties()) {
      SCOPED_TRACE(property->name);
      const PropertyValue x = property->get(a), y = property->get(b);
      if (property->type == PropertyType::Font)
        EXPECT_EQ(FontOf(x), FontOf(y));
      else if (property->type == PropertyType::Event)
        EXPECT_EQ(static_cast<bool>(EventOf(x)), static_cast<bool>(EventOf(y)));
      else if (property->type == PropertyType::Text)
        EXPECT_EQ(TextOf(x), TextOf(y));
      else if (property->type == PropertyType::Boolean)
        EXPECT_EQ(BooleanOf(x), BooleanOf(y));
      else
        EXPECT_EQ(IntegerOf(x), IntegerOf(y));
    }
    if (const auto* control = dynamic_cast<const TControl*>(&a)) {
      EXPECT_EQ(control->Parent()->Name(), dynamic_cast<const TControl&>(b).Parent()->Name());
    }
  }
  EXPECT_EQ(copy.Caption(), original.Caption());
  EXPECT_EQ(copy.Font(), original.Font());

  // Defaults are left out; a long text is split with "+".
  EXPECT_EQ(written.find("Visible"), std::string::npos);
  EXPECT_NE(written.find("' +\n"), std::string::npos);
  EXPECT_NE(written.find("#233"), std::string::npos);
  EXPECT_NE(written.find("BorderIcons = [biSystemMenu, biHelp]"), std::string::npos);
  EXPECT_NE(written.find("OnClick = ButtonOKClick"), std::string::npos);
}

TEST_F(FormDescriptionTest, ExistingComponentsAreUpdatedAndRootsCreatedByClass) {
  TForm form(nullptr);
  auto* button = form.Create<TButton>();
  button->SetName("ButtonOK");
  ReadComponent(form, "object F: TForm\n object ButtonOK: TButton\n  Caption = 'Go'\n end\nend");
  EXPECT_EQ(form.ComponentCount(), 1);
  EXPECT_EQ(button->Caption(), "Go");
  EXPECT_THROW(ReadComponent(form, "object F: TForm\n object ButtonOK: TLabel\n end\nend"), EReadError);
  EXPECT_EQ(form.ComponentCount(), 1);

  const std::unique_ptr<TComponent> created =
      CreateFromDescription("object Made: TForm\n Caption = 'Made'\n object B: TButton\n end\nend");
  ASSERT_NE(dynamic_cast<TForm*>(created.get()), nullptr);
  EXPECT_EQ(created->Name(), "Made");
  EXPECT_EQ(created->ComponentCount(), 1);
}

}  // namespace
