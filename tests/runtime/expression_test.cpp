#include "platform/runtime/expression.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace runtime {
namespace {

// The variables a list filter of the main window reads, and a few more of other kinds.
class ExpressionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(BIND("PRO:CATEGORY", proCategory_, sizeof proCategory_, TextKind::CString));
    ASSERT_TRUE(BIND("glo:category", gloCategory_, sizeof gloCategory_, TextKind::CString));
    ASSERT_TRUE(BIND("PRO:PADDED", padded_, sizeof padded_, TextKind::String));
    ASSERT_TRUE(BIND("PRO:ID", id_));
    ASSERT_TRUE(BIND("Ratio", ratio_));
    ASSERT_TRUE(BIND("CODE", code_, sizeof code_, TextKind::String));
    set("PRO:CATEGORY", "Games");
    set("GLO:CATEGORY", "Games");
    set("PRO:PADDED", "Games");
    set("CODE", "10");
  }
  void TearDown() override {
    for (const char* name :
         {"PRO:CATEGORY", "GLO:CATEGORY", "PRO:PADDED", "PRO:ID", "RATIO", "CODE"}) {
      UNBIND(name);
    }
  }

  static void set(const char* name, const char* text) {
    ASSERT_TRUE(boundVariable(name)->set(Value::text(text)));
  }

  static Evaluation evaluate(const std::string& text) {
    const ParseResult parsed = Expression::parse(text);
    EXPECT_TRUE(parsed.ok()) << text << ": " << parsed.error.message;
    return parsed.ok() ? parsed.expression->evaluate() : Evaluation{};
  }

  char proCategory_[50] = {};
  char gloCategory_[50] = {};
  char padded_[20] = {};
  char code_[4] = {};
  std::int32_t id_ = 12;
  double ratio_ = 2.5;
};

TEST_F(ExpressionTest, FilterTable) {
  const struct {
    const char* text;
    bool expected;
  } cases[] = {
      {"(PRO:category = glo:category)", true},
      {"pro:category = GLO:CATEGORY", true},
      {"PRO:PADDED = PRO:CATEGORY", true},  // STRING padding against CSTRING
      {"PRO:PADDED = 'Games   '", true},
      {"PRO:PADDED = 'games'", false},  // text comparison keeps letter case
      {"PRO:PADDED <> 'Game'", true},
      {"'it''s' = 'it''s'", true},
      {"'a' < 'b' and 'b' > 'a'", true},
      {"PRO:ID = 12", true},
      {"PRO:ID >= 12 AND PRO:ID <= 12", true},
      {"PRO:ID < 12 or PRO:ID > 12", false},
      {"PRO:ID = '12'", true},      // a text that holds a number meets a number as one
      {"CODE > 9", true},           // "10" as a number, not as a text
      {"CODE < 'A'", true},         // two texts compare as texts
      {"PRO:CATEGORY = 0", false},  // a text that is no number against a number: as texts
      {"Ratio > 2.4 AND ratio < 2.6", true},
      {"-3 < 2", true},
      {"1 = 1 OR 1 = 2 AND 1 = 2", true},  // AND before OR
      {"(1 = 1 OR 1 = 2) AND 1 = 2", false},
      {"NOT PRO:ID = 13", true},  // NOT takes the whole comparison
      {"not (PRO:ID = 12) or not 0", true},
      {"NOT NOT 1", true},
      {"PRO:ID", true},  // a bare value: a number is true unless 0, a text unless blank
      {"'   '", false},
      {"(1 = 1) = 1", true},
  };
  for (const auto& c : cases) {
    const Evaluation result = evaluate(c.text);
    EXPECT_TRUE(result.ok()) << c.text << ": " << result.error;
    EXPECT_EQ(result.isTrue(), c.expected) << c.text;
  }
}

TEST_F(ExpressionTest, ACompiledFilterReadsTheValuesOfEachEvaluation) {
  const ParseResult filter = Expression::parse("(PRO:category = glo:category)");
  ASSERT_TRUE(filter.ok());
  EXPECT_TRUE(filter.expression->evaluate().isTrue());
  set("GLO:CATEGORY", "Tools");
  EXPECT_FALSE(filter.expression->evaluate().isTrue());
  char other[50] = "Tools";
  ASSERT_TRUE(BIND("PRO:Category", other, sizeof other, TextKind::CString));  // rebinds the name
  EXPECT_TRUE(filter.expression->evaluate().isTrue());
}

