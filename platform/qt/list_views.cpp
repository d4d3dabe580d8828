#include "platform/qt/list_views.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <optional>

#include "platform/qt/event_watch.h"
#include "platform/qt/list_model.h"
#include "platform/qt/qt_keys.h"
#include "platform/qt/window_frame.h"
#include "platform/window/key_codes.h"

namespace qtui {

using window::Control;

namespace {

// Draws cells with the column's indent and its right border line.
class ListDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const int indent = index.data(ListModel::IndentRole).toInt();
    if (indent <= 0) {
      QStyledItemDelegate::paint(painter, option, index);
    } else {
      // The row's background spans the cell; the content moves in by the indent.
      QStyleOptionViewItem background(option);
      initStyleOption(&background, index);
      background.text.clear();
      background.icon = QIcon();
      background.features &=
          ~(QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration);
      const QWidget* widget = option.widget;
      QStyle* style = widget ? widget->style() : QApplication::style();
      style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

      QStyleOptionViewItem content(option);
      initStyleOption(&content, index);
      if (content.state & QStyle::State_Selected) {
        const QPalette::ColorGroup group =
            content.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
        content.palette.setColor(QPalette::Text,
                                 content.palette.color(group, QPalette::HighlightedText));
        content.state &= ~QStyle::State_Selected;
      }
      content.state &= ~QStyle::State_HasFocus;
      content.backgroundBrush = Qt::NoBrush;
      if (content.displayAlignment & Qt::AlignRight) {
        content.rect.adjust(0, 0, -indent, 0);
      } else if (!(content.displayAlignment & Qt::AlignHCenter)) {
        content.rect.adjust(indent, 0, 0, 0);
      }
      style->drawControl(QStyle::CE_ItemViewItem, &content, painter, widget);
    }
    if (index.data(ListModel::RightBorderRole).toBool()) {
      painter->save();
      painter->setPen(option.palette.color(QPalette::Mid));
      painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
      painter->restore();
    }
  }
};

// How much of a paged list's scroll bar its thumb covers, of kThumbRange.
constexpr int kThumbPageStep = 10;

