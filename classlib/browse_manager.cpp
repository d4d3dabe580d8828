#include "classlib/browse_manager.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "classlib/bound_memo.h"
#include "classlib/edit_in_place.h"
#include "classlib/error_reporter.h"
#include "classlib/file_manager.h"
#include "classlib/relation_manager.h"
#include "classlib/window_controller.h"
#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/files/view_driver.h"
#include "platform/runtime/bound_field.h"
#include "platform/runtime/error_state.h"
#include "platform/window/dialogs.h"
#include "platform/window/engine.h"
#include "platform/window/key_codes.h"

namespace classlib {
namespace {

constexpr int kInsertKey = 45;
// How many records that are left out a page may read between two looks at the windows.
constexpr std::size_t kSkipsBetweenDraws = 1000;
// A row's place is kept behind a length of two bytes.
constexpr std::size_t kPositionLength = 2;

bool sameBytes(const runtime::FieldDef& a, const runtime::FieldDef& b) {
  return a.type == b.type && a.totalSize() == b.totalSize() && a.digits == b.digits &&
         a.scale == b.scale;
}

}  // namespace

BrowseManager::BrowseManager() = default;
BrowseManager::~BrowseManager() = default;

// ---------------------------------------------------------------------------------------------
// Set-up.

void BrowseManager::init(int listControl, runtime::QueueBase& queue, RelationManager& relation,
                         WindowController& wm) {
  list_ = listControl;
  queue_ = &queue;
  relation_ = &relation;
  fileManager_ = relation.fileManager();
  assert(fileManager_ && fileManager_->file() && "the relation manager's file manager");
  file_ = fileManager_->file();
  wm_ = &wm;
  view_.kill();
  reader_.reset();
  fileView_ = std::make_unique<files::FileView>(*file_);
  fileView_->onPassedOver(kSkipsBetweenDraws, [] { window::PendingEvents(); });
  view_.init(*fileView_, *fileManager_);
  view_.open();
  killed_ = false;
  loaded_ = false;
  const runtime::RecordLayout& layout = queue.layout();
  assert(layout.fieldCount() >= 2 &&
         layout.field(static_cast<int>(layout.fieldCount()))->type == runtime::FieldType::String &&
         "the row queue ends with its mark and its place (a STRING)");
  fieldCopiesPlanned_ = false;
  blankRow_.resize(layout.recordSize());
  runtime::blankRecord(layout, blankRow_.data());
  if (window::Window* w = window::currentWindow()) {
    w->setListSource(list_, this);
    w->setListPaged(list_, true);
  }
  wm.addItem(*this);
}

void BrowseManager::kill() {
  if (killed_ || !wm_) return;
  killed_ = true;
  if (EIP) EIP->kill();
  if (window::Window* w = wm_->window()) {
    w->setListPaged(list_, false);
    w->setListSource(list_, nullptr);
  }
  reader_.reset();
  view_.kill();
}

int BrowseManager::addSortOrder(int key) {
  assert((key == 0 || (file_ && file_->key(key))) && "a key of the browse's file");
  orders_.push_back(Order{key, {}, nullptr, ThumbNone});
  return static_cast<int>(orders_.size());
}

void BrowseManager::addLocator(Locator& locator) {
  assert(!orders_.empty());
  orders_.back().locator = &locator;
}

void BrowseManager::setThumb(int mode) {
  assert(!orders_.empty());
  orders_.back().thumbMode = mode;
}

void BrowseManager::addField(int fileField, int queueField) {
  fields_.push_back({fileField, queueField});
  fieldCopiesPlanned_ = false;
}

bool BrowseManager::setFilter(std::string_view expression) {
  assert(view_.view() && "setFilter follows init");
  filterBroken_ = false;
  const bool none = expression.find_first_not_of(' ') == std::string_view::npos;
  if (view_.setFilter(none ? std::string_view() : expression)) return true;
  filterBroken_ = true;
  view_.setFilter({});
  const runtime::ParseResult parsed = runtime::Expression::parse(expression);
  ErrorContext context;
  context.file = fileManager_ ? fileManager_->name() : std::string();
  context.message = "The list's filter \"" + std::string(expression) +
                    "\" cannot be used: " + parsed.error.message + " (at " +
                    std::to_string(parsed.error.position) + ").";
  if (ErrorReporter* errors = fileManager_ ? fileManager_->errors() : nullptr) {
    errors->report(MsgGeneral, context);
  }
  return false;
}

bool BrowseManager::setSort(int order) {
  assert(order >= 1 && order <= static_cast<int>(orders_.size()));
  if (order == current_) return false;
  current_ = order;
  if (loaded_) resetSort(false);
  return true;
}

bool BrowseManager::setSortFields(std::vector<int> fields) {
  if (current_ == 0) current_ = 1;
  Order& o = orders_[current_ - 1];
  if (o.key != 0 || identityKey(*file_) == 0) return false;
  o.sortFields = std::move(fields);
  applied_ = 0;
  resetSort(true);
  return true;
}

bool BrowseManager::resetSort(bool force) {
  if (orders_.empty()) addSortOrder();
  if (current_ == 0) current_ = 1;
  if (applied_ == current_ && reader_ && !force) return false;
  const bool changed = applied_ != current_;
  if (changed || !reader_ || !orders_[current_ - 1].sortFields.empty()) {
    makeOrder();  // a sorted order is made again to take in what was written since
  } else {
    buildThumb();  // a key order reads the file as it is now; only its thumb is made again
  }
  if (changed) setAlerts();  // its locator's keys
  fillFrom(std::nullopt, std::nullopt);
  return true;
}

void BrowseManager::makeOrder() {
  const Order& o = orders_[current_ - 1];
  if (o.key != 0) {
    reader_ = makeKeyOrder(view_, o.key);
  } else if (!o.sortFields.empty()) {
    reader_ = makeSortedOrder(view_, o.sortFields, identityKey(*file_), reader_.get());
  } else {
    const int key = identityKey(*file_) != 0 ? identityKey(*file_) : 1;
    assert(file_->key(key) && "a browsed file has a key");
    reader_ = makeKeyOrder(view_, key);
  }
  applied_ = current_;
  const runtime::FieldDef& place =
      *queue_->layout().field(static_cast<int>(queue_->layout().fieldCount()));
  assert(reader_->positionSize() + kPositionLength <= place.totalSize() &&
         "the row's place field holds the order's positions");
  (void)place;
  buildThumb();
}

BrowseOrder& BrowseManager::order() {
  if (!reader_) resetSort(true);
  return *reader_;
}

// ---------------------------------------------------------------------------------------------
// Rows.

std::size_t BrowseManager::rowCount() const { return queue_ ? queue_->RECORDS() : 0; }

runtime::Value BrowseManager::field(std::size_t row, int field) const {
  const std::span<const std::byte> bytes = queue_->row(row);
  const runtime::FieldDef* def = queue_->layout().field(field);
  if (bytes.empty() || !def) return runtime::Value::text({});
  auto value = runtime::boundField(*def, const_cast<std::byte*>(bytes.data()));
  return value ? value->get() : runtime::Value::text({});
}

int BrowseManager::rows() const { return static_cast<int>(rowCount()); }

int BrowseManager::selectedRow() const {
  const window::Window* w = wm_ ? wm_->window() : nullptr;
  const window::Control* c = w ? w->control(list_) : nullptr;
  return c ? std::min(c->list.selected, rows()) : 0;
}

int BrowseManager::fileFieldOf(int queueField) const {
  for (const Mapping& m : fields_) {
    if (m.queueField == queueField) return m.fileField;
  }
  return 0;
}

int BrowseManager::pageSize() const {
  const window::Window* w = wm_ ? wm_->window() : window::currentWindow();
  return w ? std::max(1, w->propertyNumber(list_, window::PropItems)) : 1;
}

std::string BrowseManager::positionOf(int row) const {
  return positionIn(queue_->row(static_cast<std::size_t>(row)));
}

std::string BrowseManager::rowPosition(const Row& row) const { return positionIn(row.bytes); }

std::string BrowseManager::positionIn(std::span<const std::byte> entry) const {
  const runtime::FieldDef& place =
      *queue_->layout().field(static_cast<int>(queue_->layout().fieldCount()));
  if (entry.size() < place.offset + place.totalSize()) return {};
  const auto* at = reinterpret_cast<const unsigned char*>(entry.data()) + place.offset;
  const std::size_t length = at[0] | (std::size_t{at[1]} << 8);
  // A row the browse did not read (the blank row of an insert in place) holds no position:
  // its length bytes are whatever the row was cleared to.
  if (length > place.totalSize() - kPositionLength) return {};
  return std::string(reinterpret_cast<const char*>(at) + kPositionLength, length);
}

std::vector<BrowseManager::Row> BrowseManager::currentRows(int first, int last) const {
  std::vector<Row> out;
  last = std::min(last, rows());
  out.reserve(static_cast<std::size_t>(std::max(last - first + 1, 0)));
  for (int r = std::max(first, 1); r <= last; ++r) {
    const auto bytes = queue_->row(static_cast<std::size_t>(r));
    out.push_back(Row{{bytes.begin(), bytes.end()}});
  }
  return out;
}

void BrowseManager::storePosition(std::byte* entry) {
  const runtime::FieldDef& place =
      *queue_->layout().field(static_cast<int>(queue_->layout().fieldCount()));
  const std::string position = reader_->position();
  auto* at = reinterpret_cast<unsigned char*>(entry) + place.offset;
  at[0] = static_cast<unsigned char>(position.size() & 0xFF);
  at[1] = static_cast<unsigned char>(position.size() >> 8);
  std::memcpy(at + kPositionLength, position.data(), position.size());
}

void BrowseManager::planQueueRecord() {
  const runtime::RecordLayout& fileLayout = file_->layout();
  const int recordFields = static_cast<int>(fileLayout.fieldCount());
  fieldCopies_.clear();
  for (const Mapping& m : fields_) {
    const runtime::FieldDef* to = queue_->layout().field(m.queueField);
    if (!to) continue;
    if (m.fileField > recordFields) {
      if (file_->memo(m.fileField - recordFields)) fieldCopies_.push_back({m.fileField, to, false});
      continue;
    }
    const runtime::FieldDef* from = fileLayout.field(m.fileField);
    if (from) fieldCopies_.push_back({m.fileField, to, sameBytes(*from, *to)});
  }
  fieldCopiesPlanned_ = true;
}

void BrowseManager::setQueueRecord() {
  if (!fieldCopiesPlanned_) planQueueRecord();
  const runtime::RecordLayout& fileLayout = file_->layout();
  const int recordFields = static_cast<int>(fileLayout.fieldCount());
  std::byte* row = queue_->bufferBytes().data();
  for (const FieldCopy& c : fieldCopies_) {
    if (c.fileField > recordFields) {
      auto target = runtime::boundField(*c.to, row);
      if (target) target->set(BoundMemo(*file_->memo(c.fileField - recordFields)).get());
      continue;
    }
    const runtime::FieldDef& from = *fileLayout.field(c.fileField);
    if (c.sameBytes) {
      std::memcpy(row + c.to->offset, file_->record().data() + from.offset, c.to->totalSize());
    } else if (auto source = runtime::boundField(from, file_->record().data())) {
      if (auto target = runtime::boundField(*c.to, row)) target->set(source->get());
    }
  }
}

int BrowseManager::validateRecord() { return filterBroken_ ? RecordFiltered : RecordOk; }

std::vector<BrowseManager::Row> BrowseManager::readRows(bool forward, int count) {
  std::vector<Row> out;
  if (!view_.isOpen()) return out;  // its open failed, and said so
  out.reserve(static_cast<std::size_t>(std::max(count, 0)));
  std::size_t skipped = 0;
  while (static_cast<int>(out.size()) < count) {
    const int code = forward ? reader_->next() : reader_->previous();
    if (code != 0) {
      if (code != files::kRecordNotAvailableErr && fileManager_->errors()) {
        files::endReadHold(*file_);  // the message waits for the user
        ErrorContext context;
        context.file = fileManager_->name();
        fileManager_->errors()->report(MsgReadFailed, context);
      }
      break;
    }
    const int check = validateRecord();
    if (check == RecordOutOfRange) break;
    if (check != RecordOk) {
      if (++skipped % kSkipsBetweenDraws == 0) window::PendingEvents();
      continue;
    }
    std::memcpy(queue_->bufferBytes().data(), blankRow_.data(), blankRow_.size());  // CLEAR
    setQueueRecord();
    storePosition(queue_->bufferBytes().data());
    const std::span<std::byte> bytes = queue_->bufferBytes();
    Row row;
    if (!spareRows_.empty()) {
      row = std::move(spareRows_.back());
      spareRows_.pop_back();
    }
    row.bytes.assign(bytes.begin(), bytes.end());
    out.push_back(std::move(row));
  }
  if (!forward) std::reverse(out.begin(), out.end());
  return out;
}

void BrowseManager::replaceRows(const std::vector<Row>& rows, int selected) {
  queue_->FREE();
  for (const Row& r : rows) queue_->append(r.bytes);
  // The buffer holds the last row, as when each row went in through it.
  if (!rows.empty()) {
    std::memcpy(queue_->bufferBytes().data(), rows.back().bytes.data(), rows.back().bytes.size());
  }
  loaded_ = true;
  filledPage_ = pageSize();
  if (window::Window* w = wm_->window()) {
    w->refreshList(list_);
    w->setProperty(list_, window::PropTopRow, 1);
    const int count = static_cast<int>(rows.size());
    w->setProperty(list_, window::PropSelected, count == 0 ? 0 : std::clamp(selected, 1, count));
  }
}

void BrowseManager::show(std::vector<Row> rows, int selected) {
  replaceRows(rows, selected);
  spareRows_ = std::move(rows);
  updateBuffer();
  updateControls();
}

int BrowseManager::addEditRow() {
  std::vector<Row> rows = currentRows();
  queue_->CLEAR();
  setQueueRecord();
  const std::span<std::byte> bytes = queue_->bufferBytes();
  const int at = rows.empty() ? 1 : std::max(selectedRow(), 1) + 1;
  rows.insert(rows.begin() + (at - 1), Row{{bytes.begin(), bytes.end()}});
  int row = at;
  if (static_cast<int>(rows.size()) > pageSize()) {
    if (at < static_cast<int>(rows.size())) {
      rows.pop_back();
    } else {
      rows.erase(rows.begin());
      --row;
    }
  }
  replaceRows(rows, row);
  return row;
}

void BrowseManager::fillFrom(const std::optional<std::string>& at,
                             const std::optional<std::string>& keep) {
  const files::ReadHold hold(*file_);  // the page and its selected record in one read
  const int page = pageSize();
  const int before = selectedRow();
  int added = 0;  // rows read before `at` to fill the page
  at ? reader_->startAt(*at) : reader_->start();
  std::vector<Row> rows = readRows(true, page);
  if (static_cast<int>(rows.size()) < page) {
    // Too few to fill the page: the records before make up the rest.
    if (!rows.empty()) {
      reader_->startAt(rowPosition(rows.front()));
    } else if (at) {
      reader_->startAt(*at);
    } else {
      reader_->start();
    }
    std::vector<Row> earlier = readRows(false, page - static_cast<int>(rows.size()));
    rows.insert(rows.begin(), std::make_move_iterator(earlier.begin()),
                std::make_move_iterator(earlier.end()));
    added = static_cast<int>(earlier.size());
  }
  // The kept record's row; when it is gone, the row now standing where it stood.
  int selected = added + std::max(before, 1);
  for (std::size_t i = 0; keep && i < rows.size(); ++i) {
    if (rowPosition(rows[i]) == *keep) selected = static_cast<int>(i) + 1;
  }
  show(std::move(rows), selected);
}

void BrowseManager::resetFromView() {
  if (!reader_) {
    resetSort(true);
    return;
  }
  const int selected = selectedRow();
  std::optional<std::string> top;
  std::optional<std::string> keep;
  if (rows() > 0) top = positionOf(1);
  if (selected > 0) keep = positionOf(selected);
  fillFrom(top, keep);
}

void BrowseManager::resetAtBuffer(bool orderIsFresh) {
  if (!reader_ || (!orderIsFresh && !orders_[current_ - 1].sortFields.empty())) {
    // A sorted index does not know a record just written: make it again.
    RecordSnapshot written;
    written.take(*file_);
    makeOrder();
    written.restore(*file_);
  }
  const std::string at = reader_->positionOfBuffer();
  // A record that is on the page stays where it is; another one comes in at the top.
  for (int r = 1; r <= rows(); ++r) {
    if (positionOf(r) == at) {
      fillFrom(positionOf(1), at);
      return;
    }
  }
  fillFrom(at, at);
}

void BrowseManager::updateBuffer() {
  const int selected = selectedRow();
  const bool read = selected != 0 && reader_ && reader_->fetch(positionOf(selected)) == 0;
  if (!read) files::CLEAR(*file_);
  thumbPercent_ = read && thumb_.built() ? thumb_.percentOf(file_->record().data()) : 0;
  if (window::Window* w = wm_->window()) {
    w->setListThumb(list_, read && thumb_.built() ? thumbPercent_ : -1);
  }
}

void BrowseManager::updateControls() {
  window::Window* w = wm_->window();
  if (!w) return;
  for (int control : {CHANGECONTROL, DELETECONTROL, SELECTCONTROL}) {
    if (control == 0) continue;
    rows() > 0 ? w->enable(control) : w->disable(control);
  }
}

void BrowseManager::selectRow(int row, bool tellWindow) {
  window::Window* w = wm_->window();
  if (!w || row < 1 || row > rows()) return;
  w->setProperty(list_, window::PropSelected, row);
  if (tellWindow) w->post(window::EventNewSelection, list_);
}

void BrowseManager::buildThumb() {
  thumb_ = Thumb();
  if (orders_[current_ - 1].thumbMode != ThumbTable) return;
  const runtime::FieldDef* field = file_->layout().field(reader_->firstField());
  if (!field) return;
  reader_->start();
  if (reader_->next() != 0) return;
  const std::vector<std::byte> first(file_->record().begin(), file_->record().end());
  reader_->start();
  if (reader_->previous() != 0) return;
  thumb_.build(*field, first.data(), file_->record().data());
}

// ---------------------------------------------------------------------------------------------
// Moving through the file.

void BrowseManager::scroll(int action) {
  if (!reader_ || rows() == 0) {
    if (action == ScrollTop || action == ScrollBottom) resetSort(true);
    return;
  }
  const files::ReadHold hold(*file_);
  const int page = pageSize();
  const int count = rows();
  const int selected = std::max(selectedRow(), 1);
  // Rows beyond the page, read after the last row (or before the first).
  const auto more = [&](bool forward, int n) {
    forward ? reader_->startAfter(positionOf(count)) : reader_->startAt(positionOf(1));
    return readRows(forward, n);
  };
  switch (action) {
    case ScrollUp:
    case ScrollPageUp: {
      const int step = action == ScrollUp ? 1 : page;
      if (action == ScrollUp && selected > 1) {
        selectRow(selected - 1, true);
        return;
      }
      std::vector<Row> earlier = more(false, step);
      if (earlier.empty()) {
        selectRow(1, selected != 1);
        return;
      }
      // Only the rows that stay on the page are copied.
      std::vector<Row> rows = std::move(earlier);
      std::vector<Row> kept = currentRows(1, page - static_cast<int>(rows.size()));
      rows.insert(rows.end(), std::make_move_iterator(kept.begin()),
                  std::make_move_iterator(kept.end()));
      show(std::move(rows), action == ScrollUp ? 1 : selected);
      break;
    }
    case ScrollDown:
    case ScrollPageDown: {
      const int step = action == ScrollDown ? 1 : page;
      if (action == ScrollDown && selected < count) {
        selectRow(selected + 1, true);
        return;
      }
      std::vector<Row> later = count < page ? std::vector<Row>{} : more(true, step);
      if (later.empty()) {
        selectRow(count, selected != count);
        return;
      }
      // Only the rows that stay on the page are copied.
      const int drop = std::max(count + static_cast<int>(later.size()) - page, 0);
      std::vector<Row> rows = currentRows(drop + 1, count);
      rows.insert(rows.end(), std::make_move_iterator(later.begin()),
                  std::make_move_iterator(later.end()));
      show(std::move(rows), action == ScrollDown ? static_cast<int>(rows.size()) : selected);
      break;
    }
    case ScrollTop:
      fillFrom(std::nullopt, std::nullopt);
      selectRow(1, true);
      return;
    case ScrollBottom: {
      reader_->start();
      std::vector<Row> rows = readRows(false, page);
      const int last = static_cast<int>(rows.size());
      show(std::move(rows), last);
      break;
    }
    default: return;
  }
  if (window::Window* w = wm_->window()) w->post(window::EventNewSelection, list_);
}

void BrowseManager::takeScroll() {
  window::Window* w = wm_->window();
  if (EIP && EIP->active()) {
    // The row being edited in place stays under its editor: the mouse does not scroll it.
    while (w->takeScrollRequest(list_)) {
    }
    return;
  }
  fitPage();
  const int page = pageSize();
  int delta = 0;
  std::optional<int> thumb;
  // A drag comes as many thumb positions and a wheel as many steps: the last position and
  // the sum of the steps after it make one move.
  while (const std::optional<window::ScrollRequest> request = w->takeScrollRequest(list_)) {
    switch (request->step) {
      case window::ScrollStep::Lines: delta += request->amount; break;
      case window::ScrollStep::Pages: delta += request->amount * page; break;
      case window::ScrollStep::Thumb:
        thumb = request->amount;
        delta = 0;
        break;
    }
  }
  if (thumb && thumb_.built()) {
    scrollToPercent(*thumb * 100 / window::kThumbRange);
  } else if (thumb == 0) {
    scroll(ScrollTop);
  } else if (thumb == window::kThumbRange) {
    scroll(ScrollBottom);
  }
  shiftPage(delta);
}

void BrowseManager::shiftPage(int delta) {
  if (!reader_ || rows() == 0 || delta == 0) return;
  const files::ReadHold hold(*file_);
  const int page = pageSize();
  const int count = rows();
  const bool forward = delta > 0;
  forward ? reader_->startAfter(positionOf(count)) : reader_->startAt(positionOf(1));
  std::vector<Row> more = readRows(forward, std::abs(delta));
  if (more.empty()) return;
  const std::string kept = positionOf(std::max(selectedRow(), 1));
  // Only the rows that stay on the page are copied.
  std::vector<Row> rows;
  if (forward) {
    rows = currentRows(std::max(count + static_cast<int>(more.size()) - page, 0) + 1, count);
    rows.insert(rows.end(), std::make_move_iterator(more.begin()),
                std::make_move_iterator(more.end()));
    const std::size_t drop = rows.size() - std::min(rows.size(), static_cast<std::size_t>(page));
    rows.erase(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(drop));
  } else {
    rows = std::move(more);
    std::vector<Row> kept = currentRows(1, page - static_cast<int>(rows.size()));
    rows.insert(rows.end(), std::make_move_iterator(kept.begin()),
                std::make_move_iterator(kept.end()));
    rows.resize(std::min(rows.size(), static_cast<std::size_t>(page)));
  }
  // The selected record when it is still shown, else the row at the edge it went past.
  int selected = forward ? 1 : static_cast<int>(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rowPosition(rows[i]) == kept) selected = static_cast<int>(i) + 1;
  }
  const bool moved = rowPosition(rows[static_cast<std::size_t>(selected - 1)]) != kept;
  show(std::move(rows), selected);
  if (moved) wm_->window()->post(window::EventNewSelection, list_);
}