TEST_F(ExpressionTest, ACompiledFilterSeesANameUnboundAndBoundAgain) {
  const ParseResult filter = Expression::parse("PRO:ID = 12");
  ASSERT_TRUE(filter.ok());
  const Expression copy = *filter.expression;
  EXPECT_TRUE(filter.expression->evaluate().isTrue());
  UNBIND("PRO:ID");
  for (const Expression* e : {&*filter.expression, &copy}) {
    const Evaluation result = e->evaluate();
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.error, "Unknown name 'PRO:ID'");
  }
  std::int32_t other = 12;
  ASSERT_TRUE(BIND("pro:id", other));
  EXPECT_TRUE(copy.evaluate().isTrue());
  other = 13;
  EXPECT_FALSE(filter.expression->evaluate().isTrue());
}

TEST_F(ExpressionTest, AnUnknownNameIsAnEvaluationErrorWhereverItStands) {
  for (const char* text : {"PRO:ID = 12 OR LOC:Missing = 1", "LOC:Missing"}) {
    const Evaluation result = evaluate(text);
    EXPECT_FALSE(result.ok()) << text;
    EXPECT_FALSE(result.isTrue());
    EXPECT_EQ(result.error, "Unknown name 'LOC:Missing'");
  }
  UNBIND("PRO:ID");
  EXPECT_FALSE(evaluate("PRO:ID = 12").ok());
}

std::string repeat(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

TEST(ExpressionParse, MalformedTextsGiveWhereAndWhy) {
  const struct {
    std::string text;
    std::size_t position;
    const char* messagePart;
  } cases[] = {
      {"", 1, "the end of the expression"},
      {"a =", 4, "Expected a name"},
      {"(a = 1", 7, "Expected ')' to close the '(' at position 1"},
      {"a = 1)", 6, "Expected AND, OR or the end"},
      {"a = 1 b", 7, "'b'"},
      {"a == 1", 4, "found '='"},
      {"a = 'abc", 5, "not closed"},
      {"NOT", 4, "Expected a name"},
      {"a = 1 AND", 10, "Expected a name"},
      {"a # 1", 3, "Unexpected character '#'"},
      {"a = \xC3\xA9", 5, "Unexpected character"},
      {"- a", 3, "Expected a number after '-'"},
      {"AND = 1", 1, "found 'AND'"},
      {repeat("(", 101) + "1" + repeat(")", 101), 101, "nested too deeply"},
      {repeat("NOT ", 101) + "1", 401, "nested too deeply"},
  };
  for (const auto& c : cases) {
    const ParseResult parsed = Expression::parse(c.text);
    ASSERT_FALSE(parsed.ok()) << c.text;
    EXPECT_EQ(parsed.error.position, c.position) << c.text << ": " << parsed.error.message;
    EXPECT_NE(parsed.error.message.find(c.messagePart), std::string::npos)
        << c.text << ": " << parsed.error.message;
  }
  EXPECT_TRUE(Expression::parse(repeat("(", 100) + "1" + repeat(")", 100)).ok());
  EXPECT_TRUE(Expression::parse(repeat("NOT ", 100) + "1").ok());
}

TEST(ExpressionParse, RandomTextsNeverCrashAndErrorsPointIntoTheText) {
  std::int32_t variable = 3;
  ASSERT_TRUE(BIND("F:X", variable));
  const std::vector<std::string> pieces = {
      "(",  ")",    " ",    "=",    "<",  ">", "<>",  "<=",  ">=",    "'",
      "''", "'ab'", "1",    "2.5",  ".",  "-", "F:X", "f:x", "LOC:Y", "AND",
      "or", "Not",  "\xC3", "\xA9", "\0", "#", "~",   ":",   "_a",    "9z"};
  std::mt19937 random(20240611);
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 12);
    for (int i = 0; i < length; ++i) {
      if (round % 4 == 0) {
        text += static_cast<char>(random() % 256);  // raw bytes
      } else {
        text += pieces[random() % pieces.size()];
      }
    }
    const ParseResult parsed = Expression::parse(text);
    if (parsed.ok()) {
      const Evaluation result = parsed.expression->evaluate();
      EXPECT_TRUE(result.ok() || !result.error.empty()) << text;
    } else {
      EXPECT_GE(parsed.error.position, 1u) << text;
      EXPECT_LE(parsed.error.position, text.size() + 1) << text;
      EXPECT_FALSE(parsed.error.message.empty()) << text;
    }
  }
  UNBIND("F:X");
}

