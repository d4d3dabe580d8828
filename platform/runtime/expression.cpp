#include "platform/runtime/expression.h"

#include <charconv>
#include <map>
#include <vector>

#include "platform/runtime/expression_names.h"

namespace runtime {

enum class Relation { Equal, NotEqual, Less, Greater, LessOrEqual, GreaterOrEqual };

// A compiled expression: a tree of nodes in one vector (children by index) and the names it
// reads, each once.
struct ExpressionProgram {
  enum class Kind { Literal, Name, Not, And, Or, Compare };
  struct Node {
    Kind kind = Kind::Literal;
    Value literal;
    std::size_t name = 0;  // index into names
    Relation relation = Relation::Equal;
    std::vector<std::size_t> children;
  };

  std::vector<Node> nodes;
  std::vector<std::string> names;  // as first written
  std::size_t root = 0;
};

namespace {

using Node = ExpressionProgram::Node;
using Kind = ExpressionProgram::Kind;

// Parentheses and NOTs may nest this deep; deeper texts are refused rather than risking the
// stack.
constexpr int kMaxNesting = 100;

struct ParseFailure {
  std::size_t position;
  std::string message;
};

enum class TokenKind {
  End,
  LeftParen,
  RightParen,
  Relation,
  Minus,
  Number,
  Text,
  Name,
  And,
  Or,
  Not
};

struct Token {
  TokenKind kind = TokenKind::End;
  std::size_t position = 0;  // 1-based
  std::string_view spelling;
  Relation relation = Relation::Equal;
  Value value;  // of a number or text literal
};

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) { advance(); }

  ExpressionProgram run() {
    program_.root = parseOr();
    if (token_.kind != TokenKind::End) {
      fail("Expected AND, OR or the end of the expression but found " + describe(token_));
    }
    return std::move(program_);
  }

 private:
  [[noreturn]] void fail(std::string message) { failAt(token_.position, std::move(message)); }
  [[noreturn]] static void failAt(std::size_t position, std::string message) {
    throw ParseFailure{position, std::move(message)};
  }

  static std::string describe(const Token& token) {
    switch (token.kind) {
      case TokenKind::End: return "the end of the expression";
      case TokenKind::Number: return "the number " + std::string(token.spelling);
      case TokenKind::Text: return "a text";
      default: return "'" + std::string(token.spelling) + "'";
    }
  }