void BrowseManager::fitPage() {
  const int page = pageSize();
  if (!loaded_ || !reader_ || page == filledPage_) return;
  const int count = rows();
  if (count <= page) {
    resetFromView();
    return;
  }
  const int selected = std::max(selectedRow(), 1);
  const int first = std::max(1, selected - page + 1);
  show(currentRows(first, first + page - 1), selected - first + 1);
}

void BrowseManager::locate() {
  if (!reader_) resetSort(true);
  const Order& o = orders_[current_ - 1];
  if (o.locator) {
    const int field = o.locator->field() != 0 ? o.locator->field() : reader_->firstField();
    o.locator->set(file_->layout(), field, file_->record().data());
  }
  const files::ReadHold hold(*file_);
  const int page = pageSize();
  reader_->startAtBuffer();
  std::vector<Row> rows = readRows(true, page);
  if (rows.empty()) {
    // Nothing at or after the value: the last page, with its last row.
    reader_->start();
    rows = readRows(false, page);
    const int last = static_cast<int>(rows.size());
    show(std::move(rows), last);
  } else {
    int located = 1;
    if (static_cast<int>(rows.size()) < page) {
      reader_->startAt(rowPosition(rows.front()));
      std::vector<Row> earlier = readRows(false, page - static_cast<int>(rows.size()));
      located += static_cast<int>(earlier.size());
      rows.insert(rows.begin(), std::make_move_iterator(earlier.begin()),
                  std::make_move_iterator(earlier.end()));
    }
    show(std::move(rows), located);
  }
  if (window::Window* w = wm_->window()) w->post(window::EventNewSelection, list_);
}

