// The layer stack of a KiCad board as the editor's stack: copper layers top
// to bottom, every inner layer a mid layer whatever its KiCad type (a KiCad
// power layer is ordinary copper, and KiCad's plotter numbers inner layers
// by position), the dielectric below each copper layer and the two solder
// masks as the external dielectrics.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "editor/kicad/KicadReading.h"
#include "editor/kicad/KicadUnits.h"

namespace brelix::kicad {
namespace {

constexpr int64_t kDefaultCopperNm = 35000;  // 0.035 mm
constexpr int64_t kDefaultMaskNm = 10000;    // 0.01 mm
constexpr int64_t kDefaultBoardNm = 1600000;
constexpr double kDefaultDielectricConstant = 4.5;
constexpr double kDefaultMaskConstant = 3.3;
constexpr const char* kDefaultDielectricMaterial = "FR4";
constexpr const char* kDefaultMaskMaterial = "Solder Resist";
constexpr uint8_t kCore = 1;
constexpr uint8_t kPrepreg = 2;
constexpr uint8_t kSurface = 3;

// Where the non-copper layers are drawn in the editor's picture.
struct NonCopper {
  const char* name;
  uint8_t editorLayer;
};
constexpr std::array<NonCopper, 18> kNonCopper = {{{"F.SilkS", 33},
                                                   {"B.SilkS", 34},
                                                   {"F.Paste", 35},
                                                   {"B.Paste", 36},
                                                   {"F.Mask", 37},
                                                   {"B.Mask", 38},
                                                   {"Edge.Cuts", kOutlineLayer},
                                                   {"Dwgs.User", 58},
                                                   {"Cmts.User", 59},
                                                   {"Eco1.User", 60},
                                                   {"Eco2.User", 61},
                                                   {"Margin", 62},
                                                   {"F.CrtYd", 63},
                                                   {"B.CrtYd", 64},
                                                   {"F.Fab", 65},
                                                   {"B.Fab", 66},
                                                   {"F.Adhes", 67},
                                                   {"B.Adhes", 68}}};

// The number of an inner copper layer "In<N>.Cu"; 0 for any other name.
int InnerNumber(std::string_view name) {
  if (!name.starts_with("In") || !name.ends_with(".Cu")) return 0;
  const std::string_view digits = name.substr(2, name.size() - 5);
  int number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  return error == std::errc() && end == digits.data() + digits.size() && number > 0 ? number : 0;
}

bool IsCopperName(std::string_view name) { return name == "F.Cu" || name == "B.Cu" || InnerNumber(name) > 0; }

// Copper layers top to bottom: F.Cu, In1.Cu, In2.Cu, ..., B.Cu.
int CopperOrder(std::string_view name) {
  if (name == "F.Cu") return 0;
  if (name == "B.Cu") return 1000;
  return InnerNumber(name);
}

// A dielectric constant: finite and above zero in single precision, as the legend shows it.
double ConstantOf(const std::string& file, const Expr& value) {
  const double number = FiniteNumberOf(file, value, "a number");
  const std::string text = value.Text();
  if (number <= 0 || number > std::numeric_limits<float>::max())
    Refuse(file, value,
           "epsilon_r " + text + " must be above zero and at most 3.4e38 (the single-precision range)");
  return number;
}

// Nanometres the editor holds as a thickness; `what` names it when refused.
void CheckThickness(const std::string& file, const Expr& at, int64_t nm, const std::string& what) {
  if (nm > LargestNanometres())
    Refuse(file, at,
           what + " is " + FormatMillimetres(nm) + " mm thick, more than the editor holds (" +
               FormatMillimetres(LargestNanometres()) + " mm)");
}

Dielectric MakeDielectric(std::string material, uint8_t type, double constant, int64_t nm) {
  Dielectric d;
  d.material = std::move(material);
  d.type = type;
  d.constant = constant;
  d.height = static_cast<int32_t>(NanometresToUnits(nm));
  return d;
}

// A dielectric of the stack-up. Its sublayers (each begun by a bare
// `addsublayer`) add their thicknesses; material and constant are the first's.
Dielectric ReadDielectric(const std::string& file, const Expr& entry, uint8_t defaultType,
                          const char* defaultMaterial, double defaultConstant, int64_t defaultNm) {
  std::string material;
  bool haveMaterial = false;
  double constant = defaultConstant;
  bool haveConstant = false;
  uint8_t type = defaultType;
  int64_t total = 0;
  int64_t current = -1;  // thickness of the sublayer being read; -1 when it gave none
  bool firstSublayer = true;
  for (Expr e = entry.At(2); e.Valid(); e = e.Next()) {
    if (e.IsAtom()) {
      if (e.Text() == "addsublayer") {
        total += current < 0 ? 0 : current;
        current = -1;
        firstSublayer = false;
      }
      continue;
    }
    const std::string_view head = e.Head();
    if (head == "thickness") {
      current = ThicknessOf(file, e.At(1));
    } else if (head == "material" && firstSublayer && !haveMaterial) {
      material = e.At(1).Text();
      haveMaterial = true;
    } else if (head == "epsilon_r" && firstSublayer && !haveConstant) {
      constant = ConstantOf(file, e.At(1));
      haveConstant = true;
    } else if (head == "type" && firstSublayer) {
      const std::string name = e.At(1).Text();
      if (name == "core") type = kCore;
      if (name == "prepreg") type = kPrepreg;
    }
  }
  if (current < 0 && total == 0) current = defaultNm;
  total += current < 0 ? 0 : current;
  CheckThickness(file, entry, total, "the dielectric \"" + entry.At(1).Text() + "\"");
  return MakeDielectric(haveMaterial ? material : defaultMaterial, type, constant, total);
}

}  // namespace

void ReadLayers(const std::string& file, const Expr& root, KicadSource& source) {
  const Expr layers = root.Child("layers");
  if (!layers) Refuse(file, root, "the board has no (layers ...) list");
  for (Expr e = layers.At(1); e.Valid(); e = e.Next()) {
    if (!e.IsList())
      Refuse(file, e, "a layer of (layers ...) must be a list (NUMBER \"NAME\" TYPE [\"USER NAME\"])");
    KicadLayer layer;
    const std::string number = e.At(0).Text();
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), layer.number);
    if (error != std::errc() || end != number.data() + number.size() || layer.number < 0)
      Refuse(file, e, "\"" + number + "\" is not a layer number");
    layer.name = e.At(1).Text();
    layer.type = e.At(2).Text();
    if (layer.name.empty()) Refuse(file, e, "a layer without a name");
    if (e.At(3).IsAtom()) layer.userName = e.At(3).Text();
    for (const KicadLayer& other : source.layers)
      if (other.name == layer.name) Refuse(file, e, "the layer \"" + layer.name + "\" is defined twice");
    source.layers.push_back(std::move(layer));
  }

  // Editor ids: F.Cu the top layer, B.Cu the bottom one, inner layers in
  // order as mid layers.
  std::vector<const KicadLayer*> copper;
  for (const KicadLayer& layer : source.layers)
    if (IsCopperName(layer.name)) copper.push_back(&layer);
  std::sort(copper.begin(), copper.end(), [](const KicadLayer* a, const KicadLayer* b) {
    return CopperOrder(a->name) < CopperOrder(b->name);
  });
  if (copper.size() < 2 || copper.front()->name != "F.Cu" || copper.back()->name != "B.Cu")
    Refuse(file, layers, "the board needs the copper layers F.Cu and B.Cu");
  uint8_t nextMid = kTopLayer + 1;
  for (const KicadLayer* layer : copper) {
    uint8_t id = 0;
    if (layer->name == "F.Cu") {
      id = kTopLayer;
    } else if (layer->name == "B.Cu") {
      id = kBottomLayer;
    } else {
      if (nextMid >= kBottomLayer) Refuse(file, layers, "more than 30 inner copper layers");
      id = nextMid++;
    }
    source.editorLayers[layer->name] = id;
  }
  uint8_t nextUser = 69;  // Mechanical13 on: User.1, User.2, ...
  for (const KicadLayer& layer : source.layers) {
    if (IsCopperName(layer.name)) continue;
    const auto known = std::find_if(kNonCopper.begin(), kNonCopper.end(),
                                    [&](const NonCopper& n) { return layer.name == n.name; });
    if (known != kNonCopper.end())
      source.editorLayers[layer.name] = known->editorLayer;
    else
      source.editorLayers[layer.name] = nextUser < 72 ? nextUser++ : 72;
  }
}

