// The entries of a board file's `objects`: one entry shape per object kind,
// read with every rule checked and written in one canonical layout.
//
// References between objects (a component's name and comment texts, a
// dimension's references) are written as positions in `objects`. While a
// file is read, they are kept as the 1-based position of the object (0 for
// none), which the editor turns into handles when it opens the board.
#pragma once

#include <cstdint>
#include <deque>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "editor/BoardFileFields.h"
#include "editor/EditorObject.h"
#include "editor/Layers.h"

namespace brelix {

class ObjectFileReader {
 public:
  explicit ObjectFileReader(const FieldReader& fields) : fields_(fields) {}

  // One entry of `objects`; `path` is "objects[N]".
  EditorObject Read(const nlohmann::json& entry, const std::string& path);
  // Checks every reference read so far against the objects it names.
  void CheckReferences(const std::deque<EditorObject>& objects) const;

 private:
  struct Reference {
    std::string path;
    std::size_t from = 0;
    std::size_t to = 0;
    bool mustBeText = false;
  };
  abi::PcbHandle ReferenceAt(const nlohmann::json& value, const std::string& path, std::size_t from,
                             bool mustBeText);

  const FieldReader& fields_;
  std::size_t count_ = 0;
  std::vector<Reference> references_;
};

// The entry of `object`; `positions` gives each handle of the board's
// contents its position in `objects`. References to objects outside the
// contents are left out.
nlohmann::ordered_json WriteObjectEntry(const EditorObject& object,
                                        const std::unordered_map<abi::PcbHandle, std::size_t>& positions);

// The plain layer id (1 to 82) of a record's layer id, the value itself when it names none.
inline uint32_t PlainLayer(uint32_t value) {
  const std::optional<uint8_t> id = LayerFromRecordId(value);
  return id ? *id : value;
}

}  // namespace brelix
