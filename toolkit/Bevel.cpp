#include "toolkit/Bevel.h"

namespace toolkit {

const ClassInfo& TBevel::StaticClass() {
  static const ClassInfo info("TBevel", &TControl::StaticClass(),
                              {
                                  MakeEnumProperty<TBevel>("Shape",
                                                           {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine",
                                                            "bsLeftLine", "bsRightLine", "bsSpacer"},
                                                           &TBevel::Shape, &TBevel::SetShape),
                              },
                              [](TComponent* owner) { return std::make_unique<TBevel>(owner); });
  return info;
}

TBevel::TBevel(TComponent* owner) : TControl(owner) { SetBounds(0, 0, 50, 50); }

}  // namespace toolkit
