#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "classlib/error_reporter.h"
#include "platform/runtime/scripted_answerer.h"
#include "platform/runtime/standard_date.h"
#include "tests/support/scratch_folder.h"
#include "upkeep/call_recorder.h"

namespace classlib {
namespace {

using support::readFile;

class ErrorLogTest : public ::testing::Test {
 protected:
  ErrorLogTest() {
    errors_.init();
    runtime::setLocalClock([] {
      return runtime::LocalMoment{runtime::dateFromYmd(2024, 3, 9),
                                  runtime::timeFromHms(14, 5, 6, 0)};
    });
  }
  ~ErrorLogTest() override { runtime::setLocalClock({}); }

  ErrorContext duplicate() {
    ErrorContext context;
    context.file = "categort";
    context.key = "CAT:P_Cat";
    return context;
  }

  support::ScratchFolder folder_;
  std::string path_ = folder_.file("errors.log");
  runtime::ScriptedAnswerer answerer_;
  runtime::InterceptingHalter halter_;
  runtime::ScopedMessageHandlers handlers_{answerer_, halter_};
  ErrorReporter errors_;
};

TEST_F(ErrorLogTest, ShownMessagesAreLoggedOneLineEachWhileTheLogIsOpen) {
  EXPECT_EQ(errors_.openLog(), LevelNotify) << "no log named";
  errors_.setLogFile(path_);
  upkeep::CallLog calls;
  {
    upkeep::ScopedCallRecorder recording(calls);
    EXPECT_EQ(errors_.openLog(), LevelBenign);
  }
  EXPECT_EQ(calls.texts(), (std::vector<std::string>{"ds_FileOpen(FILE(errorlog), 66)"}));
  EXPECT_EQ(errors_.openLog(), LevelBenign) << "open already";
  EXPECT_TRUE(errors_.logOpen());

  errors_.setProcedureName("update_categories");
  runtime::setFileError(40, "19", "constraint");
  answerer_.addAnswer(runtime::ButtonOk);
  errors_.report(MsgDuplicateKey, duplicate());
  EXPECT_EQ(runtime::ERRORCODE(), 40) << "logging keeps the caller's error";
  EXPECT_EQ(runtime::FILEERROR(), "constraint");
  errors_.report(MsgRecordNotFound, duplicate());  // shown to nobody, not logged
  errors_.closeLog();
  answerer_.addAnswer(runtime::ButtonOk);
  errors_.report(MsgDuplicateKey, duplicate());  // the log is closed

  EXPECT_EQ(readFile(path_),
            "2024-03-09 14:05:06 5 Creates Duplicate Key - update_categories: Creates Duplicate "
            "Key: another categort record already has this CAT:P_Cat. The record was not "
            "saved.\n");
}

TEST_F(ErrorLogTest, AMissingLogIsCreatedOnlyBeforeTheFirstOpenOrWhenForced) {
  errors_.setLogFile(path_);
  ASSERT_EQ(errors_.openLog(), LevelBenign);
  errors_.closeLog();
  std::filesystem::remove(path_);
  EXPECT_EQ(errors_.openLog(), LevelNotify);
  EXPECT_FALSE(std::filesystem::exists(path_));
  EXPECT_EQ(errors_.openLog(true), LevelBenign);
  EXPECT_TRUE(std::filesystem::exists(path_));
}

TEST_F(ErrorLogTest, ALogThatCannotBeMadeOrOpenedFails) {
  errors_.setLogFile(folder_.file("missing/errors.log"));
  EXPECT_EQ(errors_.openLog(), LevelNotify);
  std::filesystem::create_directory(path_);  // a folder in the log's place
  errors_.setLogFile(path_);
  EXPECT_EQ(errors_.openLog(), LevelNotify);
  EXPECT_FALSE(errors_.logOpen());
}

}  // namespace
}  // namespace classlib
