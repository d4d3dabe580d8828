// A form over the people file in the way the program's forms are built: insert, change, delete
// and view, with confirmations, errors, cancelling and the history key.
#include <gtest/gtest.h>

#include "classlib/bound_memo.h"
#include "classlib/window_controller.h"
#include "headless_fixture.h"
#include "people_dictionary.h"
#include "platform/files/file_driver.h"
#include "platform/window/key_codes.h"

namespace classlib {
namespace {

using testing::Boxes;
using testing::HeadlessScope;
using window::ControlType;

enum : int {
  kNameEntry = 4,
  kCityEntry = 5,
  kActiveCheck = 6,
  kNotesText = 7,
  kOk = 8,
  kCancel = 9
};

class FormTest : public testing::Dictionary {
 protected:
  std::string formWindow() {
    return testing::defineWindow("Form people", [this](window::WindowDefinition& d) {
      d.statusZones = {60, 100};
      d.add(3, ControlType::Prompt).text("&Name:").at(2, 2, 30, 10);
      d.add(kNameEntry, ControlType::Entry)
          .picture("@s29")
          .use(window::UseVariable::field(person().NAME));
      d.add(kCityEntry, ControlType::Entry)
          .picture("@s19")
          .use(window::UseVariable::field(person().CITY));
      d.add(kActiveCheck, ControlType::Check)
          .text("Active")
          .use(window::UseVariable::bound(
              std::make_shared<runtime::BoundNumber<std::uint8_t>>(activeByte()), false));
      d.add(kNotesText, ControlType::Text)
          .use(window::UseVariable::bound(std::make_shared<BoundMemo>(notes()), true));
      d.add(kOk, ControlType::Button).text("&OK");
      d.add(kCancel, ControlType::Button).text("&Cancel");
    });
  }
  std::uint8_t& activeByte() { return *reinterpret_cast<std::uint8_t*>(&person().ACTIVE); }

  // The form pattern: the procedure's controller.
  class PersonForm : public WindowController {
   public:
    PersonForm(FormTest& t, int request) : t_(t), request_(request) {}
    int init() override {
      REQUEST = request_;
      WindowController::init();
      FIRSTFIELD = kNameEntry;
      ERRORS = &t_.errors_;
      HISTORYKEY = window::CtrlH;
      addHistoryFile(t_.history_);
      addHistoryField(kNameEntry, testing::kPersonName);
      addHistoryField(kCityEntry, testing::kPersonCity);
      addHistoryField(kNotesText, testing::kPersonNotes);
      addUpdateFile(t_.peopleFile_);
      addItem(kCancel, ResponseCancelled);
      if (REQUEST == RequestView) {
        INSERTACTION = CHANGEACTION = DELETEACTION = ActionNone;
        CANCELACTION = ActionAtOnce;
        OKCONTROL = 0;
      } else {
        CHANGEACTION = CANCELACTION = ActionConfirm;
        OKCONTROL = kOk;
        if (primeUpdate() != LevelBenign) return LevelNotify;
      }
      open();
      if (REQUEST == RequestView) window()->setProperty(kNameEntry, window::PropReadOnly, 1);
      reset();
      return LevelBenign;
    }
    int takeAccepted() override {
      const int rc = WindowController::takeAccepted();
      if (window::ACCEPTED() == kOk && REQUEST == RequestView)
        window()->post(window::EventCloseWindow);
      return rc;
    }
    int run() override {
      const int response = WindowController::run();
      return REQUEST == RequestView ? ResponseCancelled : response;
    }

   private:
    FormTest& t_;
    int request_;
  };

  // Runs the form for `request` with `script`; answers its response.
  int runForm(int request, window::HeadlessBackend& script) {
    HeadlessScope scope(script, Boxes::AsBefore);
    window::OPEN(testing::kTestKey, formWindow());
    PersonForm form(*this, request);
    const int response = form.run();
    window::CLOSE();
    EXPECT_TRUE(script.finished());
    return response;
  }

  // Reads person `id` into the record buffer, as a list does before it calls the form.
  void readPerson(std::int32_t id) {
    person().ID = id;
    ASSERT_EQ(peopleFile_.tryFetch(testing::kPeopleById), 0);
  }

