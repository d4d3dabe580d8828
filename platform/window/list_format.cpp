#include "platform/window/list_format.h"

#include <cctype>

namespace window {
namespace {

class Parser {
 public:
  Parser(std::string_view text, std::string* error) : text_(text), error_(error) {}

  bool atEnd() const { return pos_ >= text_.size(); }

  bool fail(const std::string& what) {
    if (error_) *error_ = "list format: " + what + " at position " + std::to_string(pos_ + 1);
    return false;
  }

  bool number(int& out) {
    const std::size_t start = pos_;
    bool negative = false;
    if (pos_ < text_.size() && text_[pos_] == '-') {
      negative = true;
      ++pos_;
    }
    long value = 0;
    while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
      value = value * 10 + (text_[pos_] - '0');
      if (value > 1000000) return fail("number too large");
      ++pos_;
    }
    if (pos_ == start || (negative && pos_ == start + 1)) return fail("expected a number");
    out = static_cast<int>(negative ? -value : value);
    return true;
  }

  // "(n)" if it stands here.
  bool optionalParenthesised(std::optional<int>& out) {
    if (pos_ >= text_.size() || text_[pos_] != '(') return true;
    ++pos_;
    int v = 0;
    if (!number(v)) return false;
    if (pos_ >= text_.size() || text_[pos_] != ')') return fail("expected \")\"");
    ++pos_;
    out = v;
    return true;
  }

  bool delimited(char delimiter, std::string& out) {
    const std::size_t end = text_.find(delimiter, pos_ + 1);
    if (end == std::string_view::npos) {
      return fail(std::string("unterminated \"") + delimiter + "\"");
    }
    out.assign(text_.substr(pos_ + 1, end - pos_ - 1));
    pos_ = end + 1;
    return true;
  }

  static bool isAlign(char c) { return c == 'L' || c == 'R' || c == 'C' || c == 'D'; }

  bool modifiers(ListColumn& c) {
    while (pos_ < text_.size()) {
      const char m = text_[pos_];
      const std::size_t start = pos_;
      switch (m) {
        case '|': c.rightBorder = true; break;
        case 'M': c.resizable = true; break;
        case 'I': c.icon = true; break;
        case 'J': c.icon = c.transparentIcon = true; break;
        case '_': c.underline = true; break;
        case 'F': c.fixed = true; break;
        case 'Y': c.styleField = true; break;
        case '*': c.colors = true; break;
        case 'T': c.tree = true; break;
        case 'P': c.tipField = true; break;
        case 'Z': {
          ++pos_;
          std::optional<int> style;
          if (!optionalParenthesised(style)) return false;
          if (!style || *style < 0) return fail("expected \"(style)\" after Z");
          c.cellStyle = *style;
          c.modifiers.append(text_.substr(start, pos_ - start));
          continue;
        }
        case '#': {
          ++pos_;
          int field = 0;
          if (!number(field)) return false;
          if (field < 1) return fail("field number must be positive");
          if (pos_ >= text_.size() || text_[pos_] != '#') return fail("expected \"#\"");
          ++pos_;
          c.fieldNumber = field;
          c.modifiers.append(text_.substr(start, pos_ - start));
          continue;
        }
        default: return true;
      }
      c.modifiers += m;
      ++pos_;
    }
    return true;
  }

  bool column(ListColumn& c) {
    if (!number(c.width)) return false;
    if (c.width < 0) return fail("negative width");
    if (pos_ >= text_.size() || !isAlign(text_[pos_]))
      return fail("expected alignment L, R, C or D");
    c.align = text_[pos_++];
    if (!optionalParenthesised(c.indent)) return false;
    if (!modifiers(c)) return false;
    if (pos_ < text_.size() && text_[pos_] == '~') {
      std::string heading;
      if (!delimited('~', heading)) return false;
      c.heading = heading;
      if (pos_ < text_.size() && isAlign(text_[pos_])) {
        c.headerAlign = text_[pos_++];
        if (!optionalParenthesised(c.headerIndent)) return false;
      }
      if (!modifiers(c)) return false;
    }
    if (pos_ < text_.size() && text_[pos_] == '@') {
      std::string picture;
      if (!delimited('@', picture)) return false;
      c.picture = "@" + picture;
    }
    if (pos_ < text_.size() && !std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
      return fail(std::string("unexpected \"") + text_[pos_] + "\"");
    }
    c.fieldCount = 1 + (c.icon ? 1 : 0) + (c.tree ? 1 : 0) + (c.styleField ? 1 : 0) +
                   (c.tipField ? 1 : 0) + (c.colors ? 4 : 0);
    return true;
  }

 private:
  std::string_view text_;
  std::string* error_;
  std::size_t pos_ = 0;
};

std::string indentText(const std::optional<int>& indent) {
  return indent ? "(" + std::to_string(*indent) + ")" : std::string();
}

}  // namespace

int ListColumn::iconField() const { return icon ? field + 1 : 0; }

int ListColumn::styleFieldNo() const {
  return styleField ? field + 1 + (icon ? 1 : 0) + (tree ? 1 : 0) : 0;
}

void ListColumn::setCellStyle(int style) {
  const std::size_t z = modifiers.find("Z(");
  if (z != std::string::npos) modifiers.erase(z, modifiers.find(')', z) - z + 1);
  cellStyle = style;
  if (style != 0) modifiers += "Z(" + std::to_string(style) + ")";
}

std::string ListColumn::text() const {
  std::string out = std::to_string(width);
  out += align;
  out += indentText(indent);
  out += modifiers;
  if (heading) {
    out += "~" + *heading + "~";
    if (headerAlign) out += headerAlign;
    out += indentText(headerIndent);
  }
  if (picture) out += *picture + "@";
  return out;
}

std::string ListFormat::text() const {
  std::string out;
  for (const ListColumn& c : columns) out += c.text();
  return out;
}

int ListFormat::fieldsUsed() const {
  int used = 0;
  for (const ListColumn& c : columns) used = std::max(used, c.field + c.fieldCount - 1);
  return used;
}

void resolveFields(ListFormat& format) {
  int next = 1;
  for (ListColumn& c : format.columns) {
    c.field = c.fieldNumber > 0 ? c.fieldNumber : next;
    next = c.field + c.fieldCount;
  }
}

std::optional<ListColumn> parseListColumn(std::string_view text, std::string* error) {
  Parser parser(text, error);
  ListColumn column;
  if (!parser.column(column)) return std::nullopt;
  if (!parser.atEnd()) {
    parser.fail("more than one column");
    return std::nullopt;
  }
  return column;
}

std::optional<ListFormat> parseListFormat(std::string_view text, std::string* error) {
  Parser parser(text, error);
  ListFormat format;
  while (!parser.atEnd()) {
    ListColumn column;
    if (!parser.column(column)) return std::nullopt;
    format.columns.push_back(std::move(column));
  }
  resolveFields(format);
  return format;
}

}  // namespace window