  // Reads the next token into token_.
  void advance() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r' || text_[at_] == '\n')) {
      ++at_;
    }
    token_ = Token();
    token_.position = at_ + 1;
    const std::size_t start = at_;
    if (at_ == text_.size()) return;
    const char c = text_[at_];
    const auto next = [this](char expected) {
      return at_ + 1 < text_.size() && text_[at_ + 1] == expected;
    };
    const auto relation = [this](Relation relation, std::size_t length) {
      token_.kind = TokenKind::Relation;
      token_.relation = relation;
      at_ += length;
    };
    if (c == '(' || c == ')' || c == '-') {
      token_.kind = c == '('   ? TokenKind::LeftParen
                    : c == ')' ? TokenKind::RightParen
                               : TokenKind::Minus;
      ++at_;
    } else if (c == '=') {
      relation(Relation::Equal, 1);
    } else if (c == '<') {
      next('>')   ? relation(Relation::NotEqual, 2)
      : next('=') ? relation(Relation::LessOrEqual, 2)
                  : relation(Relation::Less, 1);
    } else if (c == '>') {
      next('=') ? relation(Relation::GreaterOrEqual, 2) : relation(Relation::Greater, 1);
    } else if (c == '\'') {
      readText();
    } else if (isDigit(c) || (c == '.' && at_ + 1 < text_.size() && isDigit(text_[at_ + 1]))) {
      readNumber();
    } else if (isNameStart(c)) {
      while (at_ < text_.size() && isNameChar(text_[at_])) ++at_;
      const std::string folded = foldName(text_.substr(start, at_ - start));
      token_.kind = folded == "AND"   ? TokenKind::And
                    : folded == "OR"  ? TokenKind::Or
                    : folded == "NOT" ? TokenKind::Not
                                      : TokenKind::Name;
    } else {
      const bool printable = c > ' ' && c < 127;
      fail(printable ? std::string("Unexpected character '") + c + "'" : "Unexpected character");
    }
    token_.spelling = text_.substr(start, at_ - start);
  }

  static bool isDigit(char c) { return c >= '0' && c <= '9'; }

  void readText() {
    std::string text;
    for (++at_;; ++at_) {
      if (at_ == text_.size()) fail("Text is not closed with a quote");
      if (text_[at_] == '\'') {
        if (at_ + 1 < text_.size() && text_[at_ + 1] == '\'') {
          text += '\'';
          ++at_;
          continue;
        }
        ++at_;
        break;
      }
      text += text_[at_];
    }
    token_.kind = TokenKind::Text;
    token_.value = Value::text(std::move(text));
  }

  void readNumber() {
    const std::size_t start = at_;
    while (at_ < text_.size() && isDigit(text_[at_])) ++at_;
    if (at_ < text_.size() && text_[at_] == '.') {
      ++at_;
      while (at_ < text_.size() && isDigit(text_[at_])) ++at_;
    }
    double number = 0;
    const auto [end, error] = std::from_chars(text_.data() + start, text_.data() + at_, number);
    if (error != std::errc() || end != text_.data() + at_) fail("Number out of range");
    token_.kind = TokenKind::Number;
    token_.value = Value::number(number);
  }

  std::size_t add(Node node) {
    program_.nodes.push_back(std::move(node));
    return program_.nodes.size() - 1;
  }

  // Nesting of parentheses and NOTs, bounded by kMaxNesting.
  void enterNesting() {
    if (++nesting_ > kMaxNesting) fail("Expression is nested too deeply");
  }

  // A chain of `below` terms joined by `joiner` (AND or OR), as one node with all of them.
  template <typename Below>
  std::size_t parseChain(TokenKind joiner, Kind kind, Below below) {
    const std::size_t first = (this->*below)();
    if (token_.kind != joiner) return first;
    Node chain;
    chain.kind = kind;
    chain.children.push_back(first);
    while (token_.kind == joiner) {
      advance();
      chain.children.push_back((this->*below)());
    }
    return add(std::move(chain));
  }

  std::size_t parseOr() { return parseChain(TokenKind::Or, Kind::Or, &Parser::parseAnd); }
  std::size_t parseAnd() { return parseChain(TokenKind::And, Kind::And, &Parser::parseNot); }

  std::size_t parseNot() {
    if (token_.kind != TokenKind::Not) return parseComparison();
    enterNesting();
    advance();
    Node negation;
    negation.kind = Kind::Not;
    negation.children.push_back(parseNot());
    --nesting_;
    return add(std::move(negation));
  }

  std::size_t parseComparison() {
    const std::size_t left = parseOperand();
    if (token_.kind != TokenKind::Relation) return left;
    Node comparison;
    comparison.kind = Kind::Compare;
    comparison.relation = token_.relation;
    advance();
    comparison.children = {left, parseOperand()};
    return add(std::move(comparison));
  }

  std::size_t parseOperand() {
    Node operand;
    switch (token_.kind) {
      case TokenKind::LeftParen: {
        const std::size_t open = token_.position;
        enterNesting();
        advance();
        const std::size_t inner = parseOr();
        if (token_.kind != TokenKind::RightParen) {
          fail("Expected ')' to close the '(' at position " + std::to_string(open) + " but found " +
               describe(token_));
        }
        --nesting_;
        advance();
        return inner;
      }
      case TokenKind::Minus:
        advance();
        if (token_.kind != TokenKind::Number) fail("Expected a number after '-'");
        operand.literal = Value::number(-token_.value.toNumber());
        break;
      case TokenKind::Number:
      case TokenKind::Text: operand.literal = token_.value; break;
      case TokenKind::Name:
        operand.kind = Kind::Name;
        operand.name = nameIndex(token_.spelling);
        break;
      default: fail("Expected a name, a number, a text or '(' but found " + describe(token_));
    }
    advance();
    return add(std::move(operand));
  }

  std::size_t nameIndex(std::string_view name) {
    const auto [entry, added] = nameIndices_.try_emplace(foldName(name), program_.names.size());
    if (added) program_.names.emplace_back(name);
    return entry->second;
  }

  std::string_view text_;
  std::size_t at_ = 0;
  Token token_;
  int nesting_ = 0;
  ExpressionProgram program_;
  std::map<std::string, std::size_t> nameIndices_;
};

