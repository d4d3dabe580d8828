#include "platform/qt/boxes.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <array>
#include <filesystem>
#include <utility>

#include "platform/qt/control_view.h"
#include "platform/qt/icons.h"
#include "platform/runtime/message.h"

namespace qtui {
namespace {

constexpr std::array<std::pair<int, QMessageBox::StandardButton>, 7> kButtons{{
    {runtime::ButtonOk, QMessageBox::Ok},
    {runtime::ButtonYes, QMessageBox::Yes},
    {runtime::ButtonNo, QMessageBox::No},
    {runtime::ButtonAbort, QMessageBox::Abort},
    {runtime::ButtonRetry, QMessageBox::Retry},
    {runtime::ButtonIgnore, QMessageBox::Ignore},
    {runtime::ButtonCancel, QMessageBox::Cancel},
}};

constexpr std::array<std::pair<std::string_view, QMessageBox::Icon>, 4> kSystemIcons{{
    {runtime::kIconHand, QMessageBox::Critical},
    {runtime::kIconQuestion, QMessageBox::Question},
    {runtime::kIconExclamation, QMessageBox::Warning},
    {runtime::kIconInformation, QMessageBox::Information},
}};

void setBoxIcon(QMessageBox& box, const std::string& icon) {
  for (const auto& [system, qtIcon] : kSystemIcons) {
    if (icon == system) {
      box.setIcon(qtIcon);
      return;
    }
  }
  const QIcon drawn = iconOf(icon);
  if (!drawn.isNull()) {
    const int side = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
    box.setIconPixmap(drawn.pixmap(QSize(side, side), box.devicePixelRatioF()));
  }
}

// "AGK Project Files (*.agk)" from a mask whose patterns are separated by ";".
QString filterOf(const window::FileMask& mask) {
  QStringList patterns = toQt(mask.pattern).split(QLatin1Char(';'), Qt::SkipEmptyParts);
  for (QString& p : patterns) p = p.trimmed();
  return QStringLiteral("%1 (%2)").arg(toQt(mask.description), patterns.join(QLatin1Char(' ')));
}

}  // namespace

int showMessageBox(const runtime::MessageRequest& request, QWidget* parent) {
  QMessageBox box(parent);
  box.setWindowTitle(toQt(request.caption));
  box.setText(toQt(request.text));
  box.setTextFormat(Qt::PlainText);
  setBoxIcon(box, request.icon);
  box.setWindowModality(Qt::ApplicationModal);
  for (const auto& [bit, standard] : kButtons) {
    if (!(request.buttons & bit)) continue;
    QPushButton* button = box.addButton(standard);
    if (bit == request.defaultButton) box.setDefaultButton(button);
  }
  if (box.buttons().size() == 1) box.setEscapeButton(box.buttons().front());
  box.exec();
  const QMessageBox::StandardButton chosen = box.standardButton(box.clickedButton());
  for (const auto& [bit, standard] : kButtons) {
    if (standard == chosen) return bit;
  }
  return 0;
}

std::optional<std::string> showFileDialog(const window::FileDialogRequest& request,
                                          QWidget* parent) {
  QFileDialog dialog(parent, toQt(request.title));
  dialog.setWindowModality(Qt::ApplicationModal);
  if (request.folder) {
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
  } else {
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    QStringList filters;
    for (const window::FileMask& mask : request.masks) filters << filterOf(mask);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
  }
  if (!request.initialName.empty()) {
    QString initial = toQt(request.initialName);
    initial.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QFileInfo info(initial);
    if (info.isDir()) {
      dialog.setDirectory(info.absoluteFilePath());
    } else {
      dialog.setDirectory(info.absolutePath());
      dialog.selectFile(info.fileName());
    }
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString chosen = QDir::toNativeSeparators(dialog.selectedFiles().front());
  if (!request.folder) {
    std::error_code ec;
    std::filesystem::current_path(QFileInfo(chosen).absolutePath().toStdString(), ec);
  }
  return fromQt(chosen);
}

int showPopupMenu(const window::PopupRequest& request, const QPoint& globalPos, QWidget* parent) {
  QMenu menu(parent);
  for (const window::PopupItem& item : request.items) {
    if (item.line) {
      menu.addSeparator();
      continue;
    }
    QAction* action = menu.addAction(toQt(item.text));
    action->setData(item.number);
    action->setEnabled(!item.disabled);
    action->setCheckable(item.checked);
    action->setChecked(item.checked);
  }
  const QAction* chosen = menu.exec(globalPos);
  return chosen ? chosen->data().toInt() : 0;
}

}  // namespace qtui