// The table of a LIST. The engine keeps the selection and the first row shown; the table
// reports what the user does and then shows the engine's state again. A list paged by its
// owner shows one page: its scroll bar runs over the owner's whole sequence (0 to
// kThumbRange), and wheel steps, scroll-bar lines, pages and thumb drags go to the engine as
// scroll requests instead of moving the rows.
class ListTable : public QTableView {
 public:
  ListTable(WindowFrame& frame, int number, QWidget* parent)
      : QTableView(parent), frame_(frame), number_(number) {
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setCornerButtonEnabled(false);
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollMode(ScrollPerPixel);
    setItemDelegate(new ListDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setMinimumSectionSize(0);
    // A click on a heading leaves the keyboard focus where it is.
    horizontalHeader()->setFocusPolicy(Qt::ClickFocus);
    horizontalHeader()->setProperty(kKeepsFocusProperty, true);

    QScrollBar* bar = verticalScrollBar();
    QObject::connect(bar, &QScrollBar::actionTriggered, this,
                     [this](int action) { scrollBarAction(action); });
    QObject::connect(bar, &QScrollBar::sliderReleased, this, [this] { showEngineState(); });
    QObject::connect(bar, &QScrollBar::valueChanged, this, [this](int value) {
      if (input_ > 0 || frame_.showingState() || paged()) return;
      const int n = number_;
      frame_.report([n, value](window::Window& w) { w.listScrolled(n, value + 1); });
      showEngineState();
    });
    QHeaderView* header = horizontalHeader();
    QObject::connect(header, &QHeaderView::sectionClicked, this, [this](int section) {
      const int n = number_;
      frame_.report([n, section](window::Window& w) { w.listHeaderClicked(n, section + 1); });
    });
    QObject::connect(header, &QHeaderView::sectionMoved, this,
                     [this](int, int from, int to) { columnMoved(from, to); });
    QObject::connect(header, &QHeaderView::sectionResized, this,
                     [this](int section, int, int size) {
                       if (!frame_.showingState()) resizing_ = {section, size};
                     });
    // A column's new width goes to the engine once the user lets go of the border.
    new EventWatch(header->viewport(), {QEvent::MouseButtonRelease},
                   [this] { QTimer::singleShot(0, this, [this] { columnResized(); }); });
  }

  // Shows the engine's selected row and first row.
  void showEngineState() {
    const Control* c = engineControl();
    if (!c) return;
    WindowFrame::ShowingState showing(frame_);
    const int selected = c->list.selected;
    if (selected >= 1 && selected <= model()->rowCount()) {
      const int column = std::max(0, currentIndex().column());
      selectionModel()->setCurrentIndex(
          model()->index(selected - 1, column),
          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    } else {
      selectionModel()->clear();
    }
    showScrollBar(*c);
  }

  // Tells the engine how many rows the table shows wholly, when that changed. An owner that
  // pages the list fits its page to them.
  void tellRowsShown() {
    window::Window* w = frame_.engineWindow();
    const Control* c = engineControl();
    if (!w || !c) return;
    const int rows = wholeRows(c->list.paged);
    if (rows == c->list.shownRows) return;
    w->setListRowsShown(number_, rows);
    if (c->list.paged) frame_.interruptWait();
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const int before = key_;
    key_ = keyCodeOf(*event);
    ++input_;
    QTableView::keyPressEvent(event);
    --input_;
    key_ = before;
    showEngineState();
  }

  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override {
    QTableView::currentChanged(current, previous);
    // Rows chosen by the platform's keys (arrows, pages, letters) are the user's choice.
    if (key_ == 0 || !current.isValid() || current.row() == previous.row()) return;
    const int n = number_;
    const int row = current.row() + 1;
    const int key = key_;
    frame_.report([n, row, key](window::Window& w) { w.listSelect(n, row, key); });
  }

  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override {
    // Home and End go to the first and last row, as in the platform's lists.
    const int column = std::max(0, currentIndex().column());
    if (action == MoveHome && model()->rowCount() > 0) return model()->index(0, column);
    if (action == MoveEnd && model()->rowCount() > 0) {
      return model()->index(model()->rowCount() - 1, column);
    }
    return QTableView::moveCursor(action, modifiers);
  }

  void mousePressEvent(QMouseEvent* event) override {
    const QModelIndex at = indexAt(event->position().toPoint());
    // The second press of a double click is the double click's.
    if (event->button() == Qt::LeftButton && at.isValid() &&
        !(event->flags() & Qt::MouseEventCreatedDoubleClick)) {
      const int n = number_;
      frame_.report([n, at](window::Window& w) {
        w.listSelect(n, at.row() + 1, window::MouseLeft, at.column() + 1);
      });
    }
    ++input_;
    QTableView::mousePressEvent(event);
    --input_;
    showEngineState();
  }

  void mouseMoveEvent(QMouseEvent* event) override {
    // Dragging does not choose rows: only clicks and keys do.
    if (event->buttons() == Qt::NoButton) QTableView::mouseMoveEvent(event);
  }

  void mouseDoubleClickEvent(QMouseEvent* event) override {
    const QModelIndex at = indexAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !at.isValid()) return;
    const int n = number_;
    frame_.report(
        [n, at](window::Window& w) { w.listActivate(n, at.row() + 1, window::MouseLeft2); });
    showEngineState();
  }

  void mouseReleaseEvent(QMouseEvent* event) override {
    ++input_;
    QTableView::mouseReleaseEvent(event);
    --input_;
    if (event->button() == Qt::RightButton) {
      const QModelIndex at = indexAt(event->position().toPoint());
      const int n = number_;
      const int row = at.isValid() ? at.row() + 1 : 0;
      const int column = at.isValid() ? at.column() + 1 : 0;
      frame_.report([n, row, column](window::Window& w) { w.listPopupClick(n, row, column); });
    }
    showEngineState();
  }

  void paintEvent(QPaintEvent* event) override {
    QTableView::paintEvent(event);
    // The list that has the focus frames its selected row with a dotted line, as the
    // platform's lists do, so that Tab never moves an unseen focus; a list without a selected
    // row (an empty one) frames the place of its first row.
    const Control* c = engineControl();
    if (!hasFocus() || !c) return;
    QRect frame(0, 0, viewport()->width(), verticalHeader()->defaultSectionSize());
    QPalette::ColorRole line = QPalette::Text;
    if (c->list.selected >= 1 && c->list.selected <= model()->rowCount()) {
      const int row = c->list.selected - 1;
      const int top = rowViewportPosition(row);
      if (top < 0 || top > viewport()->height()) return;
      frame = QRect(0, top, viewport()->width(), rowHeight(row));
      line = QPalette::HighlightedText;
    }
    QPainter painter(viewport());
    QPen pen(palette().color(line));
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
  }

  void focusInEvent(QFocusEvent* event) override {
    QTableView::focusInEvent(event);
    viewport()->update();
  }

  void focusOutEvent(QFocusEvent* event) override {
    QTableView::focusOutEvent(event);
    viewport()->update();
  }

  void resizeEvent(QResizeEvent* event) override {
    QTableView::resizeEvent(event);
    tellRowsShown();
  }

  void updateGeometries() override {
    QTableView::updateGeometries();
    // The scroll range is known now: the engine's first row can be shown.
    const Control* c = engineControl();
    if (!c || input_ > 0) return;
    WindowFrame::ShowingState showing(frame_);
    showScrollBar(*c);
    // A paged list's page starts at its first row, also while it holds more rows than fit (the
    // table would push them up to show its last row whole).
    if (c->list.paged && verticalHeader()->offset() != 0) {
      verticalHeader()->setOffset(0);
      viewport()->update();
    }
  }

  void wheelEvent(QWheelEvent* event) override {
    if (!paged()) {
      QTableView::wheelEvent(event);
      return;
    }
    // Whole notches (a fine wheel's small steps add up) of the platform's lines each.
    wheel_ += event->angleDelta().y();
    const int notches = wheel_ / QWheelEvent::DefaultDeltasPerStep;
    wheel_ -= notches * QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0) {
      requestScroll({window::ScrollStep::Lines, -notches * QApplication::wheelScrollLines()});
    }
    event->accept();
  }

