#include "toolkit/FormSvg.h"

#include <cstdio>
#include <vector>

#include "toolkit/Bevel.h"
#include "toolkit/Button.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Label.h"
#include "toolkit/MessageDialog.h"
#include "toolkit/Panel.h"
#include "toolkit/TextMetrics.h"

namespace toolkit {
namespace {

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        // Control characters are not allowed in XML text.
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\n' || c == '\t') out += c;
    }
  }
  return out;
}

std::string Colour(TColor color) {
  char text[8];
  const uint32_t rgb = ColorToRgb(color);
  std::snprintf(text, sizeof text, "#%02X%02X%02X", rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
  return text;
}

std::string IdAttribute(const std::string& id) { return id.empty() ? "" : " id=\"" + Escape(id) + "\""; }

std::string Rect(int x, int y, int w, int h, const std::string& fill, const std::string& stroke,
                 const std::string& id = "") {
  return "<rect" + IdAttribute(id) + " x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) +
         "\" width=\"" + std::to_string(w) + "\" height=\"" + std::to_string(h) + "\" fill=\"" + fill +
         "\" stroke=\"" + stroke + "\"/>\n";
}

// The form's font, then the face the widths were measured with, then the
// generic family, so that a viewer without the form's font still draws text
// no wider than measured.
std::string FontFamily(const TFont& font) {
  std::string name;
  for (const char c : font.Name())
    if (c != '\'' && c != '\\') name += c;
  std::string family = "'" + Escape(name) + "', ";
  if (name != kMeasuredFace) family += std::string("'") + kMeasuredFace + "', ";
  return family + "sans-serif";
}

// A text element drawn at the width the toolkit measured for `shown`:
// textLength holds it there in viewers that honour it, and the measured
// face gives it in those that do not.
std::string TextStart(int x, int y, const std::string& shown, const TFont& font, const char* anchor,
                      const std::string& id) {
  const int width = TextWidth(shown, font);
  return "<text" + IdAttribute(id) + " x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) +
         "\" font-family=\"" + FontFamily(font) + "\" font-size=\"" + std::to_string(FontPixelSize(font)) +
         "\" text-anchor=\"" + anchor + "\"" + ((font.Style() & fsBold) != 0 ? " font-weight=\"bold\"" : "") +
         (width > 0 ? " textLength=\"" + std::to_string(width) + "\" lengthAdjust=\"spacingAndGlyphs\""
                    : "") +
         ">";
}

std::string Text(int x, int y, const std::string& text, const TFont& font, const char* anchor = "start",
                 const std::string& id = "") {
  return TextStart(x, y, text, font, anchor, id) + Escape(text) + "</text>\n";
}

std::string Line(int x1, int y1, int x2, int y2, const char* stroke, const std::string& id = "") {
  return "<line" + IdAttribute(id) + " x1=\"" + std::to_string(x1) + "\" y1=\"" + std::to_string(y1) +
         "\" x2=\"" + std::to_string(x2) + "\" y2=\"" + std::to_string(y2) + "\" stroke=\"" + stroke +
         "\"/>\n";
}

// The bytes of the UTF-8 character that starts at `at`.
std::size_t CharacterLength(const std::string& text, std::size_t at) {
  std::size_t end = at + 1;
  while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  return end - at;
}

// A control's caption as shown. Its accelerator letter is underlined as part
// of the text run, so the line sits under the letter in whatever face the
// viewer draws.
std::string CaptionText(int x, int y, const std::string& caption, const TFont& font,
                        const char* anchor = "start", const std::string& id = "") {
  const std::string shown = DisplayCaption(caption);
  const std::size_t accelerator = AcceleratorIndex(caption);
  if (accelerator == std::string::npos || accelerator >= shown.size())
    return Text(x, y, shown, font, anchor, id);
  const std::size_t length = CharacterLength(shown, accelerator);
  return TextStart(x, y, shown, font, anchor, id) + Escape(shown.substr(0, accelerator)) +
         "<tspan class=\"accelerator\" text-decoration=\"underline\">" +
         Escape(shown.substr(accelerator, length)) + "</tspan>" + Escape(shown.substr(accelerator + length)) +
         "</text>\n";
}

// Where a caption's text lies, in window coordinates.
struct TextBox {
  int left, top, right, bottom;
};

TextBox BoxOf(int x, int baseline, const std::string& shown, const TFont& font) {
  return {x, baseline - TextAscent(font), x + TextWidth(shown, font), baseline + TextDescent(font)};
}

// A label's caption: one line per line break, the first baseline 10 pixels
// below the label's top and each next one 13 pixels lower.
constexpr int kLabelBaseline = 10;
constexpr int kLabelLineHeight = 13;
// A check box's caption starts right of its box.
constexpr int kCheckBoxTextLeft = 17;
// Room left between a caption and a rule beside it.
constexpr int kRuleGap = 6;

std::vector<std::string> CaptionLines(const std::string& caption) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = caption.find('\n', start);
    lines.push_back(caption.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return lines;
    start = end + 1;
  }
}

