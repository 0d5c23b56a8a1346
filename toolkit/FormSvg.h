// Draws a form as SVG (frame, caption, caption buttons, controls with their
// captions and check marks) so that a person can look at a dialog.
#pragma once

#include <string>

#include "toolkit/Form.h"

namespace toolkit {

// The whole window at the origin; hidden controls are left out.
std::string DrawFormSvg(const TForm& form);

// A caption as shown: "&&" becomes "&", a single "&" (the accelerator mark)
// is dropped.
std::string DisplayCaption(const std::string& caption);

}  // namespace toolkit
