// The runtime's standard date and standard time, the byte layouts of DATE and TIME fields, the
// local clock and the random number source.
//
// A standard date is a day number: the number of days since 28 December 1800, so 1 January 1801
// is day 4 and 31 December 9999 is day 2994626; 0 means no date. Only dates from 1 January 1801
// to 31 December 9999 are valid.
// A standard time is the number of hundredths of a second since midnight plus 1, so midnight is 1
// and 23:59:59.99 is 8640000; 0 means no time.
#pragma once

#include <functional>

namespace runtime {

inline constexpr int firstStandardDate = 4;       // 1 January 1801
inline constexpr int lastStandardDate = 2994626;  // 31 December 9999
inline constexpr int lastStandardTime = 8640000;  // 23:59:59.99

struct Ymd {
  int year = 0;
  int month = 0;
  int day = 0;
  friend bool operator==(const Ymd&, const Ymd&) = default;
};

struct Hms {
  int hour = 0;
  int minute = 0;
  int second = 0;
  int hundredths = 0;
  friend bool operator==(const Hms&, const Hms&) = default;
};

// The day number of a calendar date; 0 when the date does not exist or lies outside the years
// 1801 to 9999.
int dateFromYmd(int year, int month, int day);
// The calendar date of a day number; {0, 0, 0} for 0 and for a day number outside the valid range.
Ymd ymdFromDate(int date);

// The standard time of a time of day; 0 when a part is out of its range (hour 0-23, minute and
// second 0-59, hundredths 0-99).
int timeFromHms(int hour, int minute, int second, int hundredths);
// The time of day of a standard time; all zero for 0 and for a value outside 1 to 8640000.
Hms hmsFromTime(int time);

// A DATE field: day (byte), month (byte), year (16-bit little-endian). No date, and any day
// number outside the valid range, is stored as four zero bytes.
void packDate(int date, unsigned char out[4]);
// The day number held by a DATE field; 0 for four zero bytes and for bytes that are no valid date.
int unpackDate(const unsigned char in[4]);

// A TIME field: hundredths, second, minute, hour (one byte each). No time, and any value outside
// the valid range, is stored as four zero bytes. Four zero bytes read back as no time, so a time
// of exactly midnight does not survive the field; that is the stored format's own rule.
void packTime(int time, unsigned char out[4]);
// The standard time held by a TIME field; 0 for four zero bytes and for bytes out of range.
int unpackTime(const unsigned char in[4]);

// The current local date as a day number.
int TODAY();
// The current local time of day as a standard time.
int CLOCK();

// What TODAY and CLOCK read: a local date and time of day.
struct LocalMoment {
  int date = 0;
  int time = 0;
};
// Replaces the source of TODAY and CLOCK for every thread, so that tests can fix the moment; an
// empty function restores the system clock. Safe to call while other threads read the clock.
void setLocalClock(std::function<LocalMoment()> clock);

// A whole number from low to high inclusive, drawn from a generator of the calling thread; the
// bounds are swapped when low is above high.
int RANDOM(int low, int high);

}  // namespace runtime
