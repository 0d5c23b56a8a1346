// A container that groups controls on a background of its own.
#pragma once

#include "toolkit/Control.h"

namespace toolkit {

class TPanel : public TWinControl {
 public:
  explicit TPanel(TComponent* owner);
  TOOLKIT_DECLARE_CLASS()
};

}  // namespace toolkit