  void scrollContentsBy(int dx, int dy) override {
    // A paged list's page always starts at its first row.
    QTableView::scrollContentsBy(dx, paged() ? 0 : dy);
  }

 private:
  const Control* engineControl() const {
    const window::Window* w = frame_.engineWindow();
    return w ? w->control(number_) : nullptr;
  }

  bool paged() const {
    const Control* c = engineControl();
    return c && c->list.paged;
  }

  // The rows wholly visible: the table's height less its frame, headings and horizontal scroll
  // bar (shown when the columns are wider than the room beside the vertical one), in whole
  // rows. Worked out from the table's size, so that it holds before the table is first shown.
  int wholeRows(bool paged) const {
    ensurePolished();
    const int frame = 2 * frameWidth();
    const int rowHeight = std::max(1, verticalHeader()->defaultSectionSize());
    const QHeaderView* header = horizontalHeader();
    const int headings = !header->isVisibleTo(this)
                             ? 0
                             : std::clamp(header->sizeHint().height(), header->minimumHeight(),
                                          header->maximumHeight());
    // Scroll bars that float over the contents take no room.
    const bool floating = style()->styleHint(QStyle::SH_ScrollBar_Transient, nullptr, this);
    const int barWidth = floating ? 0 : verticalScrollBar()->sizeHint().width();
    const int barHeight = floating ? 0 : horizontalScrollBar()->sizeHint().height();
    const int room = height() - frame - headings;
    // Each bar can bring the other: a paged list's vertical bar is always shown, another's
    // when its rows do not fit.
    bool vertical = paged;
    bool horizontal = false;
    for (int pass = 0; pass < 2; ++pass) {
      horizontal = header->length() > width() - frame - (vertical ? barWidth : 0);
      vertical = paged || model()->rowCount() > (room - (horizontal ? barHeight : 0)) / rowHeight;
    }
    return std::max(1, (room - (horizontal ? barHeight : 0)) / rowHeight);
  }