void BrowseManager::scrollToPercent(int percent) {
  if (!thumb_.built()) return;
  runtime::blankRecord(file_->layout(), file_->record().data());
  thumb_.set(percent, file_->record().data());
  Locator* locator = orders_[current_ - 1].locator;
  orders_[current_ - 1].locator = nullptr;  // the thumb's value, not the locator's
  locate();
  orders_[current_ - 1].locator = locator;
}

// ---------------------------------------------------------------------------------------------
// Events.

int BrowseManager::takeEvent() {
  window::Window* w = wm_ ? wm_->window() : nullptr;
  if (killed_ || !w) return LevelBenign;
  if (EIP && EIP->takeEvent()) return LevelBenign;
  const window::EventRecord& e = w->current();
  switch (e.event) {
    case window::EventAccepted: return takeAccepted();
    case window::EventNewSelection:
      if (e.control == list_) return takeNewSelection();
      return LevelBenign;
    case window::EventAlertKey:
      if (e.control == list_) takeKey();
      return LevelBenign;
    case window::EventScrolled:
      if (e.control == list_) takeScroll();
      return LevelBenign;
    default: return LevelBenign;
  }
}

int BrowseManager::takeNewSelection() {
  const window::EventRecord& e = wm_->window()->current();
  if (e.keyCode == window::MouseRightUp) {
    setupPopup();
    if (const int item = popup_.ask()) takePopupChoice(item);
    return LevelBenign;
  }
  Locator* locator = current_ ? orders_[current_ - 1].locator : nullptr;
  if (locator && e.keyCode == window::MouseLeft) locator->reset();
  updateBuffer();
  return LevelBenign;
}

