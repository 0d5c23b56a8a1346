#include "toolkit/Bevel.h"

namespace toolkit {

const ClassInfo& TBevel::StaticClass() {
  static const ClassInfo info(
      "TBevel", &TControl::StaticClass(),
      {
          MakeProperty<TBevel>(
              "Shape", PropertyType::Integer, [](const TBevel& b) { return static_cast<int64_t>(b.Shape()); },
              [](TBevel& b, const PropertyValue& v) {
                const int64_t shape = IntegerOf(v);
                if (shape < 0 || shape > static_cast<int64_t>(TBevelShape::Spacer))
                  throw EPropertyError("Invalid property value");
                b.SetShape(static_cast<TBevelShape>(shape));
              }),
      },
      [](TComponent* owner) { return std::make_unique<TBevel>(owner); });
  return info;
}

TBevel::TBevel(TComponent* owner) : TControl(owner) { SetBounds(0, 0, 50, 50); }

}  // namespace toolkit