int CheckBoxBaseline(int y, int height) { return y + height / 2 + 4; }

// The captions a control draws beside its own shape, where they lie.
std::vector<TextBox> CaptionBoxes(const TControl& control, int x, int y) {
  std::vector<TextBox> boxes;
  if (dynamic_cast<const TLabel*>(&control) != nullptr) {
    int baseline = y + kLabelBaseline;
    for (const std::string& line : CaptionLines(control.Caption())) {
      boxes.push_back(BoxOf(x, baseline, DisplayCaption(line), control.Font()));
      baseline += kLabelLineHeight;
    }
  } else if (dynamic_cast<const TCheckBox*>(&control) != nullptr) {
    boxes.push_back(BoxOf(x + kCheckBoxTextLeft, CheckBoxBaseline(y, control.Height()),
                          DisplayCaption(control.Caption()), control.Font()));
  }
  return boxes;
}

// A horizontal rule from x1 to x2 over the rows y1 to y2, shortened so that
// it crosses no caption: of the pieces before and after a caption it keeps
// the longer (the one after on a tie, as a group's rule follows its title).
// False when nothing is left of it.
bool ClipRule(int& x1, int& x2, int y1, int y2, const std::vector<TextBox>& captions) {
  for (const TextBox& box : captions) {
    const int before = box.left - kRuleGap, after = box.right + kRuleGap;
    if (box.bottom < y1 || box.top > y2 || after <= x1 || before >= x2) continue;
    if (before - x1 > x2 - after)
      x2 = before;
    else
      x1 = after;
  }
  return x1 < x2;
}

// Each control's main element carries the control's name as its id and
// lies at the control's position in the window.
std::string DrawControl(const TControl& control, int x, int y, const std::vector<TextBox>& captions) {
  const int w = control.Width(), h = control.Height();
  const std::string& id = control.Name();
  const int textY = CheckBoxBaseline(y, h);
  if (const auto* button = dynamic_cast<const TButton*>(&control)) {
    return Rect(x, y, w, h, Colour(clBtnFace), button->Default() ? "#000000" : "#A0A0A0", id) +
           CaptionText(x + w / 2, textY, control.Caption(), control.Font(), "middle");
  }
  if (const auto* box = dynamic_cast<const TCheckBox*>(&control)) {
    const int boxY = y + (h - 13) / 2;
    std::string svg = Rect(x, y, w, h, "none", "none", id) + Rect(x, boxY, 13, 13, "#FFFFFF", "#333333");
    if (box->Checked())
      svg += "<path class=\"check\" d=\"M" + std::to_string(x + 3) + " " + std::to_string(boxY + 6) + " L" +
             std::to_string(x + 5) + " " + std::to_string(boxY + 10) + " L" + std::to_string(x + 10) + " " +
             std::to_string(boxY + 3) + "\" fill=\"none\" stroke=\"#000000\" stroke-width=\"2\"/>\n";
    return svg + CaptionText(x + kCheckBoxTextLeft, textY, control.Caption(), control.Font());
  }
  if (const auto* bevel = dynamic_cast<const TBevel*>(&control)) {
    switch (bevel->Shape()) {
      case TBevelShape::TopLine: {
        int x1 = x, x2 = x + w;
        if (!ClipRule(x1, x2, y, y + 1, captions)) return "";
        return Line(x1, y, x2, y, "#A0A0A0", id) + Line(x1, y + 1, x2, y + 1, "#FFFFFF");
      }
      case TBevelShape::BottomLine: {
        int x1 = x, x2 = x + w;
        if (!ClipRule(x1, x2, y + h - 1, y + h - 1, captions)) return "";
        return Line(x1, y + h - 1, x2, y + h - 1, "#A0A0A0", id);
      }
      case TBevelShape::LeftLine:
        return Line(x, y, x, y + h, "#A0A0A0", id);
      case TBevelShape::RightLine:
        return Line(x + w - 1, y, x + w - 1, y + h, "#A0A0A0", id);
      case TBevelShape::Spacer:
        return "";
      default:
        return Rect(x, y, w, h, "none", "#A0A0A0", id);
    }
  }
  if (dynamic_cast<const TPanel*>(&control) != nullptr)
    return Rect(x, y, w, h, Colour(control.Color()), "#A0A0A0", id);
  if (dynamic_cast<const TLabel*>(&control) != nullptr) {
    std::string svg = "<g" + IdAttribute(id) + ">\n";
    int baseline = y + kLabelBaseline;
    for (const std::string& line : CaptionLines(control.Caption())) {
      svg += CaptionText(x, baseline, line, control.Font());
      baseline += kLabelLineHeight;
    }
    return svg + "</g>\n";
  }
  return Rect(x, y, w, h, "none", "#C0C0C0", id);
}

