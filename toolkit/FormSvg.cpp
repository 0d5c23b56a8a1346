#include "toolkit/FormSvg.h"

#include <cstdio>

#include "toolkit/Bevel.h"
#include "toolkit/Button.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Label.h"
#include "toolkit/MessageDialog.h"
#include "toolkit/Panel.h"

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

std::string TextStart(int x, int y, const TFont& font, const char* anchor, const std::string& id) {
  return "<text" + IdAttribute(id) + " x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) +
         "\" font-family=\"" + Escape(font.Name()) + "\" font-size=\"" +
         std::to_string(font.Height() < 0 ? -font.Height() : font.Height()) + "\" text-anchor=\"" + anchor +
         "\"" + ((font.Style() & fsBold) != 0 ? " font-weight=\"bold\"" : "") + ">";
}

std::string Text(int x, int y, const std::string& text, const TFont& font, const char* anchor = "start",
                 const std::string& id = "") {
  return TextStart(x, y, font, anchor, id) + Escape(text) + "</text>\n";
}

// An estimate of a text's width: the stand-in has no font metrics, so
// characters count as narrow, wide, capital or ordinary fractions of the
// font's pixel height.
int EstimateWidth(const std::string& text, const TFont& font) {
  const int size = font.Height() < 0 ? -font.Height() : font.Height();
  int tenths = 0;
  for (const char c : text) {
    if (std::string_view("iljtfrI.,:;'!| ").find(c) != std::string_view::npos)
      tenths += 3;
    else if (c == 'm' || c == 'w' || c == 'M' || c == 'W')
      tenths += 8;
    else if (c >= 'A' && c <= 'Z')
      tenths += 6;
    else
      tenths += 5;
  }
  return (tenths * size + 5) / 10;
}

std::string Line(int x1, int y1, int x2, int y2, const char* stroke, const std::string& id = "",
                 const char* cssClass = nullptr) {
  return "<line" + IdAttribute(id) + (cssClass != nullptr ? std::string(" class=\"") + cssClass + "\"" : "") +
         " x1=\"" + std::to_string(x1) + "\" y1=\"" + std::to_string(y1) + "\" x2=\"" + std::to_string(x2) +
         "\" y2=\"" + std::to_string(y2) + "\" stroke=\"" + stroke + "\"/>\n";
}

// A control's caption as shown, with a line under its accelerator letter
// (placed by the width estimate).
std::string CaptionText(int x, int y, const std::string& caption, const TFont& font,
                        const char* anchor = "start", const std::string& id = "") {
  const std::string shown = DisplayCaption(caption);
  std::string svg = Text(x, y, shown, font, anchor, id);
  const std::size_t accelerator = AcceleratorIndex(caption);
  if (accelerator == std::string::npos) return svg;
  const int start = std::string_view(anchor) == "middle" ? x - EstimateWidth(shown, font) / 2 : x;
  const int left = start + EstimateWidth(shown.substr(0, accelerator), font);
  const int right = left + EstimateWidth(shown.substr(accelerator, 1), font);
  return svg + Line(left, y + 2, right, y + 2, "#000000", "", "accelerator");
}

// Each control's main element carries the control's name as its id and
// lies at the control's position in the window.
std::string DrawControl(const TControl& control, int x, int y) {
  const int w = control.Width(), h = control.Height();
  const std::string& id = control.Name();
  const int textY = y + h / 2 + 4;
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
    return svg + CaptionText(x + 17, textY, control.Caption(), control.Font());
  }
  if (const auto* bevel = dynamic_cast<const TBevel*>(&control)) {
    switch (bevel->Shape()) {
      case TBevelShape::TopLine:
        return Line(x, y, x + w, y, "#A0A0A0", id) + Line(x, y + 1, x + w, y + 1, "#FFFFFF");
      case TBevelShape::BottomLine:
        return Line(x, y + h - 1, x + w, y + h - 1, "#A0A0A0", id);
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
    // The first line's baseline sits 10 pixels below the label's top.
    std::string svg = "<g" + IdAttribute(id) + ">\n";
    int lineY = y + 10;
    std::size_t start = 0;
    const std::string& caption = control.Caption();
    while (start <= caption.size()) {
      const std::size_t end = caption.find('\n', start);
      svg += CaptionText(x, lineY,
                         caption.substr(start, end == std::string::npos ? std::string::npos : end - start),
                         control.Font());
      if (end == std::string::npos) break;
      start = end + 1;
      lineY += 13;
    }
    return svg + "</g>\n";
  }
  return Rect(x, y, w, h, "none", "#C0C0C0", id);
}

void DrawChildren(const TWinControl& parent, int originX, int originY, std::string& svg) {
  for (int i = 0; i < parent.ControlCount(); ++i) {
    const TControl& control = *parent.Controls(i);
    if (!control.Visible()) continue;
    const int x = originX + control.Left(), y = originY + control.Top();
    svg += DrawControl(control, x, y);
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