  // The engine's first row, or for a paged list the owner's thumb (in the middle while the
  // owner cannot tell); a thumb the user holds stays where it is.
  void showScrollBar(const Control& c) {
    QScrollBar* bar = verticalScrollBar();
    if (!c.list.paged) {
      if (pagedBar_) {
        pagedBar_ = false;
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        QTableView::updateGeometries();  // the rows' range again
      }
      bar->setValue(c.list.top - 1);
      return;
    }
    if (!pagedBar_) {
      pagedBar_ = true;
      setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }
    // An empty list has nothing to scroll: its bar shows no thumb and takes no clicks.
    const bool empty = c.list.rowCount() == 0;
    bar->setEnabled(!empty);
    if (empty) {
      bar->setRange(0, 0);
      return;
    }
    bar->setRange(0, window::kThumbRange);
    bar->setSingleStep(1);
    bar->setPageStep(kThumbPageStep);
    if (!bar->isSliderDown()) {
      bar->setValue(c.list.thumb < 0 ? window::kThumbRange / 2 : c.list.thumb);
    }
  }

  // The user worked a paged list's scroll bar: the request goes to the engine and the bar
  // stays where the engine has it until the owner answers.
  void scrollBarAction(int action) {
    if (!paged() || frame_.showingState()) return;
    QScrollBar* bar = verticalScrollBar();
    std::optional<window::ScrollRequest> request;
    switch (action) {
      case QAbstractSlider::SliderSingleStepAdd: request = {window::ScrollStep::Lines, 1}; break;
      case QAbstractSlider::SliderSingleStepSub: request = {window::ScrollStep::Lines, -1}; break;
      case QAbstractSlider::SliderPageStepAdd: request = {window::ScrollStep::Pages, 1}; break;
      case QAbstractSlider::SliderPageStepSub: request = {window::ScrollStep::Pages, -1}; break;
      case QAbstractSlider::SliderToMinimum: request = {window::ScrollStep::Thumb, 0}; break;
      case QAbstractSlider::SliderToMaximum:
        request = {window::ScrollStep::Thumb, window::kThumbRange};
        break;
      case QAbstractSlider::SliderMove:
        // Dragged by the thumb, or wheeled over the bar (lines).
        if (bar->isSliderDown()) {
          request = {window::ScrollStep::Thumb, bar->sliderPosition()};
        } else if (bar->sliderPosition() != bar->value()) {
          request = {window::ScrollStep::Lines, bar->sliderPosition() - bar->value()};
        }
        break;
      default: break;
    }
    if (!bar->isSliderDown()) bar->setSliderPosition(bar->value());
    if (request) requestScroll(*request);
  }

  void requestScroll(window::ScrollRequest request) {
    const int n = number_;
    frame_.report([n, request](window::Window& w) { w.listScrollRequested(n, request); });
  }

  void columnMoved(int from, int to) {
    if (frame_.showingState()) return;
    // The engine moves the column in its format (or refuses); the header goes back to the
    // format's order, which the model shows.
    QTimer::singleShot(0, this, [this, from, to] {
      {
        WindowFrame::ShowingState showing(frame_);
        QHeaderView* header = horizontalHeader();
        for (int logical = 0; logical < header->count(); ++logical) {
          const int visual = header->visualIndex(logical);
          if (visual != logical) header->moveSection(visual, logical);
        }
      }
      const int n = number_;
      frame_.report([n, from, to](window::Window& w) { w.listColumnMoved(n, from + 1, to + 1); });
    });
  }

  void columnResized() {
    if (!resizing_) return;
    const auto [section, size] = *resizing_;
    resizing_.reset();
    const int n = number_;
    const int width = frame_.units().unitsX(size);
    frame_.report(
        [n, section, width](window::Window& w) { w.listColumnResized(n, section + 1, width); });
    // A refused width goes back to the format's.
    frame_.controlChanged(n, window::ChangeListFormat);
  }

  WindowFrame& frame_;
  int number_;
  int key_ = 0;            // the key being handled by the table
  int input_ = 0;          // inside the table's own handling of the user's input
  int wheel_ = 0;          // wheel turns of a paged list short of a notch
  bool pagedBar_ = false;  // the scroll bar shows a paged list's thumb
  std::optional<std::pair<int, int>> resizing_;
};

class ListControlView : public ControlView {
 public:
  ListControlView(WindowFrame& frame, const Control& c)
      : ControlView(frame, c.number, new ListTable(frame, c.number, frame.client())),
        model_(new ListModel(frame, c.number, widget())) {
    table()->setModel(model_);
  }