TEST(Bind, RefusesNamesNoExpressionCouldUse) {
  std::int32_t variable = 0;
  for (const char* name : {"", "1abc", "a b", "a-b", "AND", "not", "\xC3\xA9t\xC3\xA9"}) {
    EXPECT_FALSE(BIND(name, variable)) << name;
  }
  EXPECT_FALSE(BIND("good", std::shared_ptr<BoundValue>()));
  EXPECT_EQ(boundVariable("good"), nullptr);
  UNBIND("never bound");  // leaves the table alone
}

TEST(Bind, OutParametersAreStoredThroughTheBinding) {
  // A SQL driver fills "locCase" from an OUT parameter it reads as text.
  std::int32_t locCase = 0;
  ASSERT_TRUE(BIND("locCase", locCase));
  ASSERT_TRUE(boundVariable("LOCCASE")->set(Value::text("1")));
  EXPECT_EQ(locCase, 1);
  UNBIND("LocCase");
  EXPECT_EQ(boundVariable("locCase"), nullptr);

  std::uint8_t byte = 7;
  BoundNumber<std::uint8_t> boundByte(byte);
  const struct {
    Value value;
    bool stored;
    int expected;
  } numbers[] = {{Value::number(255), true, 255},
                 {Value::number(256), false, 255},
                 {Value::number(-1), false, 255},
                 {Value::number(3.9), true, 3},
                 {Value::text("abc"), true, 0}};
  for (const auto& c : numbers) {
    EXPECT_EQ(boundByte.set(c.value), c.stored) << c.value.toText();
    EXPECT_EQ(byte, c.expected) << c.value.toText();
  }
}

TEST(Bind, TextVariablesKeepTheirKindsLayout) {
  const std::string text = "ab\xC3\xA9";  // "abé": the cut must not split the é
  char string[4];
  char cstring[4];
  char pstring[4];
  BoundText boundString(string, sizeof string, TextKind::String);
  BoundText boundCString(cstring, sizeof cstring, TextKind::CString);
  BoundText boundPString(pstring, sizeof pstring, TextKind::PString);
  ASSERT_TRUE(boundString.set(Value::text(text)));
  ASSERT_TRUE(boundCString.set(Value::text(text)));
  ASSERT_TRUE(boundPString.set(Value::text(text)));
  EXPECT_EQ(std::string(string, 4), text);
  EXPECT_EQ(std::string(cstring, 3), std::string("ab\0", 3));
  EXPECT_EQ(std::string(pstring, 3),
            "\x02"
            "ab");
  EXPECT_EQ(boundCString.get().toText(), "ab");
  EXPECT_EQ(boundPString.get().toText(), "ab");

  ASSERT_TRUE(boundString.set(Value::number(7)));
  EXPECT_EQ(boundString.get().toText(), "7   ");
  ASSERT_TRUE(boundString.set(Value::number(-0.25)));
  EXPECT_EQ(boundString.get().toText(), "-0.2");
}

TEST(CompareValues, TextsAndNumbersMeetAsTheRuntimeCompares) {
  const struct {
    Value a, b;
    int order;
  } cases[] = {
      {Value::text("abc  "), Value::text("abc"), 0}, {Value::text("abc"), Value::text("abd"), -1},
      {Value::text(" 12 "), Value::number(12), 0},   {Value::number(9), Value::text("10"), -1},
      {Value::text("10"), Value::text("9"), -1},     {Value::text("abc"), Value::number(1), 1},
      {Value::text(""), Value::number(0), -1},       {Value::number(2.5), Value::number(2.5), 0},
  };
  for (const auto& c : cases) {
    const int order = compareValues(c.a, c.b);
    EXPECT_EQ((order > 0) - (order < 0), c.order) << c.a.toText() << " vs " << c.b.toText();
  }
}

}  // namespace
}  // namespace runtime
