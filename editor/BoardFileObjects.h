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
#include <string_view>
#include <unordered_map>
#include <vector>

#include "editor/BoardFileFields.h"
#include "editor/EditorObject.h"
#include "editor/LayerIds.h"

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
  qvabi::PcbHandle ReferenceAt(const nlohmann::json& value, const std::string& path, std::size_t from,
                               bool mustBeText);

  const FieldReader& fields_;
  std::size_t count_ = 0;
  std::vector<Reference> references_;
};

// The objects being written, and each one's position among them by handle.
struct ObjectPositions {
  const std::vector<const EditorObject*>& list;
  const std::unordered_map<qvabi::PcbHandle, std::size_t>& positions;
};

// Appends the entry of `objects.list[index]`. References to objects outside
// the list, to the object itself, and name or comment references to objects
// that are not texts are left out. Throws BoardFileError when the object
// holds a value no entry can hold.
void AppendObjectEntry(std::string& out, const ObjectPositions& objects, std::size_t index);

// `text` as a JSON string the reader takes back: UTF-8 (anything else
// replaced by U+FFFD) of at most kMaxFileString bytes, cut between characters.
void AppendJsonString(std::string& out, std::string_view text);

// The plain layer id (1 to 82) of a record's layer id, the value itself when it names none.
inline uint32_t PlainLayer(uint32_t value) {
  const std::optional<uint8_t> id = LayerFromRecordId(value);
  return id ? *id : value;
}

}  // namespace brelix
