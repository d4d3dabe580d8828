#include "platform/files/view_driver.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/files/cask_key_image.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/bound_field.h"
#include "platform/runtime/bound_value.h"
#include "platform/runtime/decimal.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/standard_date.h"
#include "platform/runtime/text.h"

namespace files {
namespace {

using runtime::FieldType;

// A memo, as a filter reads it (read only).
class MemoText final : public runtime::BoundValue {
 public:
  explicit MemoText(const Memo& memo) : memo_(memo) {}
  runtime::Value get() const override { return runtime::Value::text(std::string(memo_.content())); }
  bool set(const runtime::Value&) override { return false; }

 private:
  const Memo& memo_;
};

DriverFile* handleOf(FileDeclaration& file) {
  return static_cast<DriverFile*>(file.openState().handle.get());
}

}  // namespace

FileView::~FileView() {
  if (mode_ != 0) CLOSE(*this);
}

void FileView::orderByKey(const KeyDef& key) {
  changedSinceSet_ |= order_ != Order::Key || key_ != &key;
  order_ = Order::Key;
  key_ = &key;
}

void FileView::orderByFields(std::vector<std::int32_t> fields, bool noCase) {
  changedSinceSet_ = true;
  order_ = Order::Fields;
  fields_ = std::move(fields);
  noCase_ = noCase;
}

void FileView::orderPhysical() {
  changedSinceSet_ |= order_ != Order::Physical;
  order_ = Order::Physical;
}

std::uint64_t FileView::readingMark() const {
  const DriverFile* handle = handleOf(primary_);
  return handle != nullptr ? handle->readingMark() : 0;
}

bool FileView::canGoOn(std::uint64_t mark) {
  DriverFile* handle = handleOf(primary_);
  return handle != nullptr && mode_ != 0 && order_ != Order::Fields && !changedSinceSet_ &&
         handle->canGoOn(mark);
}

bool FileView::setFilter(std::string_view text, runtime::ParseError* error) {
  if (text.find_first_not_of(' ') == std::string_view::npos) {
    changedSinceSet_ |= filter_.has_value();
    filter_.reset();
    return true;
  }
  if (filter_ && text == filterText_) return true;  // set again before each read of a page
  runtime::ParseResult parsed = runtime::Expression::parse(text);
  if (!parsed.ok()) {
    if (error != nullptr) *error = parsed.error;
    return false;
  }
  filter_ = std::move(parsed.expression);
  filterText_.assign(text);
  changedSinceSet_ = true;
  return true;
}

void FileView::bindFields() {
  std::byte* record = primary_.record().data();
  const auto bind = [&](std::string_view name, std::shared_ptr<runtime::BoundValue> variable) {
    std::shared_ptr<runtime::BoundValue> replaced = runtime::boundVariable(name);
    if (variable && runtime::BIND(name, variable))
      bound_.push_back({std::string(name), std::move(variable), std::move(replaced)});
  };
  for (const runtime::FieldDef& field : primary_.layout().fields()) {
    bind(field.label, runtime::boundField(field, record));
  }
  for (const Memo& memo : primary_.memos()) bind(memo.label(), std::make_shared<MemoText>(memo));
}

void FileView::unbindFields() {
  // A name bound again by someone else since (a file manager, the dictionary) keeps that
  // binding; else the name goes back to what it was bound to before the view, so a file
  // manager's or another view's names outlive this view.
  for (auto it = bound_.rbegin(); it != bound_.rend(); ++it) {
    if (runtime::boundVariable(it->name) != it->variable) continue;
    it->replaced ? (void)runtime::BIND(it->name, it->replaced) : runtime::UNBIND(it->name);
  }
  bound_.clear();
}

int FileView::filterOut() {
  if (!filter_) return 0;
  const runtime::Evaluation result = filter_->evaluate();
  if (!result.ok()) return driverError(kBadFilterErr, result.error);
  return result.isTrue() ? 0 : 1;
}

void FileView::limitToFilter() {
  if (!filter_ || order_ != Order::Key || key_->components.empty()) return;
  DriverFile* handle = handleOf(primary_);
  const runtime::FieldDef* field = primary_.layout().field(std::abs(key_->components.front()));
  if (handle == nullptr || field == nullptr || field->elementCount() > 1) return;
  if (field->type != FieldType::String && field->type != FieldType::CString &&
      field->type != FieldType::PString)
    return;
  const auto isRecordName = [&](std::string_view name) {
    if (primary_.layout().numberOf(name) != 0) return true;
    for (const Memo& memo : primary_.memos())
      if (runtime::equalTextNoCase(memo.label(), name)) return true;
    return false;
  };
  for (const runtime::Equality& equality : filter_->requiredEqualities()) {
    if (!runtime::equalTextNoCase(equality.name, field->label)) continue;
    std::optional<runtime::Value> value = equality.literal;
    if (!value) {
      if (isRecordName(equality.otherName)) continue;  // changes from record to record
      const std::shared_ptr<runtime::BoundValue> variable =
          runtime::boundVariable(equality.otherName);
      if (!variable) continue;
      value = variable->get();
    }
    // A number compares with a text by its value ("01" = 1): only a text fixes the key's bytes.
    if (!value->isText()) continue;
    // The key's prefix is built from the record buffer: put the value there for the moment.
    std::byte* at = primary_.record().data() + field->offset;
    const std::vector<std::byte> kept(at, at + field->totalSize());
    runtime::boundField(*field, primary_.record().data())->set(*value);
    handle->limitKey(static_cast<int>(key_ - primary_.keys().data()), 1);
    std::copy(kept.begin(), kept.end(), at);
    runtime::clearError();
    return;
  }
}

int FileView::sortByFields() {
  std::vector<KeyComponent> components;
  for (const std::int32_t number : fields_) {
    const runtime::FieldDef* field = primary_.layout().field(std::abs(number));
    if (field == nullptr) return driverError(runtime::BadFieldNumberErr, "no such field");
    components.push_back({field, number < 0});
  }
  std::vector<std::pair<std::string, std::int64_t>> entries;
  SET(primary_);
  if (runtime::ERRORCODE() != 0) return runtime::ERRORCODE();
  DriverFile* handle = handleOf(primary_);
  KeyImage image;
  const auto* record = reinterpret_cast<const unsigned char*>(primary_.record().data());
  for (;;) {
    int code = handle->next();
    if (code == kRecordNotAvailableErr) break;
    if (code == 0) code = filterOut();
    if (code == 1) continue;
    if (code != 0) return code;
    if (handle->position() == 0)
      return driverError(kNotSupportedErr, "the file's driver cannot read by position");
    buildKeyImage(components, noCase_, false, record, image);
    entries.emplace_back(image.bytes, handle->position());
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  sorted_.clear();
  for (const auto& entry : entries) sorted_.push_back(entry.second);
  runtime::clearError();
  return 0;
}

int FileView::read(bool forward) {
  DriverFile* handle = handleOf(primary_);
  if (handle == nullptr || mode_ == 0) return driverError(kFileNotOpenErr, "the view is not open");
  // After a record the filter passed over, the buffer is as the handle's read left it.
  bool asLeft = false;
  for (;;) {
    int code = 0;
    if (order_ != Order::Fields) {
      code = asLeft ? handle->readOn(forward) : forward ? handle->next() : handle->previous();
    } else {
      const auto count = static_cast<std::ptrdiff_t>(sorted_.size());
      at_ = !started_ ? (forward ? 0 : count - 1) : at_ + (forward ? 1 : -1);
      started_ = true;
      at_ = std::clamp<std::ptrdiff_t>(at_, -1, count);
      if (at_ < 0 || at_ >= count)
        return driverError(kRecordNotAvailableErr, forward ? "at the end" : "at the start");
      code = handle->reget(sorted_[static_cast<std::size_t>(at_)]);
      if (code == kRecordNotAvailableErr) continue;  // deleted since SET
    }
    if (code == 0) code = filterOut();
    if (code != 1) return code;
    asLeft = order_ != Order::Fields;
    if (passedOver_ && ++passed_ % passEvery_ == 0) {
      passedOver_();
      asLeft = false;  // the windows may have changed it
    }
  }
}

void OPEN(FileView& view, int mode) {
  runtime::clearError();
  if (view.mode_ != 0) {
    driverError(runtime::FileAlreadyOpenErr, "the view is open");
    return;
  }
  view.openedPrimary_ = !view.primary_.openState().isOpen();
  if (view.openedPrimary_) {
    OPEN(view.primary_, mode);
    if (const int code = runtime::ERRORCODE(); code != 0) {
      const std::string driverCode = runtime::FILEERRORCODE();
      const std::string driverText = runtime::FILEERROR();
      CLOSE(view.primary_);
      runtime::setFileError(code, driverCode, driverText);
      return;
    }
  }
  view.bindFields();
  view.mode_ = mode;
  view.started_ = false;
  view.changedSinceSet_ = true;
  view.sorted_.clear();
}

void CLOSE(FileView& view) {
  runtime::clearError();
  if (view.mode_ == 0) return;
  view.unbindFields();
  if (view.openedPrimary_) CLOSE(view.primary_);
  view.mode_ = 0;
}

int STATUS(const FileView& view) { return view.mode_; }

void SET(FileView& view) {
  runtime::clearError();
  if (view.mode_ == 0) {
    driverError(kFileNotOpenErr, "the view is not open");
    return;
  }
  view.started_ = false;
  view.changedSinceSet_ = false;
  switch (view.order_) {
    case FileView::Order::Physical: SET(view.primary_); break;
    case FileView::Order::Key:
      SET(view.primary_, *view.key_);
      if (runtime::ERRORCODE() == 0) view.limitToFilter();
      break;
    case FileView::Order::Fields: view.sortByFields(); break;
  }
}

void SET(FileView& view, SetFrom from) {
  if (from == SetFrom::KeyStart) {
    SET(view);
    return;
  }
  runtime::clearError();
  if (view.mode_ == 0) {
    driverError(kFileNotOpenErr, "the view is not open");
    return;
  }
  if (view.order_ != FileView::Order::Key) {
    driverError(kNotSupportedErr, "only a view in key order starts at the record buffer");
    return;
  }
  view.started_ = false;
  view.changedSinceSet_ = false;
  SET(view.primary_, *view.key_, from);
  if (runtime::ERRORCODE() == 0) view.limitToFilter();
}

void NEXT(FileView& view) {
  runtime::clearError();
  view.read(true);
}

void PREVIOUS(FileView& view) {
  runtime::clearError();
  view.read(false);
}

}  // namespace files
