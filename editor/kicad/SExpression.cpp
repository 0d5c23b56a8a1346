#include "editor/kicad/SExpression.h"

#include <algorithm>

namespace brelix::kicad {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool EndsAtom(char c) { return IsSpace(c) || c == '(' || c == ')' || c == '"'; }

std::string Printable(char c) {
  if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) return std::string("'") + c + "'";
  static const char* kHex = "0123456789abcdef";
  const auto byte = static_cast<unsigned char>(c);
  return std::string("byte 0x") + kHex[byte >> 4] + kHex[byte & 15];
}

// The end of the string whose opening quote is at `open`: after its closing quote.
std::size_t StringEnd(std::string_view text, std::size_t open) {
  std::size_t i = open + 1;
  while (i < text.size() && text[i] != '"') i += text[i] == '\\' ? 2 : 1;
  return std::min(i + 1, text.size());
}

}  // namespace

Expr::Expr(const Document* document, int32_t index) {
  if (document == nullptr || index < 0 || index >= document->Size()) return;
  const Node& node = document->NodeAt(index);
  document_ = document;
  kind_ = NodeKind::List;
  begin_ = node.begin;
  end_ = node.end;
  list_ = index;
}

uint32_t Expr::Line() const {
  if (!Valid()) return missingFrom_ ? missingFrom_->LineAt(begin_) : 0;
  return IsList() ? document_->NodeAt(list_).line : document_->LineAt(begin_);
}

std::string Expr::Text() const {
  if (!Valid()) return {};
  const std::string_view raw = document_->Text().substr(begin_, end_ - begin_);
  switch (kind_) {
    case NodeKind::Atom:
      return std::string(raw);
    case NodeKind::String:
      return Unescape(raw);
    default:
      return {};
  }
}

std::string_view Expr::Head() const {
  if (!IsList()) return {};
  const Expr first = this->First();
  if (!first.Valid() || first.Kind() != NodeKind::Atom) return {};
  return document_->Text().substr(first.Begin(), first.End() - first.Begin());
}

Expr Expr::Scan(std::size_t from, int32_t nextList) const {
  const std::string_view text = document_->Text();
  std::size_t i = from;
  while (i < text.size() && IsSpace(text[i])) ++i;
  if (i >= text.size() || text[i] == ')') return Missing(std::min(i, text.size()));
  if (text[i] == '(' || (nextList >= 0 && document_->NodeAt(nextList).begin == i))
    return Expr(document_, nextList);
  Expr atom;
  atom.document_ = document_;
  atom.begin_ = i;
  if (text[i] == '"') {
    atom.kind_ = NodeKind::String;
    i = StringEnd(text, i);
  } else {
    atom.kind_ = NodeKind::Atom;
    while (i < text.size() && !EndsAtom(text[i])) ++i;
  }
  atom.end_ = i;
  atom.nextList_ = nextList;
  return atom;
}

Expr Expr::Missing(std::size_t at) const {
  Expr missing;
  missing.missingFrom_ = document_ ? document_ : missingFrom_;
  missing.begin_ = at;
  return missing;
}

Expr Expr::First() const {
  if (!Valid()) return *this;
  if (!IsList()) return {};
  const int32_t inner = list_ + 1;
  const bool hasInner = inner < document_->Size() && document_->NodeAt(inner).begin < end_;
  // A list written without its '(' starts at its first word.
  const std::size_t from = document_->Text()[begin_] == '(' ? begin_ + 1 : begin_;
  return Scan(from, hasInner ? inner : -1);
}

Expr Expr::Next() const {
  if (!Valid()) return *this;
  if (list_ == 0) return {};  // nothing of the root's list follows it
  return Scan(end_, IsList() ? document_->NodeAt(list_).nextSibling : nextList_);
}

Expr Expr::At(int index) const {
  Expr e = First();
  for (int i = 0; i < index && e.Valid(); ++i) e = e.Next();
  return e;
}

Expr Expr::Child(std::string_view name) const {
  for (Expr e = First(); e.Valid(); e = e.Next())
    if (e.IsList() && e.Head() == name) return e;
  return Valid() ? Missing(begin_) : *this;
}

std::vector<Expr> Expr::Children(std::string_view name) const {
  std::vector<Expr> found;
  for (Expr e = First(); e.Valid(); e = e.Next())
    if (e.IsList() && e.Head() == name) found.push_back(e);
  return found;
}

uint32_t Document::LineAt(std::size_t offset) const {
  const std::string_view before = text_.substr(0, offset);
  return static_cast<uint32_t>(1 + std::count(before.begin(), before.end(), '\n'));
}

bool Document::EndsBeforeText() const {
  const std::size_t end = nodes_.front().end;
  return text_.find_first_not_of(" \t\r\n\f\v", end) != std::string_view::npos;
}

