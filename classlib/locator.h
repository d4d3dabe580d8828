// The locator and the thumb of a browse's sort order.
//
// A locator finds the first record at or after a value of one field of the order: the text
// typed into the list (without a locator control: each letter, digit or space typed adds to
// the text, Backspace takes the last character off) or the text of its locator control when
// that is accepted.
//
// A thumb tells where in the order a record lies, as a percentage, and where a percentage
// lies: in ThumbTable mode it spreads the values of the order's first field between those of
// the first and the last record evenly over 0 to 100 (texts by their first characters,
// without regard to letter case), so that nothing has to be counted.
#pragma once

#include <string>
#include <vector>

#include "platform/runtime/record_layout.h"

namespace classlib {

class Locator {
 public:
  virtual ~Locator() = default;

  // `control`: the locator's entry, 0 = none (the text is typed into the list). `field`: the
  // record field it locates on (1-based), 0 = the order's first field.
  virtual void init(int control = 0, int field = 0);
  // Takes a key typed into the list. Answers true when the text changed (the browse then
  // locates); false for a key the locator does not take.
  virtual bool takeKey(int keyCode);
  // The locator control's text becomes the locator's. Answers true when it changed.
  virtual bool takeAccepted();
  // Blanks `record` (of `layout`) and puts the text into field `field`.
  virtual void set(const runtime::RecordLayout& layout, int field, std::byte* record) const;
  // Forgets the text (and blanks the control).
  virtual void reset();

  const std::string& text() const { return text_; }
  int control() const { return control_; }
  int field() const { return field_; }
  // The keys the list has to report for a locator without a control.
  static std::vector<int> typedKeys();

 private:
  int control_ = 0;
  int field_ = 0;
  std::string text_;
};

enum ThumbMode : int {
  ThumbNone = 0,
  ThumbTable = 3,  // spread between the first and the last record's values
};

class Thumb {
 public:
  // Spreads field `field` between the records `first` and `last` (of the field's layout).
  void build(const runtime::FieldDef& field, const std::byte* first, const std::byte* last);
  bool built() const { return built_; }
  // Where a record with `record`'s value lies, 0 to 100.
  int percentOf(const std::byte* record) const;
  // Puts into `record`'s field the value that lies at `percent` (0 to 100).
  void set(int percent, std::byte* record) const;

 private:
  double measure(const std::byte* record) const;

  runtime::FieldDef field_;
  bool built_ = false;
  bool text_ = false;
  double low_ = 0;
  double high_ = 0;
};

}  // namespace classlib
