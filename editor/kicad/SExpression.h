// A small reader of the s-expressions KiCad writes its files in: lists in
// parentheses, bare atoms and double-quoted strings with backslash escapes.
// The lists of the file become one flat array of nodes that keep their byte
// range in the text, so that a writer can copy every byte it does not change;
// atoms are found again in the text when asked for, which keeps the nodes
// well below the size of the text.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace brelix::kicad {

// A refused file; what() is "FILE: line N: REASON".
class KicadFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class NodeKind : uint8_t { List, Atom, String };

// A list, from its '(' (or, for a list written without it, its first word)
// to after its ')'. The lists are stored in the order they open, so a list's
// first inner list, when it has one, is the next node.
struct Node {
  std::size_t begin = 0;
  std::size_t end = 0;
  uint32_t line = 1;         // where the list starts
  int32_t nextSibling = -1;  // the next list in the same list
};

class Document;

// A light handle on one node of a document.
class Expr {
 public:
  Expr() = default;
  // The list stored at `index`.
  Expr(const Document* document, int32_t index);

  bool Valid() const { return document_ != nullptr; }
  explicit operator bool() const { return Valid(); }
  NodeKind Kind() const { return kind_; }
  bool IsList() const { return Valid() && kind_ == NodeKind::List; }
  bool IsAtom() const { return Valid() && kind_ != NodeKind::List; }
  // The line of the node; for an element missing from a list, the line of
  // the list's end, so that a refusal still points at the list; 0 for a
  // handle on nothing at all.
  uint32_t Line() const;
  // Byte range in the text: a list from '(' to after ')', a string with its quotes.
  std::size_t Begin() const { return begin_; }
  std::size_t End() const { return end_; }

  // An atom's value: a bare atom as written, a string unescaped. Empty for lists.
  std::string Text() const;
  // The first element of a list when it is a bare atom ("layer" of "(layer ...)").
  std::string_view Head() const;
  Expr First() const;  // first element of a list
  Expr Next() const;   // the element after this one in its list
  // The element at `index` of a list (0 is the head); invalid when missing.
  Expr At(int index) const;
  // The first element that is a list headed by `name`; invalid when none.
  Expr Child(std::string_view name) const;
  // Every element that is a list headed by `name`, in order.
  std::vector<Expr> Children(std::string_view name) const;

 private:
  // The element that starts at or after `from` in its list (none at the
  // list's ')'); `nextList` is the first list of that list from there on.
  Expr Scan(std::size_t from, int32_t nextList) const;
  // No element, remembering the byte of this document where it was looked for.
  Expr Missing(std::size_t at) const;

  const Document* document_ = nullptr;
  const Document* missingFrom_ = nullptr;  // set, with begin_, for an element a list lacks
  NodeKind kind_ = NodeKind::Atom;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  int32_t list_ = -1;      // a list's node
  int32_t nextList_ = -1;  // an atom's: the first list after it in its list
};

class Document {
 public:
  // Parses the list `text` starts with (after white space); what follows
  // that list is left unread, as KiCad leaves it. KicadFileError naming
  // `name` and the line otherwise. Linear in the text's length, with one
  // node of 24 bytes per list; lists nest at most kMaxDepth levels.
  //
  // KiCad's own parser also takes a list whose '(' is missing where its
  // grammar expects a list, and some files carry such lists (KiCad 9's
  // RoyalBlue54L-Feather demo writes ")filter_ratio 0.9)" 349 times). When
  // the board's list ends before the text does, the text is read again
  // taking a word glued to the ')' before it, with its values up to the next
  // ')', as such a list; that reading is kept when it reaches the end.
  static Document Parse(std::string_view text, const std::string& name);
  static constexpr int kMaxDepth = 64;

  Expr Root() const { return Expr(this, 0); }
  const Node& NodeAt(int32_t index) const { return nodes_[static_cast<std::size_t>(index)]; }
  std::string_view Text() const { return text_; }
  // The number of lists; Expr(document, i) for i below it is each of them.
  int32_t Size() const { return static_cast<int32_t>(nodes_.size()); }
  // The line of a byte of the text.
  uint32_t LineAt(std::size_t offset) const;
  // Lists read without their '(', and where the first of them starts.
  std::size_t ImplicitLists() const { return implicitLists_; }
  std::size_t FirstImplicitList() const { return firstImplicitList_; }

  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;
  Document(Document&&) = default;
  Document& operator=(Document&&) = default;

 private:
  Document() = default;
  static Document Read(std::string_view text, const std::string& name, bool implicitLists);
  bool EndsBeforeText() const;

  std::string_view text_;
  std::size_t implicitLists_ = 0;
  std::size_t firstImplicitList_ = 0;
  std::vector<Node> nodes_;
};

// The text of a quoted string with its escapes resolved; `quoted` includes the quotes.
std::string Unescape(std::string_view quoted);
// `value` as a KiCad quoted string.
std::string Quote(std::string_view value);

}  // namespace brelix::kicad
