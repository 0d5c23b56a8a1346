// The legend's life: construction with every primitive, the options, and at
// the end the hand-over to the board (Commit) and the destruction of every
// editor object the board did not receive (Release).
#include "plugin/LayerStackupLegend.h"

#include <string>

#include "plugin/RTL/Messages.h"
#include "plugin/RTL/PcbApi.h"

namespace strativue {
namespace {

constexpr std::string_view kTitlePrefix = "Layer Stack Up Detail for: ";

// The file name of a Windows path, without its folders or drive.
std::string_view FileNameOnly(std::string_view path) {
  const std::size_t cut = path.find_last_of("\\/:");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

void DestroyObject(const TPCBObject* object) {
  if (object && object->Handle != 0) PcbApi::DestroyObject(object->Handle);
}

}  // namespace

std::unique_ptr<TPcbText>& TLegendRow::Cell(int column) {
  switch (column) {
    case kNameColumn:
      return NameText;
    case kCopperColumn:
      return CopperText;
    case kGerberColumn:
      return GerberText;
    case kTypeColumn:
      return TypeText;
    case kMaterialColumn:
      return MaterialText;
    case kHeightColumn:
      return HeightText;
    default:
      return ConstantText;
  }
}

const std::unique_ptr<TPcbText>& TLegendRow::Cell(int column) const {
  return const_cast<TLegendRow*>(this)->Cell(column);
}

TLegendStackup::TLegendStackup(qvabi::PcbHandle boardHandle, const TLegendOptions* options) {
  Committed = false;
  Board = std::make_unique<TPcbBoard>(boardHandle);
  try {
    // Without the board's record the legend would have no layer to go on;
    // later reloads that are refused keep the values read here.
    if (Board->LoadBoard(qvabi::ReadMode) != 0) throw Exception("The editor refused to read the board");
    if (options)
      SetOptions(*options);
    else
      ImportLegacySettings();
    RowCount = 0;
    CreatePrimitives();
    X1 = Y1 = X2 = Y2 = 0;
    ComputeGeometry();
    MidLayerCounter = 1;
    PlaneCounter = 1;
  } catch (...) {
    // The destructor will not run: the editor objects made so far go now.
    Committed = false;
    Release();
    throw;
  }
}

TLegendStackup::~TLegendStackup() {
  try {
    if (Committed) Commit();
  } catch (...) {
  }
  try {
    Release();
  } catch (...) {
  }
}

void TLegendStackup::ImportLegacySettings() {
  if (const std::optional<TLegendOptions> legacy = ReadLegacySettings()) SetOptions(*legacy);
}

void TLegendStackup::SetOptions(const TLegendOptions& options) {
  CopperHeight = options.CopperHeight != 0;
  Type = options.Type != 0;
  Gerbers = options.Gerbers != 0;
  DielHeight = options.DielHeight != 0;
  Material = options.Material != 0;
  Constant = options.Constant != 0;
  ExtDielectrics = options.ExtDielectrics != 0;
}

void TLegendStackup::ApplyOptions(const TLegendOptions& options) {
  SetOptions(options);
  RefreshTexts();
}

TLegendOptions TLegendStackup::Options() const {
  return {qvabi::ToByteBool(CopperHeight),  qvabi::ToByteBool(Type),     qvabi::ToByteBool(Gerbers),
          qvabi::ToByteBool(DielHeight),    qvabi::ToByteBool(Material), qvabi::ToByteBool(Constant),
          qvabi::ToByteBool(ExtDielectrics)};
}

std::unique_ptr<TPcbText> TLegendStackup::NewText(std::string_view text) {
  return NewPrimitive<TPcbText>(Board->BoardHandle, Board->CurrentLayer,
                                [&](TPcbText& object) { object.SetText(text); });
}

std::unique_ptr<TPcbTrack> TLegendStackup::NewTrack() {
  return NewPrimitive<TPcbTrack>(Board->BoardHandle, Board->CurrentLayer, [](TPcbTrack& object) {
    object.X = 1;
    object.Y = 1;
    object.X2 = 2;
    object.Y2 = 2;
  });
}

std::unique_ptr<TPcbArc> TLegendStackup::NewArc(double startAngle, double endAngle) {
  return NewPrimitive<TPcbArc>(Board->BoardHandle, Board->CurrentLayer, [&](TPcbArc& object) {
    object.StartAngle = startAngle;
    object.EndAngle = endAngle;
  });
}

std::unique_ptr<TLegendRow> TLegendStackup::NewFixedRow(
    const std::array<std::string_view, kLegendColumnCount>& words) {
  auto row = std::make_unique<TLegendRow>();
  try {
    for (int column = 0; column < kLegendColumnCount; ++column) row->Cell(column) = NewText(words[column]);
  } catch (...) {
    // The row is not a member yet, so Release would not see its cells.
    ReleaseRow(*row, false);
    throw;
  }
  return row;
}

void TLegendStackup::CreatePrimitives() {
  FrameTop = NewTrack();
  FrameBottom = NewTrack();
  FrameLeft = NewTrack();
  FrameRight = NewTrack();
  CornerLowerRight = NewArc(270, 360);
  CornerLowerLeft = NewArc(180, 270);
  CornerUpperLeft = NewArc(90, 180);
  CornerUpperRight = NewArc(0, 90);

  std::string title(kTitlePrefix);
  title += FileNameOnly(Board->FileName.view());
  Title = NewText(title);

  HeaderTopLine = NewTrack();
  HeaderBottomLine = NewTrack();
  // Words in column order: name, copper, Gerber, type, material, height,
  // constant.
  GroupHeaderRow =
      NewFixedRow({"Layer", "Copper", "Gerber", "Dielectric", "Dielectric", "Dielectric", "Dielectric"});
  ColumnHeaderRow = NewFixedRow({"Name", "Thickness", "Document", "Type", "Material", "Height", "Constant"});

  TopMaskRow = NewFixedRow({"Top Solder Mask", "", "(.GTS)", "", "", "", ""});
  BottomMaskRow = NewFixedRow({"Bottom Solder Mask", "", "(.GBS)", "", "", "", ""});
  FillMaskCells(*TopMaskRow, Board->TopDielectric);
  FillMaskCells(*BottomMaskRow, Board->BottomDielectric);

  CreateStackRows();
  RefreshTexts();
}

void TLegendStackup::CreateStackRows() {
  const std::vector<TLayerObject*> stack = Board->StackLayers();
  Rows.reserve(stack.size());
  for (std::size_t i = 0; i < stack.size(); ++i) {
    auto row = std::make_unique<TLegendRow>();
    row->LayerId = stack[i]->LayerId;
    try {
      row->NameText = NewText("");
      row->CopperText = NewText("");
      row->GerberText = NewText("");
      // The bottom layer has no dielectric below it.
      if (i + 1 < stack.size()) {
        row->TypeText = NewText("");
        row->MaterialText = NewText("");
        row->HeightText = NewText("");
        row->ConstantText = NewText("");
      }
    } catch (...) {
      ReleaseRow(*row, false);
      throw;
    }
    RowOfLayer[row->LayerId] = row.get();
    Rows.push_back(std::move(row));
    ++RowCount;
  }
}

bool TLegendStackup::ColumnShown(int column) const {
  switch (column) {
    case kNameColumn:
      return true;
    case kCopperColumn:
      return CopperHeight;
    case kGerberColumn:
      return Gerbers;
    case kTypeColumn:
      return Type;
    case kMaterialColumn:
      return Material;
    case kHeightColumn:
      return DielHeight;
    case kConstantColumn:
      return Constant;
    default:
      return false;
  }
}

bool TLegendStackup::KeepsCell(const TLegendRow& row, int column) const {
  const std::unique_ptr<TPcbText>& cell = row.Cell(column);
  return cell && ColumnShown(column) && !IsSameText(cell->Text.view(), "");
}

void TLegendStackup::CommitRow(const TLegendRow& row) {
  static constexpr int kCommitOrder[] = {kNameColumn,     kGerberColumn,   kCopperColumn, kHeightColumn,
                                         kMaterialColumn, kConstantColumn, kTypeColumn};
  for (const int column : kCommitOrder)
    if (KeepsCell(row, column)) Board->AddToBoard(row.Cell(column)->Handle);
}

void TLegendStackup::Commit() {
  const auto add = [this](const TPCBObject& object) { Board->AddToBoard(object.Handle); };
  add(*FrameTop);
  add(*FrameBottom);
  add(*FrameLeft);
  add(*FrameRight);
  add(*CornerLowerRight);
  add(*CornerLowerLeft);
  add(*CornerUpperLeft);
  add(*CornerUpperRight);
  if (TitlePlaced) add(*Title);
  add(*HeaderTopLine);
  CommitRow(*GroupHeaderRow);
  CommitRow(*ColumnHeaderRow);
  add(*HeaderBottomLine);
  if (ExtDielectrics) {
    CommitRow(*TopMaskRow);
    CommitRow(*BottomMaskRow);
  }
  for (const std::unique_ptr<TLegendRow>& row : Rows) CommitRow(*row);
}

void TLegendStackup::ReleaseRow(TLegendRow& row, bool keepAny) {
  for (int column = 0; column < kLegendColumnCount; ++column)
    if (!(keepAny && KeepsCell(row, column))) DestroyObject(row.Cell(column).get());
}

// Destroys exactly what Commit did not add, so that no editor object is left
// behind whatever the cells hold (an empty layer name included).
void TLegendStackup::Release() {
  if (!Committed) {
    DestroyObject(FrameTop.get());
    DestroyObject(FrameBottom.get());
    DestroyObject(FrameLeft.get());
    DestroyObject(FrameRight.get());
    DestroyObject(CornerLowerRight.get());
    DestroyObject(CornerLowerLeft.get());
    DestroyObject(CornerUpperLeft.get());
    DestroyObject(CornerUpperRight.get());
    DestroyObject(HeaderTopLine.get());
    DestroyObject(HeaderBottomLine.get());
  }
  if (!Committed || !TitlePlaced) DestroyObject(Title.get());
  for (TLegendRow* row : {GroupHeaderRow.get(), ColumnHeaderRow.get()})
    if (row) ReleaseRow(*row, Committed);
  for (TLegendRow* row : {TopMaskRow.get(), BottomMaskRow.get()})
    if (row) ReleaseRow(*row, Committed && ExtDielectrics);
  for (const std::unique_ptr<TLegendRow>& row : Rows) ReleaseRow(*row, Committed);
}

}  // namespace strativue