bool BrowseManager::takeKey() {
  const int key = wm_->window()->current().keyCode;
  switch (key) {
    case window::UpKey: scroll(ScrollUp); return true;
    case window::DownKey: scroll(ScrollDown); return true;
    case window::PgUpKey: scroll(ScrollPageUp); return true;
    case window::PgDnKey: scroll(ScrollPageDown); return true;
    case window::HomeKey:
    case window::CtrlKey + window::PgUpKey: scroll(ScrollTop); return true;
    case window::EndKey:
    case window::CtrlKey + window::PgDnKey: scroll(ScrollBottom); return true;
    case kInsertKey:
      if (INSERTCONTROL == 0) return false;
      ask(RequestInsert);
      return true;
    case window::DeleteKey:
      if (DELETECONTROL == 0 || rows() == 0) return false;
      ask(RequestDelete);
      return true;
    default: break;
  }
  Locator* locator = current_ ? orders_[current_ - 1].locator : nullptr;
  if (locator && locator->takeKey(key)) {
    locate();
    return true;
  }
  return false;
}

int BrowseManager::takeAccepted() {
  window::Window* w = wm_->window();
  const int control = w->accepted();
  const auto usable = [&](int c) {
    const window::Control* ctl = c ? w->control(c) : nullptr;
    return ctl && !ctl->disabled && !ctl->hidden;
  };
  if (control == 0) return LevelBenign;
  if (control == list_) {
    if (wm_->REQUEST == RequestSelect) {
      takeSelect();
    } else if (usable(CHANGECONTROL)) {
      ask(RequestChange);
    }
  } else if (control == SELECTCONTROL) {
    takeSelect();
  } else if (control == INSERTCONTROL) {
    ask(RequestInsert);
  } else if (control == CHANGECONTROL) {
    ask(RequestChange);
  } else if (control == DELETECONTROL) {
    ask(RequestDelete);
  } else if (Locator* locator = current_ ? orders_[current_ - 1].locator : nullptr;
             locator && control == locator->control() && locator->takeAccepted()) {
    locate();
  }
  return LevelBenign;
}

