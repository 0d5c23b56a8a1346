// Form descriptions: the text a form's components and properties are stored
// in, in the classic form
//
//   object SetupDialog: TForm
//     Caption = 'Setup'
//     Font.Name = 'MS Sans Serif'
//     BorderIcons = [biSystemMenu, biHelp]
//     OnShow = FormShow
//     object ButtonOK: TButton
//       Caption = '&OK'
//     end
//   end
//
// Values: integers (decimal, "$" hexadecimal, optional sign), strings in
// single quotes ('' is a quote) mixed with #nnn character codes and joined
// with "+" across lines, identifiers (True/False, enumeration and named
// integer values such as clBtnFace, event handler names) and sets [a, b].
// Font sub-properties are written Font.Name, Font.Height, Font.Style, ...
#pragma once

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "toolkit/Component.h"

namespace toolkit {

// Event handlers a description may bind, by the names it writes (compared
// without case).
using THandlerTable = std::map<std::string, TNotifyEvent, NameLess>;

// A description that cannot be read: its message names the line and, when
// one is involved, the property ("Line 7, property Font.Style: ...").
class EReadError : public std::runtime_error {
 public:
  EReadError(int line, std::string property, const std::string& message);
  int Line() const { return line_; }
  const std::string& Property() const { return property_; }

 private:
  int line_;
  std::string property_;
};

// Nested objects deeper than this are refused.
inline constexpr int kMaxDescriptionDepth = 32;

// Reads `text` into `root`, which must be of the class the outer object
// names (or derive from it). Nested objects become components owned by root
// (an existing one of the same name is updated instead) whose parent is the
// enclosing object when that is a windowed control. Runs the reading hooks
// (begin and end of each component, each text value), then each component's
// loaded step, children in reading order and root last.
//
// The whole text is checked for syntax before anything is touched; when a
// later step fails (unknown class or property, wrong value) the components
// the read created are destroyed again and EReadError is thrown.
void ReadComponent(TComponent& root, std::string_view text, const THandlerTable& handlers = {});

// Creates the outer object's class from the class registry, without an
// owner, and reads the text into it.
std::unique_ptr<TComponent> CreateFromDescription(std::string_view text, const THandlerTable& handlers = {});

// Writes `root` and the components it owns, nested by parent, with every
// property that differs from a new component of its class. Event properties
// are written by the handler names a read bound to them.
std::string WriteComponent(const TComponent& root);

}  // namespace toolkit
