// A caption on its parent, without a window of its own.
#pragma once

#include "toolkit/Control.h"

namespace toolkit {

class TLabel : public TControl {
 public:
  explicit TLabel(TComponent* owner);
  TOOLKIT_DECLARE_CLASS()
};

}  // namespace toolkit