int BrowseManager::ask(int request) {
  if (request != RequestInsert && rows() == 0) return ResponseCancelled;
  if (ASKPROCEDURE == 0) {
    if (EIP) {
      if (EIP->browse() != this) EIP->init(*this);
      EIP->ask(request);
    }
    return ResponseCancelled;
  }
  if (request != RequestInsert) updateBuffer();
  const int response = wm_->run(ASKPROCEDURE, request);
  if (response != ResponseCompleted) {
    updateBuffer();
  } else if (request == RequestDelete) {
    resetFromView();
  } else {
    resetAtBuffer();
  }
  return response;
}

void BrowseManager::takeSelect() {
  if (rows() == 0) return;
  updateBuffer();
  wm_->RESPONSE = ResponseCompleted;
  wm_->window()->post(window::EventCloseWindow);
}

void BrowseManager::setupPopup() {
  popup_.clear();
  popupEntries_.clear();
  window::Window* w = wm_->window();
  const auto usable = [&](int c) {
    const window::Control* ctl = w->control(c);
    return ctl && !ctl->disabled && !ctl->hidden;
  };
  if (EDITVIAPOPUP) {
    const std::pair<int, std::string_view> entries[] = {{INSERTCONTROL, kPopupInsert},
                                                        {CHANGECONTROL, kPopupChange},
                                                        {DELETECONTROL, kPopupDelete}};
    for (const auto& [control, text] : entries) {
      if (control != 0) popupEntries_.emplace_back(popup_.addItem(text, usable(control)), text);
    }
  }
  if (SELECTCONTROL != 0) {
    popupEntries_.emplace_back(popup_.addItem(kPopupSelect, usable(SELECTCONTROL)), kPopupSelect);
  }
  for (PopupSource* source : popupSources_) popup_.appendSource(*source);
}

