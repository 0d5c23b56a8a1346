#include "editor/kicad/SExpression.h"

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

}  // namespace

const Node& Expr::node() const { return document_->node(index_); }

std::string Expr::text() const {
  if (!valid()) return {};
  const Node& n = node();
  const std::string_view raw = document_->text().substr(n.begin, n.end - n.begin);
  switch (n.kind) {
    case NodeKind::Atom:
      return std::string(raw);
    case NodeKind::String:
      return Unescape(raw);
    default:
      return {};
  }
}

std::string_view Expr::head() const {
  if (!isList()) return {};
  const Expr first = this->first();
  if (!first.valid() || first.node().kind != NodeKind::Atom) return {};
  return document_->text().substr(first.begin(), first.end() - first.begin());
}

Expr Expr::first() const { return isList() ? Expr(document_, node().firstChild) : Expr(); }

Expr Expr::next() const { return valid() ? Expr(document_, node().nextSibling) : Expr(); }

Expr Expr::at(int index) const {
  Expr e = first();
  for (int i = 0; i < index && e.valid(); ++i) e = e.next();
  return e;
}

Expr Expr::child(std::string_view name) const {
  for (Expr e = first(); e.valid(); e = e.next())
    if (e.isList() && e.head() == name) return e;
  return {};
}

std::vector<Expr> Expr::children(std::string_view name) const {
  std::vector<Expr> found;
  for (Expr e = first(); e.valid(); e = e.next())
    if (e.isList() && e.head() == name) found.push_back(e);
  return found;
}

Document Document::Parse(std::string_view text, const std::string& name) {
  Document document;
  document.text_ = text;
  std::vector<Node>& nodes = document.nodes_;
  nodes.reserve(text.size() / 6 + 1);

  uint32_t line = 1;
  auto fail = [&](uint32_t at, const std::string& reason) -> void {
    throw KicadFileError(name + ": line " + std::to_string(at) + ": " + reason);
  };

  // Open lists, innermost last, each with the last element added to it.
  struct Open {
    int32_t list;
    int32_t last;
  };
  std::vector<Open> open;
  bool rootClosed = false;

  auto append = [&](Node node) {
    if (open.empty()) {
      if (rootClosed || !nodes.empty()) fail(node.line, "text after the end of the board's list");
      if (node.kind != NodeKind::List) fail(node.line, "the file does not start with '('");
    }
    const auto index = static_cast<int32_t>(nodes.size());
    nodes.push_back(node);
    if (!open.empty()) {
      Open& parent = open.back();
      if (parent.last < 0)
        nodes[static_cast<std::size_t>(parent.list)].firstChild = index;
      else
        nodes[static_cast<std::size_t>(parent.last)].nextSibling = index;
      parent.last = index;
    }
    return index;
  };

  std::size_t i = 0;
  const std::size_t size = text.size();
  while (i < size) {
    const char c = text[i];
    if (c == '\n') {
      ++line;
      ++i;
    } else if (IsSpace(c)) {
      ++i;
    } else if (c == '(') {
      if (static_cast<int>(open.size()) >= kMaxDepth)
        fail(line, "lists nested deeper than " + std::to_string(kMaxDepth) + " levels");
      const int32_t index = append(Node{NodeKind::List, line, i, i, -1, -1});
      open.push_back({index, -1});
      ++i;
    } else if (c == ')') {
      if (open.empty()) fail(line, "')' without a matching '('");
      nodes[static_cast<std::size_t>(open.back().list)].end = ++i;
      open.pop_back();
      if (open.empty()) rootClosed = true;
    } else if (c == '"') {
      const uint32_t startLine = line;
      const std::size_t start = i++;
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
      append(Node{NodeKind::String, startLine, start, i, -1, -1});
    } else {
      const std::size_t start = i;
      while (i < size && !EndsAtom(text[i])) {
        if (text[i] == '\0' || static_cast<unsigned char>(text[i]) < 0x20)
          fail(line, "unexpected " + Printable(text[i]));
        ++i;
      }
      append(Node{NodeKind::Atom, line, start, i, -1, -1});
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