bool holds(Relation relation, int order) {
  switch (relation) {
    case Relation::Equal: return order == 0;
    case Relation::NotEqual: return order != 0;
    case Relation::Less: return order < 0;
    case Relation::Greater: return order > 0;
    case Relation::LessOrEqual: return order <= 0;
    case Relation::GreaterOrEqual: return order >= 0;
  }
  return false;
}

Value truth(bool value) { return Value::number(value ? 1 : 0); }

Value evaluateNode(const ExpressionProgram& program, std::size_t index,
                   const std::vector<Value>& names) {
  const Node& node = program.nodes[index];
  const auto child = [&](std::size_t i) { return evaluateNode(program, node.children[i], names); };
  switch (node.kind) {
    case Kind::Literal: return node.literal;
    case Kind::Name: return names[node.name];
    case Kind::Not: return truth(!child(0).isTrue());
    case Kind::And:
      for (std::size_t i = 0; i < node.children.size(); ++i) {
        if (!child(i).isTrue()) return truth(false);
      }
      return truth(true);
    case Kind::Or:
      for (std::size_t i = 0; i < node.children.size(); ++i) {
        if (child(i).isTrue()) return truth(true);
      }
      return truth(false);
    case Kind::Compare: return truth(holds(node.relation, compareValues(child(0), child(1))));
  }
  return {};
}

}  // namespace

ParseResult Expression::parse(std::string_view text) {
  try {
    return {Expression(std::make_shared<const ExpressionProgram>(Parser(text).run())), {}};
  } catch (const ParseFailure& failure) {
    return {std::nullopt, {failure.position, failure.message}};
  }
}

Evaluation Expression::evaluate() const {
  // Every name is read once, before the evaluation, so that one evaluation sees one set of
  // values and an unknown name is reported whichever branch it stands in.
  std::vector<Value> values;
  values.reserve(program_->names.size());
  for (const std::string& name : program_->names) {
    const std::shared_ptr<BoundValue> variable = boundVariable(name);
    if (!variable) return {std::nullopt, "Unknown name '" + name + "'"};
    values.push_back(variable->get());
  }
  return {evaluateNode(*program_, program_->root, values), {}};
}

std::vector<Equality> Expression::requiredEqualities() const {
  const ExpressionProgram& program = *program_;
  const Node& root = program.nodes[program.root];
  std::vector<std::size_t> terms{program.root};
  if (root.kind == Kind::And) terms = root.children;
  std::vector<Equality> out;
  for (const std::size_t term : terms) {
    const Node& node = program.nodes[term];
    if (node.kind != Kind::Compare || node.relation != Relation::Equal) continue;
    const Node& left = program.nodes[node.children[0]];
    const Node& right = program.nodes[node.children[1]];
    for (const auto& [a, b] : {std::pair{&left, &right}, std::pair{&right, &left}}) {
      if (a->kind != Kind::Name) continue;
      if (b->kind == Kind::Name) {
        out.push_back({program.names[a->name], program.names[b->name], std::nullopt});
      } else if (b->kind == Kind::Literal) {
        out.push_back({program.names[a->name], {}, b->literal});
      }
    }
  }
  return out;
}

}  // namespace runtime
