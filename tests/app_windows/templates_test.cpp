// The template windows: the preview of a template's line file, the list with its form, the
// ".tpl" file dialog, and the lookup that New_Project runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/windows/browse_templates.h"
#include "app/windows/select_template.h"
#include "app/windows/update_templates.h"
#include "classlib/request.h"
#include "platform/runtime/message.h"
#include "platform/runtime/text.h"
#include "platform/window/window.h"
#include "tests/app_windows/window_fixture.h"

namespace app {
namespace {

using classlib::RequestInsert;
using classlib::RequestSelect;
using classlib::RequestView;
using classlib::ResponseCancelled;
using classlib::ResponseCompleted;
using testing::Shown;
using window::HeadlessBackend;
using window::Window;

class TemplatesTest : public testing::WindowTest {
 protected:
  void addTemplate(const char* description, const std::string& path) {
    add(template_, [&] {
      TPL->DESCRIPTION = description;
      TPL->PROJECTPATH = path;
    });
  }
  std::vector<std::string> templates() {
    return stored(template_, "TPL:P_ID", [] {
      return std::to_string(TPL->ID) + " " + std::string(TPL->DESCRIPTION.view()) + " " +
             std::string(TPL->PROJECTPATH.view());
    });
  }
};

TEST_F(TemplatesTest, ThePreviewShowsTheLinesTheFileCounts) {
  const std::string line(1000, 'x');
  std::string many = "[template]\ntotal=100\n";
  for (int n = 1; n <= 100; ++n) many += std::to_string(n) + "=" + line + "\n";
  const struct {
    const char* name;
    std::string content;  // empty: no file
    std::string preview;
  } cases[] = {
      {"three lines", "[template]\ntotal=3\n1=a\n2=\n3=c\n", "a\r\n\r\nc\r\n"},
      {"total 0", "[template]\ntotal=0\n1=a\n", ""},
      {"total not a number", "[template]\ntotal=x\n1=a\n", ""},
      {"no total", "[template]\n1=a\n", ""},
      {"a missing line is empty", "[template]\ntotal=2\n2=b\n", "\r\nb\r\n"},
      {"no file", "", ""},
      {"cut", many, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove("t.tpl");
    if (!c.content.empty()) folder.write("t.tpl", c.content);
    const std::string preview = templatePreview("t.tpl");
    if (std::string_view(c.name) == "cut") {
      EXPECT_EQ(preview.size(), kPreviewLimit);
      EXPECT_EQ(preview.substr(0, line.size() + 2), line + "\r\n");
    } else {
      EXPECT_EQ(preview, c.preview);
    }
  }
  EXPECT_EQ(templatePreview(""), "") << "a blank path reads no profile";
}

TEST_F(TemplatesTest, TheListShowsThePreviewOfTheSelectedTemplate) {
  folder.write("one.tpl", "[template]\ntotal=1\n1=first\n");
  folder.write("two.tpl", "[template]\ntotal=2\n1=second\n2=more\n");
  addTemplate("One", "one.tpl");
  addTemplate("Two", "two.tpl");
  HeadlessBackend script;
  std::vector<std::string> previews;
  const auto look = [&](Window& w) { previews.push_back(w.control(kTemplatePreview)->screenText); };
  script.checkpoint("opened", look)
      .chooseRow(kTemplatesList, 2)
      .checkpoint("second", look)
      .chooseRow(kTemplatesList, 1)
      .checkpoint("first", look)
      .closeBox();
  run(script, 0, browse_Templates);
  EXPECT_EQ(previews, (std::vector<std::string>{"first\r\n", "second\r\nmore\r\n", "first\r\n"}));
}

TEST_F(TemplatesTest, ThePreviewFollowsTheSelectedTemplateThroughTheForm) {
  folder.write("one.tpl", "[template]\ntotal=1\n1=first\n");
  folder.write("two.tpl", "[template]\ntotal=1\n1=second\n");
  folder.write("three.tpl", "[template]\ntotal=1\n1=third\n");
  addTemplate("One", "one.tpl");
  addTemplate("Two", "two.tpl");
  HeadlessBackend script;
  // The selected row and the preview beside it, after each request.
  std::vector<std::string> seen;
  const auto look = [&](Window& w) {
    const window::ListView& l = w.control(kTemplatesList)->list;
    seen.push_back(l.cellText(static_cast<std::size_t>(l.selected), 1) + ": " +
                   w.control(kTemplatePreview)->screenText);
  };
  script.click(kTemplatesInsert)
      .type(kTemplateDescriptionEntry, "Three")
      .type(kTemplatePathEntry, "three.tpl")
      .click(kTemplateOk)
      .checkpoint("inserted", look)
      .chooseRow(kTemplatesList, 1)
      .click(kTemplatesChange)
      .type(kTemplatePathEntry, "two.tpl")
      .click(kTemplateOk)
      .checkpoint("changed", look)
      .click(kTemplatesDelete)
      .click(kTemplateOk)
      .answer(runtime::ButtonYes)
      .checkpoint("deleted", look)
      .closeBox();
  run(script, 0, browse_Templates);
  EXPECT_EQ(seen,
            (std::vector<std::string>{"Three: third\r\n", "One: second\r\n", "Two: second\r\n"}));
}

TEST_F(TemplatesTest, TheListRunsTheFormAndTheViewRequestDisablesEditing) {
  addTemplate("One", "one.tpl");
  HeadlessBackend script;
  std::vector<Shown> pages;
  script.click(kTemplatesInsert)
      .in("Template Updates")
      .checkpoint("insert", [](Window& w) { EXPECT_EQ(w.statusText(2), "Record Will Be Added"); })
      .type(kTemplateDescriptionEntry, "Two")
      .type(kTemplatePathEntry, "two.tpl")
      .click(kTemplateOk)
      .checkpoint("inserted", [&](Window& w) { pages.push_back(shown(w, kTemplatesList)); })
      .chooseRow(kTemplatesList, 1)
      .click(kTemplatesChange)
      .in("Template Updates")
      .type(kTemplateDescriptionEntry, "Uno")
      .click(kTemplateOk)
      .closeBox();
  run(script, 0, browse_Templates);
  EXPECT_EQ(pages, (std::vector<Shown>{{"One", "[Two]"}}));
  EXPECT_EQ(templates(), (std::vector<std::string>{"1 Uno one.tpl", "2 Two two.tpl"}));

  HeadlessBackend view;
  view.checkpoint("disabled",
                  [](Window& w) {
                    for (int c : {kTemplatesInsert, kTemplatesChange, kTemplatesDelete})
                      EXPECT_TRUE(w.control(c)->disabled) << c;
                  })
      .doubleClick(kTemplatesList, 1)
      .closeBox();
  run(view, RequestView, browse_Templates);
  EXPECT_EQ(view.openedWindows().size(), 1u) << "no form";
}

TEST_F(TemplatesTest, TheFormAsksForATplFileAndACancelEmptiesThePath) {
  HeadlessBackend script;
  script.type(kTemplateDescriptionEntry, "Basic")
      .click(kTemplatePathLookup)
      .answerFile("/t/basic.tpl")
      .click(kTemplatePathLookup)
      .cancelDialog()
      .checkpoint("emptied",
                  [](Window& w) {
                    EXPECT_EQ(runtime::CLIP(w.control(kTemplatePathEntry)->screenText), "");
                  })
      .click(kTemplatePathLookup)
      .answerFile("/t/basic.tpl")
      .click(kTemplateOk);
  EXPECT_EQ(run(script, RequestInsert, update_Templates), ResponseCompleted);
  ASSERT_EQ(script.fileDialogs().size(), 3u);
  ASSERT_EQ(script.fileDialogs()[0].masks.size(), 1u);
  EXPECT_EQ(script.fileDialogs()[0].masks[0].description, "AGK Main File");
  EXPECT_EQ(script.fileDialogs()[0].masks[0].pattern, "*.tpl");
  EXPECT_EQ(templates(), (std::vector<std::string>{"1 Basic /t/basic.tpl"}));

  TPL->ID = 1;
  HeadlessBackend view;
  view.checkpoint("read-only",
                  [](Window& w) {
                    EXPECT_TRUE(w.control(kTemplateDescriptionEntry)->readOnly);
                    EXPECT_TRUE(w.control(kTemplatePathEntry)->readOnly);
                    EXPECT_TRUE(w.control(kTemplatePathLookup)->disabled);
                  })
      .click(kTemplateOk);
  EXPECT_EQ(run(view, RequestView, update_Templates), ResponseCancelled);
}

TEST_F(TemplatesTest, SelectTemplateAnswersTheChosenRecordOrCancelled) {
  addTemplate("One", "one.tpl");
  addTemplate("Two", "two.tpl");
  HeadlessBackend choose;
  choose.chooseRow(kSelectTemplateList, 2).click(kSelectTemplateButton);
  EXPECT_EQ(run(choose, RequestSelect, select_template), ResponseCompleted);
  EXPECT_EQ(TPL->ID, 2);
  EXPECT_EQ(TPL->DESCRIPTION.view(), "Two");
  EXPECT_EQ(TPL->PROJECTPATH.view(), "two.tpl");

  HeadlessBackend close;
  close.closeBox();
  EXPECT_EQ(run(close, RequestSelect, select_template), ResponseCancelled);
}

}  // namespace
}  // namespace app
