// A small reader of the s-expressions KiCad writes its files in: lists in
// parentheses, bare atoms and double-quoted strings with backslash escapes.
// The whole file becomes one flat array of nodes that keep their byte range
// in the text, so that a writer can copy every byte it does not change.
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

struct Node {
  NodeKind kind = NodeKind::Atom;
  uint32_t line = 1;      // where the node starts
  std::size_t begin = 0;  // byte range in the text: a list from '(' to after ')',
  std::size_t end = 0;    // a string with its quotes
  int32_t firstChild = -1;
  int32_t nextSibling = -1;
};

class Document;

// A light handle on one node of a document.
class Expr {
 public:
  Expr() = default;
  Expr(const Document* document, int32_t index) : document_(document), index_(index) {}

  bool valid() const { return document_ != nullptr && index_ >= 0; }
  explicit operator bool() const { return valid(); }
  const Node& node() const;
  bool isList() const { return valid() && node().kind == NodeKind::List; }
  bool isAtom() const { return valid() && node().kind != NodeKind::List; }
  uint32_t line() const { return node().line; }
  std::size_t begin() const { return node().begin; }
  std::size_t end() const { return node().end; }

  // An atom's value: a bare atom as written, a string unescaped. Empty for lists.
  std::string text() const;
  // The first element of a list when it is a bare atom ("layer" of "(layer ...)").
  std::string_view head() const;
  Expr first() const;  // first element of a list
  Expr next() const;   // the element after this one in its list
  // The element at `index` of a list (0 is the head); invalid when missing.
  Expr at(int index) const;
  // The first element that is a list headed by `name`; invalid when none.
  Expr child(std::string_view name) const;
  // Every element that is a list headed by `name`, in order.
  std::vector<Expr> children(std::string_view name) const;

 private:
  const Document* document_ = nullptr;
  int32_t index_ = -1;
};

class Document {
 public:
  // Parses `text`, which must hold exactly one list; KicadFileError naming
  // `name` and the line otherwise. Linear in the text's length; lists nest
  // at most kMaxDepth levels.
  static Document Parse(std::string_view text, const std::string& name);
  static constexpr int kMaxDepth = 64;

  Expr root() const { return Expr(this, 0); }
  const Node& node(int32_t index) const { return nodes_[static_cast<std::size_t>(index)]; }
  std::string_view text() const { return text_; }
  int32_t size() const { return static_cast<int32_t>(nodes_.size()); }

  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;
  Document(Document&&) = default;
  Document& operator=(Document&&) = default;

 private:
  Document() = default;
  std::string_view text_;
  std::vector<Node> nodes_;
};

// The text of a quoted string with its escapes resolved; `quoted` includes the quotes.
std::string Unescape(std::string_view quoted);
// `value` as a KiCad quoted string.
std::string Quote(std::string_view value);

}  // namespace brelix::kicad
