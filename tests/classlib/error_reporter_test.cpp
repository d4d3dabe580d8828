#include "classlib/error_reporter.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/runtime/scripted_answerer.h"

namespace classlib {
namespace {

class ErrorReporterTest : public ::testing::Test {
 protected:
  ErrorReporterTest() { errors_.init(); }

  runtime::ScriptedAnswerer answerer_;
  runtime::InterceptingHalter halter_;
  runtime::ScopedMessageHandlers handlers_{answerer_, halter_};
  ErrorReporter errors_;
};

ErrorContext contextFor(std::string file, std::string key) {
  ErrorContext context;
  context.file = std::move(file);
  context.key = std::move(key);
  context.errorCode = 40;
  context.errorText = "Creates Duplicate Key";
  return context;
}

TEST_F(ErrorReporterTest, PlaceholdersAreFilledInOnePass) {
  ErrorContext context = contextFor("projects", "PRO:P_ID");
  context.field = "PRO:DESCRIPTION";
  context.message = "free text";
  errors_.setProcedureName("Main");
  const struct {
    const char* text;
    const char* filled;
  } cases[] = {
      {"%File/%Key/%Field", "projects/PRO:P_ID/PRO:DESCRIPTION"},
      {"%ErrorText (%ErrorCode)", "Creates Duplicate Key (40)"},
      {"in %Procedure: %Message", "in Main: free text"},
      {"100% sure, %Unknown and %", "100% sure, %Unknown and %"},
      {"%File%File", "projectsprojects"},
  };
  for (const auto& c : cases) EXPECT_EQ(errors_.fill(c.text, context), c.filled) << c.text;

  // A value that holds a placeholder is not filled again.
  EXPECT_EQ(errors_.fill("%File", contextFor("odd %Key name", "k")), "odd %Key name");
}

TEST_F(ErrorReporterTest, TheContextTakesTheCallingThreadsErrorState) {
  runtime::setError(35);
  const ErrorContext context;
  runtime::clearError();
  EXPECT_EQ(context.errorCode, 35);
  EXPECT_EQ(errors_.fill("%ErrorText", context), runtime::errorText(35));
}

TEST_F(ErrorReporterTest, EachThreadHasItsOwnProcedureName) {
  errors_.setProcedureName("Main");
  std::string other;
  std::thread([&] {
    EXPECT_EQ(errors_.procedureName(), "");
    errors_.setProcedureName("browse_codeby");
    other = errors_.procedureName();
  }).join();
  EXPECT_EQ(other, "browse_codeby");
  EXPECT_EQ(errors_.procedureName(), "Main");
  errors_.setProcedureName("");
  EXPECT_EQ(errors_.procedureName(), "");
}

TEST_F(ErrorReporterTest, ANotifyMessageIsShownWithItsCaptionAndProcedure) {
  answerer_.addAnswer(runtime::ButtonOk);
  errors_.setProcedureName("update_categories");
  EXPECT_EQ(errors_.report(MsgDuplicateKey, contextFor("categort", "CAT:P_Cat")), LevelNotify);
  ASSERT_EQ(answerer_.shown().size(), 1u);
  const runtime::MessageRequest box = answerer_.shown()[0];
  EXPECT_EQ(box.caption, "Creates Duplicate Key - update_categories");
  EXPECT_EQ(box.text,
            "Creates Duplicate Key: another categort record already has this CAT:P_Cat.\n"
            "The record was not saved.");
  EXPECT_EQ(box.buttons, runtime::ButtonOk);
  EXPECT_EQ(box.icon, runtime::kIconExclamation);
}

TEST_F(ErrorReporterTest, TheLevelDecidesTheBoxAndTheAnswer) {
  // Message 43 is the view manager's.
  ASSERT_TRUE(errors_.message(MsgViewOpenFailed));
  EXPECT_EQ(errors_.message(MsgViewOpenFailed)->title, "View Open Error");

  EXPECT_EQ(errors_.report(MsgRecordNotFound), LevelBenign);
  EXPECT_TRUE(answerer_.shown().empty()) << "a benign message shows nothing";

  answerer_.addAnswer(runtime::ButtonYes);
  answerer_.addAnswer(runtime::ButtonNo);
  EXPECT_EQ(errors_.report(MsgConfirmDelete, contextFor("codeby", "")), LevelBenign);
  EXPECT_EQ(errors_.report(MsgConfirmDelete, contextFor("codeby", "")), LevelCancel);
  EXPECT_EQ(answerer_.shown()[0].buttons, runtime::ButtonYes | runtime::ButtonNo);
  EXPECT_EQ(answerer_.shown()[0].text, "Are you sure you want to delete this codeby record?");

  answerer_.addAnswer(runtime::ButtonOk);
  EXPECT_EQ(errors_.report(999), LevelNotify);
  EXPECT_EQ(answerer_.shown().back().text, "Error message 999 is not known.");

  errors_.setMessage({MsgGeneral, LevelFatal, "Stop", "%Message"});
  answerer_.addAnswer(runtime::ButtonOk);
  ErrorContext context;
  context.message = "cannot go on";
  try {
    errors_.report(MsgGeneral, context);
    ADD_FAILURE() << "a fatal message ends the program";
  } catch (const runtime::HaltRequested& halt) {
    EXPECT_EQ(halt.exitCode, kFatalExitCode);
  }
  EXPECT_EQ(answerer_.shown().back().text, "cannot go on");
}

TEST_F(ErrorReporterTest, InitBringsBackTheDefaultTableAndKillEmptiesIt) {
  errors_.setMessage({MsgDuplicateKey, LevelBenign, "quiet", ""});
  errors_.setProcedureName("Main");
  errors_.init();
  EXPECT_EQ(errors_.message(MsgDuplicateKey)->level, LevelNotify);
  EXPECT_EQ(errors_.procedureName(), "");
  errors_.kill();
  EXPECT_FALSE(errors_.message(MsgDuplicateKey));
}

}  // namespace
}  // namespace classlib