  RecordSnapshot history_;
};

TEST_F(FormTest, InsertNumbersTheRecordAndShowsTheRequest) {
  addPerson("Ann", "Paris");
  window::HeadlessBackend script;
  std::string status;
  script.checkpoint("status", [&](window::Window& w) { status = w.statusText(2); })
      .type(kNameEntry, "Bob")
      .type(kCityEntry, "Rome")
      .type(kNotesText, "likes tea")
      .click(kOk);
  EXPECT_EQ(runForm(RequestInsert, script), ResponseCompleted);
  EXPECT_EQ(status, "Record Will Be Added");
  EXPECT_EQ(storedPeople(), (std::vector<std::string>{"1 Ann Paris", "2 Bob Rome"}));
  readPerson(2);
  EXPECT_EQ(notes().content(), "likes tea");
  EXPECT_TRUE(answerer_.shown().empty());
}

TEST_F(FormTest, ChangeWritesTheRecordBackAndDeleteAsksFirst) {
  const std::int32_t ann = addPerson("Ann", "Paris");
  addPerson("Bob", "Rome");
  readPerson(ann);
  window::HeadlessBackend change;
  std::string status;
  change.checkpoint("status", [&](window::Window& w) { status = w.statusText(2); })
      .type(kCityEntry, "Lyon")
      .click(kOk);
  EXPECT_EQ(runForm(RequestChange, change), ResponseCompleted);
  EXPECT_EQ(status, "Record Will Be Changed");
  EXPECT_EQ(storedPeople(), (std::vector<std::string>{"1 Ann Lyon", "2 Bob Rome"}));

  // Delete: No keeps the record and the form; Cancel then answers 2; Yes deletes.
  readPerson(ann);
  answerer_.addAnswer(runtime::ButtonNo);
  window::HeadlessBackend keep;
  keep.checkpoint("status", [&](window::Window& w) { status = w.statusText(2); })
      .click(kOk)
      .click(kCancel);
  EXPECT_EQ(runForm(RequestDelete, keep), ResponseCancelled);
  EXPECT_EQ(status, "");
  EXPECT_EQ(storedPeople().size(), 2u);
  readPerson(ann);
  answerer_.addAnswer(runtime::ButtonYes);
  window::HeadlessBackend remove;
  remove.click(kOk);
  EXPECT_EQ(runForm(RequestDelete, remove), ResponseCompleted);
  EXPECT_EQ(storedPeople(), (std::vector<std::string>{"2 Bob Rome"}));
  EXPECT_EQ(shownTexts(),
            (std::vector<std::string>{"Are you sure you want to delete this people record?",
                                      "Are you sure you want to delete this people record?"}));
}

TEST_F(FormTest, ViewWritesNothingAndPutsTheRecordBack) {
  const std::int32_t ann = addPerson("Ann", "Paris", "note");
  readPerson(ann);
  window::HeadlessBackend script;
  bool readOnly = false;
  std::string status;
  script
      .checkpoint("view",
                  [&](window::Window& w) {
                    status = w.statusText(2);
                    readOnly = w.control(kNameEntry)->readOnly;
                  })
      .type(kCityEntry, "Oslo")  // still editable, but nothing is saved
      .click(kOk);
  EXPECT_EQ(runForm(RequestView, script), ResponseCancelled);
  EXPECT_EQ(status, "View Record");
  EXPECT_TRUE(readOnly);
  EXPECT_EQ(person().CITY.view(), "Paris");
  EXPECT_EQ(storedPeople(), (std::vector<std::string>{"1 Ann Paris"}));
  EXPECT_TRUE(answerer_.shown().empty());
}

TEST_F(FormTest, CancellingAskedChangesLoseNothingUnlessTheUserAgrees) {
  const std::int32_t ann = addPerson("Ann", "Paris");
  readPerson(ann);
  // The close box: No stays in the form, which then saves; nothing asked without changes.
  answerer_.addAnswer(runtime::ButtonNo);
  window::HeadlessBackend stay;
  stay.type(kCityEntry, "Lyon").closeBox().click(kOk);
  EXPECT_EQ(runForm(RequestChange, stay), ResponseCompleted);
  EXPECT_EQ(storedPeople(), (std::vector<std::string>{"1 Ann Lyon"}));

  readPerson(ann);
  answerer_.addAnswer(runtime::ButtonYes);
  window::HeadlessBackend leave;
  leave.type(kCityEntry, "Nice").click(kCancel);
  EXPECT_EQ(runForm(RequestChange, leave), ResponseCancelled);
  EXPECT_EQ(person().CITY.view(), "Lyon") << "the caller's record is as it was";
  EXPECT_EQ(storedPeople(), (std::vector<std::string>{"1 Ann Lyon"}));

  window::HeadlessBackend untouched;
  untouched.click(kCancel);
  EXPECT_EQ(runForm(RequestInsert, untouched), ResponseCancelled);
  EXPECT_EQ(storedPeople().size(), 1u);
  const std::string question =
      "Are you sure you want to cancel?\nYour changes to this people record will be lost.";
  EXPECT_EQ(shownTexts(), (std::vector<std::string>{question, question}));
}

TEST_F(FormTest, ADuplicateNameIsRefusedAndTheFileStaysAsItWas) {
  addPerson("Ann", "Paris");
  answerer_.addAnswer(runtime::ButtonOk);
  answerer_.addAnswer(runtime::ButtonYes);  // throw the typing away
  window::HeadlessBackend script;
  script.type(kNameEntry, "ANN").type(kCityEntry, "Rome").click(kOk).click(kCancel);
  EXPECT_EQ(runForm(RequestInsert, script), ResponseCancelled);
  EXPECT_EQ(storedPeople(), (std::vector<std::string>{"1 Ann Paris"}));
  ASSERT_EQ(answerer_.shown().size(), 2u);
  EXPECT_EQ(answerer_.shown()[0].text,
            "Creates Duplicate Key: another people record already has this Person name.\n"
            "The record was not saved.");
}

TEST_F(FormTest, AChangeOfARecordThatIsGoneIsReportedAndTheFormDoesNotRun) {
  const std::int32_t ann = addPerson("Ann", "Paris");
  readPerson(ann);
  files::DELETE(people_);
  answerer_.addAnswer(runtime::ButtonOk);
  window::HeadlessBackend script;  // the form never waits for the user
  EXPECT_EQ(runForm(RequestChange, script), ResponseCancelled);
  EXPECT_EQ(shownTexts(),
            (std::vector<std::string>{
                "Unable to read from the people file.\nRecord Not Found (error 35)"}));
}

TEST_F(FormTest, TheHistoryKeyPutsBackWhatTheLastFormSaved) {
  window::HeadlessBackend first;
  first.type(kNameEntry, "Ann").type(kCityEntry, "Paris").type(kNotesText, "n1").click(kOk);
  ASSERT_EQ(runForm(RequestInsert, first), ResponseCompleted);
  window::HeadlessBackend second;
  std::string city, text;
  second.type(kNameEntry, "Bob")
      .click(kCityEntry)
      .key(window::CtrlH)
      .click(kNotesText)
      .key(window::CtrlH)
      .checkpoint("history",
                  [&](window::Window& w) {
                    city = w.control(kCityEntry)->screenText;
                    text = w.control(kNotesText)->screenText;
                  })
      .click(kOk);
  ASSERT_EQ(runForm(RequestInsert, second), ResponseCompleted);
  EXPECT_EQ(city, "Paris");
  EXPECT_EQ(text, "n1");
  EXPECT_EQ(storedPeople(), (std::vector<std::string>{"1 Ann Paris", "2 Bob Paris"}));
}

TEST_F(FormTest, BatchProcessingCompletesWithoutTheUser) {
  class Batch : public PersonForm {
   public:
    Batch(FormTest& t, testing::Person& p) : PersonForm(t, RequestInsert), person_(p) {}
    int init() override {
      const int rc = PersonForm::init();
      BATCHPROCESSING = true;
      person_.NAME = "Cid";
      return rc;
    }

   private:
    testing::Person& person_;
  };
  window::HeadlessBackend script;
  HeadlessScope scope(script, Boxes::AsBefore);
  window::OPEN(testing::kTestKey, formWindow());
  Batch form(*this, person());
  EXPECT_EQ(form.run(), ResponseCompleted);
  EXPECT_EQ(storedPeople(), (std::vector<std::string>{"1 Cid "}));
}

}  // namespace
}  // namespace classlib
