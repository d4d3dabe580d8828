#include "platform/window/list_format.h"

#include <gtest/gtest.h>

#include <string>

namespace window {
namespace {

// Every format string the program's lists use must parse and write back unchanged.
TEST(ListFormat, ProgramFormatsParseAndWriteBackUnchanged) {
  const struct {
    const char* format;
    std::size_t columns;
    int fields;
  } cases[] = {
      {"12C(2)MJ@p p@12C(2)MJ~W~@p p@12C(2)MJ~A~@p p@12C(2)MJ~I~@p p@12C(2)|MJ~H~@p p@191L(2)|M"
       "~Project Description~@s99@140L(2)|M~Category~@s49@53R(4)|M~Last Date~L(2)@D2@1016L(2)|M"
       "@s254@56R(2)|M~id~L@n-14@40R(2)|M~Lastaccess~L@d6@40R(2)|M~createtiondate~L@d6@396R(2)|"
       "M~codeby~L@s99@1016R(2)|M~Threadlink~L@s254@76R(2)|M~longdescription~L@s19@",
       15, 20},
      {"12L(2)I@p p@396L(2)|M@s99@1020L(2)|M@s255@1020L(2)|M@s255@1016L(2)|M@s254@", 5, 6},
      {"196L(2)|M@s49@", 1, 1},
      {"196L(2)|M~Project Description~@s99@196L(2)|M~Category~@s49@57R(2)|M~Last Date~L@d6@"
       "1016L(2)|M~Project Path~@s254@",
       4, 4},
      {"396L(2)|M@s99@1016L(2)|M@s254@56R(2)|M@n-14@", 3, 3},
      {"396L(2)|M@s99@1016L(2)|M~Project Path~@s254@", 2, 2},
      {"403L(2)|M~Project~@s99@58R(2)|M~Last Date~L@d6@1016L(2)|M@s254@", 3, 3},
      {"80L(2)|M@s99@", 1, 1},
  };
  for (const auto& c : cases) {
    std::string error;
    const auto parsed = parseListFormat(c.format, &error);
    ASSERT_TRUE(parsed) << c.format << ": " << error;
    EXPECT_EQ(parsed->columns.size(), c.columns) << c.format;
    EXPECT_EQ(parsed->fieldsUsed(), c.fields) << c.format;
    EXPECT_EQ(parsed->text(), c.format);
  }
}

TEST(ListFormat, ColumnsCarryWidthAlignmentModifiersHeadingAndPicture) {
  const auto f = parseListFormat(
      "12C(2)|MJ~H~@p p@53R(4)|M~Last Date~L(2)@D2@56R(2)|M~id~L@n-14@12L(2)I@p p@80L@s9@");
  ASSERT_TRUE(f);
  const ListColumn& icon = f->columns[0];
  EXPECT_EQ(icon.width, 12);
  EXPECT_EQ(icon.align, 'C');
  EXPECT_EQ(icon.indent, 2);
  EXPECT_TRUE(icon.rightBorder);
  EXPECT_TRUE(icon.resizable);
  EXPECT_TRUE(icon.icon);
  EXPECT_TRUE(icon.transparentIcon);
  EXPECT_EQ(icon.heading, "H");
  EXPECT_EQ(icon.headerAlign, 0);
  EXPECT_EQ(icon.picture, "@p p");
  EXPECT_EQ(icon.field, 1);
  EXPECT_EQ(icon.iconField(), 2);

  const ListColumn& date = f->columns[1];
  EXPECT_EQ(date.align, 'R');
  EXPECT_EQ(date.indent, 4);
  EXPECT_EQ(date.heading, "Last Date");
  EXPECT_EQ(date.headerAlign, 'L');
  EXPECT_EQ(date.headerIndent, 2);
  EXPECT_EQ(date.picture, "@D2");
  EXPECT_EQ(date.field, 3);  // after the icon column's value and icon

  const ListColumn& id = f->columns[2];
  EXPECT_EQ(id.headerAlign, 'L');
  EXPECT_FALSE(id.headerIndent);
  EXPECT_EQ(id.field, 4);

  const ListColumn& plainIcon = f->columns[3];
  EXPECT_TRUE(plainIcon.icon);
  EXPECT_FALSE(plainIcon.transparentIcon);
  EXPECT_FALSE(plainIcon.rightBorder);
  EXPECT_EQ(plainIcon.field, 5);

  const ListColumn& noIndent = f->columns[4];
  EXPECT_FALSE(noIndent.indent);
  EXPECT_FALSE(noIndent.heading);
  EXPECT_EQ(noIndent.field, 7);
}

TEST(ListFormat, ExtraFieldsAndExplicitFieldNumbers) {
  const auto f = parseListFormat("20L*Y@s5@20LT@s5@20L#1#@s5@20LZ(3)@s5@");
  ASSERT_TRUE(f);
  EXPECT_EQ(f->columns[0].fieldCount, 6);  // value, style, four colours
  EXPECT_EQ(f->columns[0].styleFieldNo(), 2);
  EXPECT_EQ(f->columns[1].field, 7);
  EXPECT_EQ(f->columns[1].fieldCount, 2);  // value, tree level
  EXPECT_EQ(f->columns[2].field, 1);
  EXPECT_EQ(f->columns[3].field, 2);  // continues after the explicit field
  EXPECT_EQ(f->columns[3].cellStyle, 3);
  EXPECT_EQ(f->text(), "20L*Y@s5@20LT@s5@20L#1#@s5@20LZ(3)@s5@");
}

TEST(ListFormat, CellStyleRewritesItsModifier) {
  auto c = parseListColumn("40R(2)|M~id~L@n-14@");
  ASSERT_TRUE(c);
  c->setCellStyle(4);
  EXPECT_EQ(c->text(), "40R(2)|MZ(4)~id~L@n-14@");
  c->setCellStyle(6);
  EXPECT_EQ(c->text(), "40R(2)|MZ(6)~id~L@n-14@");
  c->setCellStyle(0);
  EXPECT_EQ(c->text(), "40R(2)|M~id~L@n-14@");
}

TEST(ListFormat, MalformedFormatsAreRefusedWithThePosition) {
  const struct {
    const char* format;
    const char* error;
  } cases[] = {
      {"L(2)@s5@", "expected a number at position 1"},
      {"12X@s5@", "expected alignment L, R, C or D at position 3"},
      {"12L(2@s5@", "expected \")\" at position 6"},
      {"12L~head@s5@", "unterminated \"~\" at position 4"},
      {"12L@s5", "unterminated \"@\" at position 4"},
      {"12LQ@s5@", "unexpected \"Q\" at position 4"},
      {"12LZ@s5@", "expected \"(style)\" after Z at position 5"},
      {"12L#0#@s5@", "field number must be positive at position 6"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(parseListFormat(c.format, &error)) << c.format;
    EXPECT_EQ(error, std::string("list format: ") + c.error) << c.format;
  }
  EXPECT_FALSE(parseListColumn("12L@s5@12L@s5@"));
}

}  // namespace
}  // namespace window
