// The rows of a LIST, DROP or COMBO as a Qt model. Cells are read from the engine's list
// (its source, format, icons and styles) only when a view asks for them, so a list over
// thousands of rows reads just the rows on screen.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <map>
#include <string>

#include "platform/window/control.h"

namespace qtui {

class WindowFrame;

class ListModel : public QAbstractTableModel {
 public:
  // Extra roles for the list's delegate.
  enum Role : int {
    IndentRole = Qt::UserRole + 1,  // pixels between the cell's edge and its text
    RightBorderRole,                // true: a line at the cell's right edge
  };

  ListModel(WindowFrame& frame, int control, QObject* parent);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Takes the row count and columns again after the engine changed them.
  void reload();
  // Cells look different (styles, icons): views draw them again.
  void restyle();

 private:
  const window::Control* control() const;
  QIcon icon(const window::ListView& list, int number) const;

  WindowFrame& frame_;
  int control_;
  int rows_ = 0;
  int columns_ = 0;
  mutable std::map<std::string, QIcon> icons_;
};

}  // namespace qtui
