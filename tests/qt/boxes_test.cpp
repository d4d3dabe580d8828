// Message boxes show the engine's buttons and answer the one chosen; file dialogs follow the
// request's mode and masks.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "platform/qt/boxes.h"
#include "platform/runtime/message.h"
#include "qt_test_support.h"

namespace qtui::testing {
namespace {

using runtime::ButtonAbort;
using runtime::ButtonCancel;
using runtime::ButtonIgnore;
using runtime::ButtonNo;
using runtime::ButtonOk;
using runtime::ButtonRetry;
using runtime::ButtonYes;

// Runs `answer` on the modal widget of type T once it is up.
template <class T>
void onModal(std::function<void(T*)> answer) {
  QTimer::singleShot(0, [answer] {
    T* modal = dynamic_cast<T*>(QApplication::activeModalWidget());
    if (!modal) {
      ADD_FAILURE() << "no modal box";
      QApplication::activeModalWidget()->close();
      return;
    }
    answer(modal);
  });
}

TEST(QtBoxes, MessageBoxesShowTheirButtonsAndAnswerTheChosenOne) {
  struct Case {
    const char* name;
    int buttons;
    int defaultButton;
    std::vector<QMessageBox::StandardButton> shown;
    QMessageBox::StandardButton shownDefault;
    std::function<void(QMessageBox*)> user;
    int answer;
  };
  const auto press = [](QMessageBox::StandardButton b) {
    return [b](QMessageBox* box) { QTest::mouseClick(box->button(b), Qt::LeftButton); };
  };
  const auto escape = [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); };
  const Case cases[] = {
      {"OK alone",
       ButtonOk,
       ButtonOk,
       {QMessageBox::Ok},
       QMessageBox::Ok,
       press(QMessageBox::Ok),
       ButtonOk},
      {"Yes and No, No the default",
       ButtonYes | ButtonNo,
       ButtonNo,
       {QMessageBox::Yes, QMessageBox::No},
       QMessageBox::No,
       press(QMessageBox::Yes),
       ButtonYes},
      {"Escape on Yes and No answers No",
       ButtonYes | ButtonNo,
       ButtonYes,
       {QMessageBox::Yes, QMessageBox::No},
       QMessageBox::Yes,
       escape,
       ButtonNo},
      {"Abort, Retry and Ignore",
       ButtonAbort | ButtonRetry | ButtonIgnore,
       ButtonRetry,
       {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore},
       QMessageBox::Retry,
       press(QMessageBox::Ignore),
       ButtonIgnore},
      {"Escape on OK and Cancel answers Cancel",
       ButtonOk | ButtonCancel,
       ButtonOk,
       {QMessageBox::Ok, QMessageBox::Cancel},
       QMessageBox::Ok,
       escape,
       ButtonCancel},
  };
  backend();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    runtime::MessageRequest request;
    request.text = "First line\nSecond line";
    request.caption = "Caption";
    request.icon = std::string(runtime::kIconExclamation);
    request.buttons = c.buttons;
    request.defaultButton = c.defaultButton;
    onModal<QMessageBox>([&](QMessageBox* box) {
      std::vector<QMessageBox::StandardButton> shown;
      for (QAbstractButton* b : box->buttons()) shown.push_back(box->standardButton(b));
      std::sort(shown.begin(), shown.end());
      std::vector<QMessageBox::StandardButton> want = c.shown;
      std::sort(want.begin(), want.end());
      EXPECT_EQ(shown, want);
      EXPECT_EQ(box->standardButton(box->defaultButton()), c.shownDefault);
      EXPECT_EQ(box->text(), QStringLiteral("First line\nSecond line"));
      EXPECT_EQ(box->windowTitle(), QStringLiteral("Caption"));
      EXPECT_EQ(box->icon(), QMessageBox::Warning);
      c.user(box);
    });
    EXPECT_EQ(showMessageBox(request, nullptr), c.answer);
  }
}

class QtFileDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    backend();
    ASSERT_TRUE(folder_.isValid());
    home_ = QDir::currentPath();
    QFile file(path("a.agk"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  void TearDown() override { QDir::setCurrent(home_); }
  QString path(const char* name) const { return QDir(folder_.path()).filePath(name); }

  QTemporaryDir folder_;
  QString home_;
};

TEST_F(QtFileDialogs, AnOpenDialogHasTheMasksAndCancelAnswersNothing) {
  window::FileDialogRequest request;
  request.title = "Select A File";
  request.masks = {{"AGK Project Files", "*.agk"}, {"Texts", "*.txt; *.agc"}};
  request.initialName = folder_.path().toStdString();
  onModal<QFileDialog>([](QFileDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Select A File"));
    EXPECT_EQ(dialog->nameFilters(), (QStringList{QStringLiteral("AGK Project Files (*.agk)"),
                                                  QStringLiteral("Texts (*.txt *.agc)")}));
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
    dialog->reject();
  });
  EXPECT_EQ(showFileDialog(request, nullptr), std::nullopt);
}

TEST_F(QtFileDialogs, ASavedNameIsAnsweredAndItsFolderBecomesCurrent) {
  window::FileDialogRequest request;
  request.save = true;
  request.initialName = path("new.agk").toStdString();
  onModal<QFileDialog>([](QFileDialog* dialog) {
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    QMetaObject::invokeMethod(dialog, "accept");
  });
  const auto chosen = showFileDialog(request, nullptr);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(QString::fromStdString(*chosen), path("new.agk"));
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(folder_.path().toStdString()));
}

TEST_F(QtFileDialogs, AFolderDialogShowsFoldersOnlyAndLeavesTheCurrentDirectory) {
  ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("sub")));
  window::FileDialogRequest request;
  request.folder = true;
  request.initialName = path("sub").toStdString();
  onModal<QFileDialog>([](QFileDialog* dialog) {
    EXPECT_EQ(dialog->fileMode(), QFileDialog::Directory);
    EXPECT_TRUE(dialog->testOption(QFileDialog::ShowDirsOnly));
    QMetaObject::invokeMethod(dialog, "accept");
  });
  const auto chosen = showFileDialog(request, nullptr);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(QString::fromStdString(*chosen), path("sub"));
  EXPECT_EQ(QDir::currentPath(), home_);
}

}  // namespace
}  // namespace qtui::testing