void ReadStack(const std::string& file, const Expr& root, KicadSource& source, Board& board) {
  // The copper layers in stack order, with their editor ids.
  std::vector<std::pair<std::string, uint8_t>> copper;
  for (const KicadLayer& layer : source.layers)
    if (IsCopperName(layer.name)) copper.emplace_back(layer.name, source.editorLayers.at(layer.name));
  std::sort(copper.begin(), copper.end(),
            [](const auto& a, const auto& b) { return CopperOrder(a.first) < CopperOrder(b.first); });

  for (const auto& [name, id] : copper) {
    LayerRecord& record = board.layers[id];
    const auto layer = std::find_if(source.layers.begin(), source.layers.end(),
                                    [&name = name](const KicadLayer& l) { return l.name == name; });
    record.name = layer->userName.empty() ? name : layer->userName;
    record.copper = static_cast<int32_t>(NanometresToUnits(kDefaultCopperNm));
    board.stack.push_back(id);
  }
  board.topDielectric = MakeDielectric(kDefaultMaskMaterial, kSurface, kDefaultMaskConstant, kDefaultMaskNm);
  board.bottomDielectric = board.topDielectric;

  const Expr setup = root.Child("setup");
  const Expr stackup = setup ? setup.Child("stackup") : Expr();
  source.hasStackup = stackup.Valid();
  if (!stackup) {
    // KiCad's default stack: FR4 dielectrics, core and prepreg in turn,
    // sharing equally what copper and masks leave of the board's thickness.
    int64_t boardNm = kDefaultBoardNm;
    if (const Expr general = root.Child("general"); general && general.Child("thickness"))
      boardNm = ThicknessOf(file, general.Child("thickness").At(1));
    const auto dielectrics = static_cast<int64_t>(copper.size()) - 1;
    const int64_t left =
        boardNm - kDefaultCopperNm * static_cast<int64_t>(copper.size()) - 2 * kDefaultMaskNm;
    const int64_t each = std::max<int64_t>(0, left / dielectrics);
    for (int64_t i = 0; i < dielectrics; ++i)
      board.layers[copper[static_cast<std::size_t>(i)].second].dielectric = MakeDielectric(
          kDefaultDielectricMaterial, i % 2 == 0 ? kCore : kPrepreg, kDefaultDielectricConstant, each);
    board.notes.push_back(
        file + ": the board has no stack-up; using KiCad's default stack (copper 0.035 mm, " +
        "masks 0.01 mm, FR4 dielectrics sharing the board thickness " + FormatMillimetres(boardNm) + " mm)");
    board.LinkStack();
    return;
  }

  // Each dielectric of the stack-up lies below the copper layer before it.
  std::vector<bool> hasDielectric(copper.size(), false);
  int lastCopper = -1;
  for (const Expr& entry : stackup.Children("layer")) {
    const std::string name = entry.At(1).Text();
    const Expr typeExpr = entry.Child("type");
    const std::string type = typeExpr ? typeExpr.At(1).Text() : std::string();
    const auto found =
        std::find_if(copper.begin(), copper.end(), [&](const auto& c) { return c.first == name; });
    if (found != copper.end()) {
      lastCopper = static_cast<int>(found - copper.begin());
      if (const Expr thickness = entry.Child("thickness"))
        board.layers[found->second].copper =
            static_cast<int32_t>(NanometresToUnits(ThicknessOf(file, thickness.At(1))));
    } else if (name == "F.Mask" || type == "Top Solder Mask") {
      board.topDielectric =
          ReadDielectric(file, entry, kSurface, kDefaultMaskMaterial, kDefaultMaskConstant, kDefaultMaskNm);
    } else if (name == "B.Mask" || type == "Bottom Solder Mask") {
      board.bottomDielectric =
          ReadDielectric(file, entry, kSurface, kDefaultMaskMaterial, kDefaultMaskConstant, kDefaultMaskNm);
    } else if (type == "core" || type == "prepreg" || name.starts_with("dielectric")) {
      if (lastCopper < 0 || lastCopper + 1 >= static_cast<int>(copper.size()) ||
          hasDielectric[static_cast<std::size_t>(lastCopper)])
        Refuse(file, entry, "the dielectric \"" + name + "\" is not between two copper layers");
      hasDielectric[static_cast<std::size_t>(lastCopper)] = true;
      board.layers[copper[static_cast<std::size_t>(lastCopper)].second].dielectric =
          ReadDielectric(file, entry, kCore, kDefaultDielectricMaterial, kDefaultDielectricConstant, 0);
    }
  }
  for (std::size_t i = 0; i + 1 < copper.size(); ++i)
    if (!hasDielectric[i]) Refuse(file, stackup, "the stack-up has no dielectric below " + copper[i].first);
  // The legend adds the whole stack up: that sum too must be a length the editor holds.
  int64_t total = int64_t{board.topDielectric.height.value} + board.bottomDielectric.height.value;
  for (const auto& [name, id] : copper)
    total += int64_t{board.layers[id].copper.value} + board.layers[id].dielectric.height.value;
  CheckThickness(file, stackup, UnitsToNanometres(total), "the stack-up");
  board.LinkStack();
}

}  // namespace brelix::kicad
