// Checks that a text is well-formed XML by an XML parser of its own
// (libxml2), so that every SVG the tests see is one a viewer can open.
#pragma once

#include <libxml/parser.h>

#include <string>

namespace testing_support {

// Empty when `text` is well-formed XML; else the parser's first complaint.
inline std::string XmlProblem(const std::string& text) {
  xmlDocPtr document = xmlReadMemory(text.data(), static_cast<int>(text.size()), "drawing.svg", nullptr,
                                     XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  if (document) {
    xmlFreeDoc(document);
    return {};
  }
  const xmlError* error = xmlGetLastError();
  return error && error->message ? "line " + std::to_string(error->line) + ": " + error->message
                                 : std::string("not well-formed XML");
}

}  // namespace testing_support
