// The headless script: what it says when it runs out or does not fit what the program asks.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/runtime/message.h"
#include "platform/window/dialogs.h"
#include "test_window.h"

namespace window::testing {
namespace {

std::string failureOf(HeadlessBackend& b, const Handler& handler = {}) {
  try {
    runTestWindow(b, handler);
  } catch (const ScriptError& e) {
    EXPECT_EQ(openWindows(), 0);
    return e.what();
  }
  return "no failure";
}

TEST(HeadlessScript, MismatchesNameTheWindowAndTheStep) {
  const Handler askOnOk = [](Window&) {
    if (ACCEPTED() == kCancelButton) runtime::MESSAGE("Sure?", "Cancel");
  };
  const struct {
    const char* name;
    std::function<void(HeadlessBackend&)> script;
    const char* failure;
  } cases[] = {
      {"the script runs out", [](HeadlessBackend& b) { b.type(kNameEntry, "x"); },
       "window \"Test Window\" (test$test001 P1$WINDOW) waits for a user action, but the script "
       "has ended after step 1 (type \"x\" into 5)"},
      {"nothing at all", [](HeadlessBackend&) {},
       "window \"Test Window\" (test$test001 P1$WINDOW) waits for a user action, but the script "
       "has ended before the first step"},
      {"a box comes where a click was scripted",
       [](HeadlessBackend& b) { b.click(kCancelButton).click(kOkButton); },
       "message box \"Cancel\" (\"Sure?\") shown, but step 2 is click 17"},
      {"an answer is scripted where the user must act", [](HeadlessBackend& b) { b.answer(1); },
       "window \"Test Window\" (test$test001 P1$WINDOW) waits for a user action, but step 1 is "
       "answer button 1 and no box or dialog is shown"},
      {"a control that does not exist", [](HeadlessBackend& b) { b.click(77); },
       "step 1 (click 77): window \"Test Window\" (test$test001 P1$WINDOW) has no control 77"},
      {"typing where the focus cannot go",
       [](HeadlessBackend& b) {
         b.checkpoint("disable", [](Window&) { DISABLE(kCountEntry); }).type(kCountEntry, "1");
       },
       "step 2 (type \"1\" into 6): control 6 of window \"Test Window\" (test$test001 "
       "P1$WINDOW) cannot take the focus"},
      {"a row the list does not have", [](HeadlessBackend& b) { b.chooseRow(kList, 4); },
       "step 1 (choose row 4 of 13): control 13 of window \"Test Window\" (test$test001 "
       "P1$WINDOW) has 3 rows"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    reset();
    HeadlessBackend b;
    c.script(b);
    EXPECT_EQ(failureOf(b, askOnOk), c.failure);
  }
}

TEST(HeadlessScript, CheckpointsRunWhereTheyStandAndDuringLongWork) {
  reset();
  HeadlessBackend b;
  std::vector<int> progressSeen;
  const Handler longWork = [](Window& w) {
    if (ACCEPTED() != kCancelButton) return;
    w.setProperty(kProgress, PropRangeHigh, 3);
    for (int n = 1; n <= 3; ++n) {
      w.setProperty(kProgress, PropProgress, n);
      PendingEvents();
    }
  };
  const auto seeProgress = [&](Window& w) {
    progressSeen.push_back(w.propertyNumber(kProgress, PropProgress));
  };
  b.click(kCancelButton)
      .checkpoint("1", seeProgress)
      .checkpoint("2", seeProgress)
      .checkpoint("3", seeProgress)
      .closeBox();
  runTestWindow(b, longWork);
  EXPECT_EQ(progressSeen, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(b.pendingCalls(), 3);
  EXPECT_TRUE(b.finished());
}

TEST(HeadlessScript, ACheckpointThatShowsABoxTakesTheNextAnswer) {
  reset();
  HeadlessBackend b;
  int checks = 0;
  int answer = 0;
  b.click(kCancelButton)
      .checkpoint("asks",
                  [&](Window&) {
                    ++checks;
                    answer = runtime::MESSAGE("Sure?", "Check", {},
                                              runtime::ButtonYes | runtime::ButtonNo);
                  })
      .answer(runtime::ButtonYes)
      .closeBox();
  runTestWindow(b);
  EXPECT_EQ(checks, 1);
  EXPECT_EQ(answer, runtime::ButtonYes);
  EXPECT_TRUE(b.finished());
}

TEST(Dialogs, MessageBoxesGoThroughTheBackend) {
  reset();
  HeadlessBackend b;
  int answer = 0;
  const Handler ask = [&](Window&) {
    if (ACCEPTED() == kCancelButton) {
      answer = runtime::MESSAGE("First line|second line", "No Matches", runtime::kIconExclamation,
                                runtime::ButtonYes | runtime::ButtonNo, runtime::ButtonNo);
    }
  };
  b.click(kCancelButton).answer(runtime::ButtonOk).closeBox();  // not one of its buttons
  runTestWindow(b, ask);
  ASSERT_EQ(b.boxes().size(), 1u);
  EXPECT_EQ(b.boxes()[0].text, "First line\nsecond line");
  EXPECT_EQ(b.boxes()[0].caption, "No Matches");
  EXPECT_EQ(b.boxes()[0].icon, runtime::kIconExclamation);
  EXPECT_EQ(answer, runtime::ButtonNo);  // an answer that is not a button is the default
}

TEST(Dialogs, FileDialogsKeepOrLeaveTheCurrentDirectory) {
  namespace fs = std::filesystem;
  const fs::path start = fs::current_path();
  const fs::path folder = fs::temp_directory_path() / "window_dialog_test";
  fs::create_directories(folder);
  const std::string chosen = (folder / "game.agk").string();
  const struct {
    bool restore;
    fs::path after;
  } cases[] = {{true, start}, {false, folder}};
  for (const auto& c : cases) {
    HeadlessBackend b;
    b.answerFile(chosen, true).cancelDialog();
    BackendScope scope(b);
    FileDialogRequest request;
    request.title = "Select AGK filename";
    request.masks = {{"AGK Project Files", "*.agk"}};
    EXPECT_EQ(fileDialog(request, c.restore), chosen);
    EXPECT_EQ(fs::current_path(), c.after);
    EXPECT_EQ(fileDialog(request, c.restore), std::nullopt);  // cancelled
    ASSERT_EQ(b.fileDialogs().size(), 2u);
    EXPECT_EQ(b.fileDialogs()[0].masks[0].pattern, "*.agk");
    fs::current_path(start);
  }
  fs::remove_all(folder);
}

TEST(Dialogs, WithoutABackendWaitingFails) {
  reset();
  registerTestWindow();
  Window& w = OPEN(kTestKey, kTestLabel);
  EXPECT_TRUE(ACCEPT());  // OpenWindow is queued
  EXPECT_EQ(EVENT(), EventOpenWindow);
  EXPECT_TRUE(ACCEPT());  // the first control's Selected
  EXPECT_THROW(ACCEPT(), std::logic_error);
  EXPECT_EQ(&w, currentWindow());
  CLOSE();
  EXPECT_EQ(currentWindow(), nullptr);
  EXPECT_EQ(EVENT(), 0);
  EXPECT_THROW(OPEN("test$none", kTestLabel), std::invalid_argument);
}

}  // namespace
}  // namespace window::testing
