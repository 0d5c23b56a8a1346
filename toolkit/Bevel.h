// A drawn line or frame (a rule under a group title, for example).
#pragma once

#include "toolkit/Control.h"

namespace toolkit {

enum class TBevelShape { Box, Frame, TopLine, BottomLine, LeftLine, RightLine, Spacer };

class TBevel : public TControl {
 public:
  explicit TBevel(TComponent* owner);
  TOOLKIT_DECLARE_CLASS()

  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape shape) { shape_ = shape; }

 private:
  TBevelShape shape_ = TBevelShape::Box;
};

}  // namespace toolkit
