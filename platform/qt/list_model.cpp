#include "platform/qt/list_model.h"

#include <algorithm>
#include <limits>

#include "platform/qt/icons.h"
#include "platform/qt/look.h"
#include "platform/qt/window_frame.h"

namespace qtui {

using window::ListColumn;

namespace {

Qt::Alignment alignmentOf(char align) {
  switch (align) {
    case 'R':
    case 'D': return Qt::AlignRight | Qt::AlignVCenter;
    case 'C': return Qt::AlignHCenter | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

int clampToInt(std::size_t n) {
  return static_cast<int>(std::min<std::size_t>(n, std::numeric_limits<int>::max()));
}

}  // namespace

ListModel::ListModel(WindowFrame& frame, int control, QObject* parent)
    : QAbstractTableModel(parent), frame_(frame), control_(control) {
  reload();
}

const window::Control* ListModel::control() const {
  const window::Window* w = frame_.engineWindow();
  return w ? w->control(control_) : nullptr;
}

void ListModel::reload() {
  beginResetModel();
  const window::Control* c = control();
  rows_ = c ? clampToInt(c->list.rowCount()) : 0;
  columns_ = c ? std::max(1, static_cast<int>(c->list.format.columns.size())) : 1;
  endResetModel();
}

void ListModel::restyle() {
  icons_.clear();
  if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1));
  emit headerDataChanged(Qt::Horizontal, 0, columns_ - 1);
}

int ListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int ListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : columns_;
}

QIcon ListModel::icon(const window::ListView& list, int number) const {
  const auto name = list.icons.find(number);
  if (name == list.icons.end()) return {};
  auto cached = icons_.find(name->second);
  if (cached == icons_.end()) cached = icons_.emplace(name->second, iconOf(name->second)).first;
  return cached->second;
}

QVariant ListModel::data(const QModelIndex& index, int role) const {
  const window::Control* c = control();
  if (!c || !index.isValid() || index.row() >= rows_) return {};
  const window::ListView& list = c->list;
  const std::size_t row = static_cast<std::size_t>(index.row()) + 1;
  const int column = index.column() + 1;
  const ListColumn* format = column <= static_cast<int>(list.format.columns.size())
                                 ? &list.format.columns[column - 1]
                                 : nullptr;
  const auto style = [&]() -> const window::ListStyle* {
    const auto it = list.styles.find(list.cellStyle(row, column));
    return it == list.styles.end() ? nullptr : &it->second;
  };
  switch (role) {
    case Qt::DisplayRole: return toQt(list.cellText(row, column));
    case Qt::DecorationRole: {
      const int number = list.iconNumber(row, column);
      return number > 0 ? QVariant(icon(list, number)) : QVariant();
    }
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(alignmentOf(format ? format->align : 'L'));
    case Qt::ForegroundRole: {
      const window::ListStyle* s = style();
      const QColor color = s ? colorOf(s->fontColor, frame_.palette()) : QColor();
      return color.isValid() ? QVariant(color) : QVariant();
    }
    case Qt::FontRole: {
      const window::ListStyle* s = style();
      const bool underline = format && format->underline;
      if ((!s || s->fontStyle == 0) && !underline) return {};
      QFont font = fontOf(frame_.font(), s ? s->fontStyle : 0);
      if (underline) font.setUnderline(true);
      return font;
    }
    case IndentRole: return frame_.units().x(format ? format->indent.value_or(0) : 0);
    case RightBorderRole: return format && format->rightBorder;
    default: return {};
  }
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  const window::Control* c = control();
  if (!c || orientation != Qt::Horizontal || section < 0 ||
      section >= static_cast<int>(c->list.format.columns.size())) {
    return {};
  }
  const ListColumn& column = c->list.format.columns[static_cast<std::size_t>(section)];
  switch (role) {
    case Qt::DisplayRole: return toQt(column.heading.value_or(""));
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(
          alignmentOf(column.headerAlign != 0 ? column.headerAlign : column.align));
    default: return {};
  }
}

}  // namespace qtui
