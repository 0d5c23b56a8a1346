// The setup dialog's drawing as the demo makes it, read the way a viewer
// lays it out: each text spans the width its textLength gives it, whatever
// face the viewer substitutes, so no rule may cross that span and each
// accelerator underline must belong to the text run.
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "QuorvexE2eTest.h"

namespace e2e {
namespace {

struct TextSpan {
  std::string text;
  double left, right, top, bottom;
};

struct Rule {
  std::string id;
  double x1, x2, y;
};

struct Drawing {
  std::vector<TextSpan> texts;
  std::vector<Rule> rules;
  std::vector<std::string> underlined;  // the accelerator letters, in order
  std::vector<std::string> problems;
};

std::string Attribute(xmlNode* node, const char* name) {
  xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
  if (value == nullptr) return {};
  std::string text(reinterpret_cast<const char*>(value));
  xmlFree(value);
  return text;
}

double Number(xmlNode* node, const char* name) {
  const std::string text = Attribute(node, name);
  return text.empty() ? 0.0 : std::stod(text);
}

std::string Content(xmlNode* node) {
  xmlChar* value = xmlNodeGetContent(node);
  std::string text(value != nullptr ? reinterpret_cast<const char*>(value) : "");
  xmlFree(value);
  return text;
}

bool Is(xmlNode* node, const char* name) {
  return node->type == XML_ELEMENT_NODE && std::string(reinterpret_cast<const char*>(node->name)) == name;
}

// A text reaches a font size above its baseline at most and a quarter of it
// below, in any ordinary face.
void Read(xmlNode* node, Drawing& drawing) {
  for (; node != nullptr; node = node->next) {
    if (Is(node, "text")) {
      const std::string text = Content(node);
      const double length = Number(node, "textLength");
      const double size = Number(node, "font-size");
      if (length <= 0.0) drawing.problems.push_back("no textLength: " + text);
      if (!Attribute(node, "font-family").ends_with(", sans-serif"))
        drawing.problems.push_back("no generic font family: " + text);
      const double x = Number(node, "x"), y = Number(node, "y");
      const double left = Attribute(node, "text-anchor") == "middle" ? x - length / 2 : x;
      drawing.texts.push_back({text, left, left + length, y - size, y + size / 4});
      for (xmlNode* child = node->children; child != nullptr; child = child->next)
        if (Is(child, "tspan") && Attribute(child, "class") == "accelerator") {
          drawing.underlined.push_back(Content(child));
          if (Attribute(child, "text-decoration") != "underline")
            drawing.problems.push_back("accelerator not underlined: " + text);
        }
      continue;
    }
    if (Is(node, "line")) {
      if (Attribute(node, "class") == "accelerator") drawing.problems.push_back("a separate underline");
      if (Number(node, "y1") == Number(node, "y2"))
        drawing.rules.push_back(
            {Attribute(node, "id"), Number(node, "x1"), Number(node, "x2"), Number(node, "y1")});
    }
    Read(node->children, drawing);
  }
}

Drawing ReadDrawing(const std::string& svg) {
  Drawing drawing;
  std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> document(
      xmlReadMemory(svg.data(), static_cast<int>(svg.size()), "dialog.svg", nullptr, XML_PARSE_NONET),
      xmlFreeDoc);
  if (!document) {
    drawing.problems.push_back("not XML");
    return drawing;
  }
  Read(xmlDocGetRootElement(document.get()), drawing);
  return drawing;
}

using DialogDrawingE2eTest = QuorvexE2eTest;

TEST_F(DialogDrawingE2eTest, NoRuleCrossesACaptionAndEveryUnderlineIsInItsTextRun) {
  WriteLegacySettings(true);
  const auto result = Run({Example("six-layer"), "--setup", "all", "--dialog-svg", File("dialog.svg")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const Drawing drawing = ReadDrawing(ReadText(File("dialog.svg")));

  EXPECT_EQ(drawing.problems, std::vector<std::string>{});
  EXPECT_EQ(drawing.underlined, (std::vector<std::string>{"D", "p", "G", "y", "r", "e", "n"}));
  std::set<std::string> groupRules;
  for (const Rule& rule : drawing.rules) {
    if (rule.id.starts_with("Bevel")) groupRules.insert(rule.id);
    for (const TextSpan& text : drawing.texts) {
      const bool crosses =
          rule.y >= text.top && rule.y <= text.bottom && rule.x1 < text.right && rule.x2 > text.left;
      EXPECT_FALSE(crosses) << "rule " << rule.id << " at y " << rule.y << " from " << rule.x1 << " to "
                            << rule.x2 << " crosses \"" << text.text << "\" from " << text.left << " to "
                            << text.right;
    }
  }
  // Each group title keeps its rule, shortened as far as its caption needs.
  EXPECT_EQ(groupRules, (std::set<std::string>{"Bevel1", "Bevel3", "Bevel4"}));
}

}  // namespace
}  // namespace e2e