  std::optional<QRect> cellGeometry(int row, int column) const override {
    const QModelIndex at = model_->index(row - 1, column - 1);
    if (!at.isValid()) return std::nullopt;
    const QRect cell = table()->visualRect(at).intersected(table()->viewport()->rect());
    if (cell.isEmpty()) return std::nullopt;
    return cell.translated(table()->viewport()->pos());
  }

  void apply(const Control& c, unsigned changes) override {
    if (changes & (window::ChangeListRows | window::ChangeListFormat)) model_->reload();
    if (changes & window::ChangeListFormat) showColumns(c);
    if (changes & window::ChangeLook) model_->restyle();
    if (changes & (window::ChangeListRows | window::ChangeListFormat | window::ChangeListSelection |
                   window::ChangeListScroll)) {
      table()->showEngineState();
    }
    table()->tellRowsShown();
  }

 private:
  ListTable* table() const { return static_cast<ListTable*>(widget()); }

  void showColumns(const Control& c) {
    const DialogUnits& units = frame_.units();
    const int rowHeight = units.y(c.list.rowHeight());
    QHeaderView* rows = table()->verticalHeader();
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(rowHeight);
    table()->setIconSize(QSize(std::min(16, rowHeight - 2), std::min(16, rowHeight - 2)));
    QHeaderView* header = table()->horizontalHeader();
    header->setVisible(c.list.hasHeadings());
    header->setFixedHeight(rowHeight);
    bool movable = false;
    const auto& columns = c.list.format.columns;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      const int section = static_cast<int>(i);
      header->setSectionResizeMode(
          section, columns[i].resizable ? QHeaderView::Interactive : QHeaderView::Fixed);
      header->resizeSection(section, units.x(columns[i].width));
      movable = movable || columns[i].resizable;
    }
    if (columns.empty()) header->setStretchLastSection(true);
    header->setSectionsMovable(movable);
  }

  ListModel* model_;
};

// A DROP's or COMBO's box; keys that change its item are reported with their codes.
class DropBox : public QComboBox {
 public:
  using QComboBox::QComboBox;
  int key() const { return key_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    key_ = keyCodeOf(*event);
    QComboBox::keyPressEvent(event);
    key_ = 0;
  }

 private:
  int key_ = 0;
};

class DropView : public ControlView {
 public:
  DropView(WindowFrame& frame, const Control& c)
      : ControlView(frame, c.number, new DropBox(frame.client())),
        model_(new ListModel(frame, c.number, widget())) {
    box()->setModel(model_);
    box()->setEditable(c.type == window::ControlType::Combo);
    const int number = c.number;
    QObject::connect(box(), &QComboBox::activated, box(), [this, number](int index) {
      const int key = box()->key() != 0 ? box()->key() : window::MouseLeft;
      frame_.report(
          [number, index, key](window::Window& w) { w.listSelect(number, index + 1, key); });
      frame_.controlChanged(number, window::ChangeListSelection);
    });
    if (QLineEdit* edit = box()->lineEdit()) {
      QObject::connect(edit, &QLineEdit::textEdited, box(), [this, number](const QString& t) {
        frame_.report([&](window::Window& w) { w.textEdited(number, fromQt(t)); });
      });
    }
  }
  QWidget* focusTarget() const override { return box(); }
  bool keepsNaturalHeight() const override { return true; }

  void apply(const Control& c, unsigned changes) override {
    if (changes & (window::ChangeListRows | window::ChangeListFormat)) model_->reload();
    if (changes & window::ChangeLook) model_->restyle();
    if (changes & (window::ChangeListRows | window::ChangeListFormat | window::ChangeListSelection |
                   window::ChangeScreenText)) {
      box()->setCurrentIndex(c.list.selected - 1);
      if (box()->isEditable()) box()->setEditText(toQt(c.screenText));
    }
  }

 private:
  DropBox* box() const { return static_cast<DropBox*>(widget()); }

  ListModel* model_;
};

}  // namespace

std::unique_ptr<ControlView> makeListView(WindowFrame& frame, const Control& c) {
  return std::make_unique<ListControlView>(frame, c);
}

std::unique_ptr<ControlView> makeDropView(WindowFrame& frame, const Control& c) {
  return std::make_unique<DropView>(frame, c);
}

}  // namespace qtui
