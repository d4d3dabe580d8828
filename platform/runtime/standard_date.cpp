#include "platform/runtime/standard_date.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <mutex>
#include <random>
#include <utility>

namespace runtime {
namespace {

// Days from 1 January 1970 to a date of the proleptic Gregorian calendar (month 1-12).
constexpr int daysFromCivil(int year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const int era = (year >= 0 ? year : year - 399) / 400;
  const int yearOfEra = year - era * 400;
  const int dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

// The inverse of daysFromCivil.
constexpr Ymd civilFromDays(int days) {
  days += 719468;
  const int era = (days >= 0 ? days : days - 146096) / 146097;
  const int dayOfEra = days - era * 146097;
  const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int shiftedMonth = (5 * dayOfYear + 2) / 153;
  const int day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
  const int month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
  return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

constexpr int dayZero = daysFromCivil(1800, 12, 28);
static_assert(daysFromCivil(1801, 1, 1) - dayZero == firstStandardDate);
static_assert(daysFromCivil(9999, 12, 31) - dayZero == lastStandardDate);

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
  static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

LocalMoment systemMoment() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t seconds = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  return {dateFromYmd(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
          timeFromHms(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59),
                      static_cast<int>(millis / 10))};
}

std::mutex clockMutex;
std::function<LocalMoment()> clockOverride;

LocalMoment currentMoment() {
  std::function<LocalMoment()> clock;
  {
    std::lock_guard lock(clockMutex);
    clock = clockOverride;
  }
  return clock ? clock() : systemMoment();
}

}  // namespace

int dateFromYmd(int year, int month, int day) {
  if (year < 1801 || year > 9999 || month < 1 || month > 12) return 0;
  if (day < 1 || day > daysInMonth(year, month)) return 0;
  return daysFromCivil(year, month, day) - dayZero;
}

Ymd ymdFromDate(int date) {
  if (date < firstStandardDate || date > lastStandardDate) return {};
  return civilFromDays(date + dayZero);
}

int timeFromHms(int hour, int minute, int second, int hundredths) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59) return 0;
  if (second < 0 || second > 59 || hundredths < 0 || hundredths > 99) return 0;
  return ((hour * 60 + minute) * 60 + second) * 100 + hundredths + 1;
}

Hms hmsFromTime(int time) {
  if (time < 1 || time > lastStandardTime) return {};
  const int hundredths = time - 1;
  return {hundredths / 360000, hundredths / 6000 % 60, hundredths / 100 % 60, hundredths % 100};
}

void packDate(int date, unsigned char out[4]) {
  const Ymd ymd = ymdFromDate(date);
  out[0] = static_cast<unsigned char>(ymd.day);
  out[1] = static_cast<unsigned char>(ymd.month);
  out[2] = static_cast<unsigned char>(ymd.year & 0xFF);
  out[3] = static_cast<unsigned char>(ymd.year >> 8);
}

int unpackDate(const unsigned char in[4]) { return dateFromYmd(in[2] | in[3] << 8, in[1], in[0]); }

void packTime(int time, unsigned char out[4]) {
  const Hms hms = hmsFromTime(time);
  out[0] = static_cast<unsigned char>(hms.hundredths);
  out[1] = static_cast<unsigned char>(hms.second);
  out[2] = static_cast<unsigned char>(hms.minute);
  out[3] = static_cast<unsigned char>(hms.hour);
}

int unpackTime(const unsigned char in[4]) {
  if (in[0] == 0 && in[1] == 0 && in[2] == 0 && in[3] == 0) return 0;
  return timeFromHms(in[3], in[2], in[1], in[0]);
}

int TODAY() { return currentMoment().date; }

int CLOCK() { return currentMoment().time; }

void setLocalClock(std::function<LocalMoment()> clock) {
  std::lock_guard lock(clockMutex);
  clockOverride = std::move(clock);
}

int RANDOM(int low, int high) {
  if (low > high) std::swap(low, high);
  thread_local std::mt19937 generator{std::random_device{}()};
  return std::uniform_int_distribution<int>(low, high)(generator);
}

}  // namespace runtime