Document Document::Parse(std::string_view text, const std::string& name) {
  Document document = Read(text, name, false);
  if (!document.EndsBeforeText()) return document;
  try {
    Document lenient = Read(text, name, true);
    if (lenient.implicitLists_ > 0 && !lenient.EndsBeforeText()) return lenient;
  } catch (const KicadFileError&) {
    // Not a file KiCad's leniency explains: what follows the list is kept as it is.
  }
  return document;
}

Document Document::Read(std::string_view text, const std::string& name, bool implicitLists) {
  Document document;
  document.text_ = text;
  std::vector<Node>& nodes = document.nodes_;
  // At most one list per '(' (or per ')' with lists written without it),
  // counted first so that the array is allocated once.
  const auto opening = static_cast<std::size_t>(std::count(text.begin(), text.end(), '('));
  nodes.reserve(implicitLists
                    ? std::max(opening, static_cast<std::size_t>(std::count(text.begin(), text.end(), ')')))
                    : opening);

  const std::size_t size = text.size();
  uint32_t line = 1;
  auto fail = [&](uint32_t at, const std::string& reason) -> void {
    throw KicadFileError(name + ": line " + std::to_string(at) + ": " + reason);
  };

  // Open lists, innermost last, each with the last list added to it.
  struct Open {
    int32_t list;
    int32_t last;
  };
  std::vector<Open> open;
  auto openList = [&](std::size_t at) {
    if (static_cast<int>(open.size()) >= kMaxDepth)
      fail(line, "lists nested deeper than " + std::to_string(kMaxDepth) + " levels");
    const auto index = static_cast<int32_t>(nodes.size());
    nodes.push_back(Node{at, at, line, -1});
    if (!open.empty()) {
      Open& parent = open.back();
      if (parent.last >= 0) nodes[static_cast<std::size_t>(parent.last)].nextSibling = index;
      parent.last = index;
    }
    open.push_back({index, -1});
  };
  // A word glued to a ')' and followed by atoms up to the next ')': a list
  // written without its '('.
  auto startsImplicitList = [&](std::size_t at) {
    if (!implicitLists || at == 0 || text[at - 1] != ')') return false;
    for (std::size_t k = at; k < size; ++k) {
      if (text[k] == ')') return true;
      if (text[k] == '(') return false;
      if (text[k] == '"') k = StringEnd(text, k) - 1;
    }
    return false;
  };

  std::size_t i = 0;
  while (i < size) {
    const char c = text[i];
    if (c == '\n') {
      ++line;
      ++i;
    } else if (IsSpace(c)) {
      ++i;
    } else if (c == '(') {
      openList(i);
      ++i;
    } else if (c == ')') {
      if (open.empty()) fail(line, "')' without a matching '('");
      nodes[static_cast<std::size_t>(open.back().list)].end = ++i;
      open.pop_back();
      if (open.empty()) break;
    } else if (open.empty()) {
      fail(line, "the file does not start with '('");
    } else if (c == '"') {
      const uint32_t startLine = line;
      ++i;
      bool closed = false;
      while (i < size) {
        const char s = text[i];
        if (s == '\\') {
          if (i + 1 < size && text[i + 1] == '\n') ++line;
          i += 2;
          continue;
        }
        if (s == '\0') fail(line, "a NUL byte inside a string");
        if (s == '\n') ++line;
        ++i;
        if (s == '"') {
          closed = true;
          break;
        }
      }
      if (!closed || i > size) fail(startLine, "a string that is never closed");
    } else {
      if (startsImplicitList(i)) {
        if (document.implicitLists_++ == 0) document.firstImplicitList_ = i;
        openList(i);
      }
      while (i < size && !EndsAtom(text[i])) {
        if (static_cast<unsigned char>(text[i]) < 0x20) fail(line, "unexpected " + Printable(text[i]));
        ++i;
      }
    }
  }
  if (!open.empty())
    fail(nodes[static_cast<std::size_t>(open.back().list)].line,
         "the list opened here is never closed (the file ends first)");
  if (nodes.empty()) fail(line, "the file is empty");
  return document;
}

std::string Unescape(std::string_view quoted) {
  if (quoted.size() >= 2 && quoted.front() == '"' && quoted.back() == '"')
    quoted = quoted.substr(1, quoted.size() - 2);
  std::string out;
  out.reserve(quoted.size());
  for (std::size_t i = 0; i < quoted.size(); ++i) {
    char c = quoted[i];
    if (c == '\\' && i + 1 < quoted.size()) {
      c = quoted[++i];
      switch (c) {
        case 'n':
          c = '\n';
          break;
        case 't':
          c = '\t';
          break;
        case 'r':
          c = '\r';
          break;
        default:
          break;
      }
    }
    out += c;
  }
  return out;
}

std::string Quote(std::string_view value) {
  std::string out = "\"";
  for (const char c : value) {
    switch (c) {
      case '"':
      case '\\':
        out += '\\';
        out += c;
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += c;
    }
  }
  return out + "\"";
}

}  // namespace brelix::kicad