void DrawChildren(const TWinControl& parent, int originX, int originY, std::string& svg) {
  // The siblings' captions first: a rule drawn before a label must already
  // keep clear of it.
  std::vector<TextBox> captions;
  for (int i = 0; i < parent.ControlCount(); ++i) {
    const TControl& control = *parent.Controls(i);
    if (!control.Visible()) continue;
    const std::vector<TextBox> boxes =
        CaptionBoxes(control, originX + control.Left(), originY + control.Top());
    captions.insert(captions.end(), boxes.begin(), boxes.end());
  }
  for (int i = 0; i < parent.ControlCount(); ++i) {
    const TControl& control = *parent.Controls(i);
    if (!control.Visible()) continue;
    const int x = originX + control.Left(), y = originY + control.Top();
    svg += DrawControl(control, x, y, captions);
    if (const auto* windowed = dynamic_cast<const TWinControl*>(&control)) DrawChildren(*windowed, x, y, svg);
  }
}

}  // namespace

std::string DrawFormSvg(const TForm& form) {
  const int w = form.Width(), h = form.Height();
  const TRect frame = form.FrameInsets();
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(w) +
                    "\" height=\"" + std::to_string(h) + "\" viewBox=\"0 0 " + std::to_string(w) + " " +
                    std::to_string(h) + "\">\n";
  svg += Rect(0, 0, w, h, "#D4D0C8", "#404040", "frame");
  if (frame.Top > frame.Left) {
    const int captionHeight = frame.Top - frame.Left;
    svg += Rect(frame.Left, frame.Left, w - frame.Left - frame.Right, captionHeight, "#0A246A", "none",
                "caption");
    TFont captionFont = form.Font();
    captionFont.SetStyle(fsBold);
    svg += "<g fill=\"#FFFFFF\">" +
           Text(frame.Left + 4, frame.Left + captionHeight / 2 + 4, form.Caption(), captionFont);
    int buttonX = w - frame.Right - 18;
    if ((form.BorderIcons() & biSystemMenu) != 0) {
      svg +=
          Text(buttonX + 8, frame.Left + captionHeight / 2 + 4, "\xC3\x97", captionFont, "middle", "close");
      buttonX -= 18;
    }
    if ((form.BorderIcons() & biHelp) != 0)
      svg += Text(buttonX + 8, frame.Left + captionHeight / 2 + 4, "?", captionFont, "middle", "help");
    svg += "</g>\n";
  }
  svg += Rect(frame.Left, frame.Top, form.ClientWidth(), form.ClientHeight(), Colour(form.Color()), "none",
              "client");
  if (const auto* box = dynamic_cast<const TMessageForm*>(&form);
      box != nullptr && !MessageDialogIconName(box->DialogType()).empty())
    svg += "<circle class=\"icon\" cx=\"" + std::to_string(frame.Left + 24) + "\" cy=\"" +
           std::to_string(frame.Top + 24) + "\" r=\"16\" fill=\"none\" stroke=\"#000000\"><title>" +
           MessageDialogIconName(box->DialogType()) + "</title></circle>\n";
  DrawChildren(form, frame.Left, frame.Top, svg);
  return svg + "</svg>\n";
}

}  // namespace toolkit
