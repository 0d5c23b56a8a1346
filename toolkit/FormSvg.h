// Draws a form as SVG (frame, caption, caption buttons, controls with their
// captions and check marks) so that a person can look at a dialog.
#pragma once

#include <string>

#include "toolkit/Form.h"

namespace toolkit {

// The whole window at the origin; hidden controls are left out. Elements
// carry ids: "frame", "caption", "close", "help", "client", and each
// control's name on its main element (a button's or panel's rectangle, a
// check box's bounds, a bevel's line, a label's text group), placed at the
// control's position in window coordinates. A caption's text is shown
// without its "&"; the accelerator letter is a tspan of class "accelerator",
// underlined within the text. Every text is held at its measured width
// (TextMetrics.h), and a rule beside a caption keeps clear of it.
std::string DrawFormSvg(const TForm& form);

}  // namespace toolkit
