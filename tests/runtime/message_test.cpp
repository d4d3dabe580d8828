#include "platform/runtime/message.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <stdexcept>

#include "platform/runtime/module_initialisers.h"
#include "platform/runtime/scripted_answerer.h"

namespace runtime {
namespace {

class MessageTest : public ::testing::Test {
 protected:
  ScriptedAnswerer answerer_;
  InterceptingHalter halter_;
  ScopedMessageHandlers handlers_{answerer_, halter_};
};

TEST_F(MessageTest, TheAnswererGetsTheWholeBoxAndItsAnswerIsReturned) {
  // The box with which a fatal SQL error asks whether to end the program.
  answerer_.addAnswer(ButtonNo);
  EXPECT_EQ(MESSAGE("Report|second line\r\nthird", "Upkeep Error", systemIcon(32517),
                    ButtonYes | ButtonNo, ButtonNo, StyleSystemModal),
            ButtonNo);
  ASSERT_EQ(answerer_.shown().size(), 1u);
  const MessageRequest box = answerer_.shown()[0];
  EXPECT_EQ(box.text, "Report\nsecond line\nthird");
  EXPECT_EQ(box.caption, "Upkeep Error");
  EXPECT_EQ(box.icon, std::string("\xFF\x01\x05\x7F", 4));
  EXPECT_EQ(box.buttons, ButtonYes | ButtonNo);
  EXPECT_EQ(box.defaultButton, ButtonNo);
  EXPECT_EQ(box.style, StyleSystemModal);
}

TEST_F(MessageTest, MissingOrImpossibleButtonsAreMadeSound) {
  const struct {
    int buttons, defaultButton;
    int shownButtons, shownDefault;
  } cases[] = {
      {0, 0, ButtonOk, ButtonOk},
      {ButtonYes | ButtonNo, 0, ButtonYes | ButtonNo, ButtonYes},
      {ButtonYes | ButtonNo, ButtonOk, ButtonYes | ButtonNo, ButtonYes},
      {ButtonAbort | ButtonRetry | ButtonIgnore, ButtonRetry | ButtonIgnore,
       ButtonAbort | ButtonRetry | ButtonIgnore, ButtonAbort},
      {ButtonRetry | ButtonCancel, ButtonCancel, ButtonRetry | ButtonCancel, ButtonCancel},
      {ButtonOk | 0x1000, ButtonOk, ButtonOk, ButtonOk},
  };
  for (const auto& c : cases) {
    answerer_.addAnswer(c.shownDefault);
    EXPECT_EQ(MESSAGE("text", "caption", {}, c.buttons, c.defaultButton), c.shownDefault);
    const MessageRequest box = answerer_.shown().back();
    EXPECT_EQ(box.buttons, c.shownButtons) << c.buttons;
    EXPECT_EQ(box.defaultButton, c.shownDefault) << c.buttons;
  }
}

TEST_F(MessageTest, TheScriptedAnswererFailsClearlyWhenItsScriptDoesNotFit) {
  try {
    MESSAGE("There are no records matching the selection critieria you have entered.", "No Matches",
            kIconExclamation);
    FAIL() << "no answer was scripted";
  } catch (const std::logic_error& error) {
    EXPECT_NE(std::string(error.what()).find("No Matches"), std::string::npos);
  }
  answerer_.addAnswer(ButtonYes);
  EXPECT_THROW(MESSAGE("text", "caption", {}, ButtonOk), std::logic_error);
  EXPECT_EQ(answerer_.answersLeft(), 0u);
}

TEST_F(MessageTest, StopIgnoreReturnsAndStopAbortEndsTheProgram) {
  answerer_.addAnswer(ButtonIgnore);
  STOP("Upkeep: Unable to Open UPG file");
  const MessageRequest box = answerer_.shown().at(0);
  EXPECT_EQ(box.caption, "Stop");
  EXPECT_EQ(box.text, "Upkeep: Unable to Open UPG file");
  EXPECT_EQ(box.buttons, ButtonAbort | ButtonIgnore);
  EXPECT_EQ(box.defaultButton, ButtonAbort);

  answerer_.addAnswer(ButtonAbort);
  try {
    STOP("Upkeep: again");
    FAIL() << "Abort returned to the caller";
  } catch (const HaltRequested& halt) {
    EXPECT_EQ(halt.exitCode, kStopAbortExitCode);
  }
  EXPECT_EQ(answerer_.shown().size(), 2u) << "Abort ends the program without a Halt box";
}

TEST_F(MessageTest, HaltShowsItsMessageFirstAndEndsWithItsExitCode) {
  const struct {
    const char* message;
    int exitCode;
    std::size_t boxes;
  } cases[] = {
      {"MySQL requires db.tablename format in your full path name!|Ending Program.", 0, 1},
      {"", 7, 0},
  };
  for (const auto& c : cases) {
    const std::size_t before = answerer_.shown().size();
    if (c.boxes) answerer_.addAnswer(ButtonOk);
    try {
      HALT(c.exitCode, c.message);
    } catch (const HaltRequested& halt) {
      EXPECT_EQ(halt.exitCode, c.exitCode);
    }
    ASSERT_EQ(answerer_.shown().size() - before, c.boxes) << c.message;
    if (c.boxes) {
      const MessageRequest box = answerer_.shown().back();
      EXPECT_EQ(box.caption, "Halt");
      EXPECT_EQ(box.text,
                "MySQL requires db.tablename format in your full path name!\n"
                "Ending Program.");
      EXPECT_EQ(box.buttons, ButtonOk);
    }
  }
}

TEST(StreamAnswerer, WritesTheBoxAndAnswersItsDefaultButton) {
  std::ostringstream out;
  StreamAnswerer answerer(out);
  MessageRequest box;
  box.text = "first\nsecond";
  box.caption = "Upkeep Warning:";
  box.icon = std::string(kIconInformation);
  box.buttons = ButtonYes | ButtonNo | ButtonCancel;
  box.defaultButton = ButtonNo;
  EXPECT_EQ(answerer.answer(box), ButtonNo);
  EXPECT_EQ(out.str(),
            "[message] Upkeep Warning: (information)\nfirst\nsecond\n[buttons] Yes No Cancel -> "
            "No\n");
}

TEST(HaltDeathTest, TheDefaultHalterRunsTheEndInitialisersAndExitsWithTheCode) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        resetModuleInitialisers();
        registerModule({"main", nullptr, nullptr, nullptr, [] { std::cerr << "thread end\n"; },
                        [] { std::cerr << "process end\n"; }});
        runProcessStart();
        runThreadStart();
        HALT(3, "Ending Program!");
      },
      ::testing::ExitedWithCode(3), "Halt\nEnding Program!\n.*thread end\nprocess end");
}

}  // namespace
}  // namespace runtime