bool BrowseManager::takePopupChoice(int item) {
  for (const auto& [number, text] : popupEntries_) {
    if (number != item) continue;
    if (text == kPopupSelect) {
      takeSelect();
    } else {
      ask(text == kPopupInsert   ? RequestInsert
          : text == kPopupChange ? RequestChange
                                 : RequestDelete);
    }
    return true;
  }
  for (PopupSource* source : popupSources_) {
    if (source->takePopup(item)) return true;
  }
  return false;
}

void BrowseManager::reset(bool force) {
  if (killed_) return;
  if (!loaded_ || !reader_ || applied_ != current_) {
    resetSort(true);
  } else if (force) {
    if (!orders_[current_ - 1].sortFields.empty()) makeOrder();
    resetFromView();
  }
}

void BrowseManager::setAlerts() {
  window::Window* w = wm_ ? wm_->window() : nullptr;
  if (!w || killed_) return;
  for (int key : {window::UpKey, window::DownKey, window::PgUpKey, window::PgDnKey, window::HomeKey,
                  window::EndKey, window::CtrlKey + window::PgUpKey,
                  window::CtrlKey + window::PgDnKey, kInsertKey, window::DeleteKey}) {
    w->setProperty(list_, window::PropAlrt, key);
  }
  const Locator* locator = current_ ? orders_[current_ - 1].locator : nullptr;
  if (locator && locator->control() == 0) {
    for (int key : Locator::typedKeys()) w->setProperty(list_, window::PropAlrt, key);
  }
}

bool BrowseManager::takeToolbar(int action) {
  switch (action) {
    case ToolbarTop: scroll(ScrollTop); return true;
    case ToolbarPageUp: scroll(ScrollPageUp); return true;
    case ToolbarUp: scroll(ScrollUp); return true;
    case ToolbarDown: scroll(ScrollDown); return true;
    case ToolbarPageDown: scroll(ScrollPageDown); return true;
    case ToolbarBottom: scroll(ScrollBottom); return true;
    case ToolbarInsert: return INSERTCONTROL != 0 && (ask(RequestInsert), true);
    case ToolbarChange: return CHANGECONTROL != 0 && (ask(RequestChange), true);
    case ToolbarDelete: return DELETECONTROL != 0 && (ask(RequestDelete), true);
    case ToolbarSelect: return SELECTCONTROL != 0 && (takeSelect(), true);
    default: return false;
  }
}

}  // namespace classlib
