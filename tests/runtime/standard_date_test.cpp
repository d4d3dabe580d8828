#include "platform/runtime/standard_date.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

namespace runtime {
namespace {

TEST(StandardDate, CalendarDatesAndDayNumbers) {
  const struct {
    Ymd ymd;
    int date;
  } cases[] = {
      {{1801, 1, 1}, 4},         {{1801, 1, 2}, 5},
      {{1801, 12, 31}, 368},     {{1900, 1, 1}, 36163},
      {{1900, 2, 28}, 36221},    {{1900, 3, 1}, 36222},   // 1900 is no leap year
      {{2000, 2, 28}, 72745},    {{2000, 2, 29}, 72746},  // 2000 is one
      {{2000, 3, 1}, 72747},     {{2026, 1, 5}, 82188},
      {{9999, 12, 31}, 2994626},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(dateFromYmd(c.ymd.year, c.ymd.month, c.ymd.day), c.date) << c.date;
    EXPECT_EQ(ymdFromDate(c.date), c.ymd) << c.date;
  }
}

TEST(StandardDate, EveryDayRoundTrips) {
  int previous = firstStandardDate - 1;
  for (int date = firstStandardDate; date <= lastStandardDate; ++date) {
    const Ymd ymd = ymdFromDate(date);
    ASSERT_EQ(dateFromYmd(ymd.year, ymd.month, ymd.day), date);
    ASSERT_EQ(date, previous + 1);
    previous = date;
  }
}

TEST(StandardDate, InvalidDatesGiveZero) {
  const Ymd cases[] = {
      {1900, 2, 29}, {2023, 2, 29}, {2026, 4, 31},  {2026, 0, 1},  {2026, 13, 1},
      {2026, 1, 0},  {2026, 1, 32}, {1800, 12, 31}, {10000, 1, 1}, {0, 0, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(dateFromYmd(c.year, c.month, c.day), 0) << c.year;
  for (int date : {0, -1, 1, 3, lastStandardDate + 1}) EXPECT_EQ(ymdFromDate(date), Ymd{}) << date;
}

TEST(StandardTime, TimesOfDay) {
  EXPECT_EQ(timeFromHms(0, 0, 0, 0), 1);
  EXPECT_EQ(timeFromHms(23, 59, 59, 99), lastStandardTime);
  EXPECT_EQ(timeFromHms(8, 30, 15, 7), 3061508);
  EXPECT_EQ(hmsFromTime(3061508), (Hms{8, 30, 15, 7}));
  EXPECT_EQ(hmsFromTime(1), Hms{});
  for (int time : {0, -5, lastStandardTime + 1}) EXPECT_EQ(hmsFromTime(time), Hms{}) << time;
  const Hms invalid[] = {
      {24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 100}, {-1, 0, 0, 0}};
  for (const auto& c : invalid) EXPECT_EQ(timeFromHms(c.hour, c.minute, c.second, c.hundredths), 0);
}

TEST(StandardDate, DateFieldBytes) {
  unsigned char bytes[4];
  packDate(82188, bytes);
  EXPECT_EQ(std::vector<int>(bytes, bytes + 4), (std::vector<int>{5, 1, 0xEA, 0x07}));
  EXPECT_EQ(unpackDate(bytes), 82188);

  for (int noDate : {0, 2, lastStandardDate + 1}) {
    packDate(noDate, bytes);
    EXPECT_EQ(std::vector<int>(bytes, bytes + 4), (std::vector<int>{0, 0, 0, 0})) << noDate;
  }
  const unsigned char invalid[][4] = {{0, 0, 0, 0},
                                      {30, 2, 0xEA, 0x07},
                                      {1, 13, 0xEA, 0x07},
                                      {1, 1, 0xFF, 0xFF},
                                      {0, 1, 0xEA, 0x07}};
  for (const auto& in : invalid) EXPECT_EQ(unpackDate(in), 0);
}

TEST(StandardTime, TimeFieldBytes) {
  unsigned char bytes[4];
  packTime(timeFromHms(8, 30, 15, 7), bytes);
  EXPECT_EQ(std::vector<int>(bytes, bytes + 4), (std::vector<int>{7, 15, 30, 8}));
  EXPECT_EQ(unpackTime(bytes), timeFromHms(8, 30, 15, 7));

  // Midnight and no time share the all-zero bytes, which read back as no time.
  packTime(1, bytes);
  EXPECT_EQ(unpackTime(bytes), 0);
  packTime(lastStandardTime + 1, bytes);
  EXPECT_EQ(std::vector<int>(bytes, bytes + 4), (std::vector<int>{0, 0, 0, 0}));
  const unsigned char invalid[][4] = {{100, 0, 0, 1}, {0, 60, 0, 1}, {0, 0, 60, 1}, {0, 0, 0, 24}};
  for (const auto& in : invalid) EXPECT_EQ(unpackTime(in), 0);
}

TEST(LocalClock, TodayAndClockReadTheInstalledClock) {
  setLocalClock([] { return LocalMoment{dateFromYmd(2026, 3, 1), timeFromHms(12, 0, 0, 0)}; });
  EXPECT_EQ(TODAY(), dateFromYmd(2026, 3, 1));
  EXPECT_EQ(CLOCK(), timeFromHms(12, 0, 0, 0));
  setLocalClock({});
  // The system clock gives a valid date and time of day.
  EXPECT_NE(ymdFromDate(TODAY()), Ymd{});
  EXPECT_NE(CLOCK(), 0);
}

TEST(Random, StaysWithinItsBoundsInclusive) {
  std::set<int> seen;
  for (int i = 0; i < 2000; ++i) {
    const int r = RANDOM(1, 5);
    ASSERT_GE(r, 1);
    ASSERT_LE(r, 5);
    seen.insert(r);
  }
  EXPECT_EQ(seen.size(), 5u);
  for (int i = 0; i < 200; ++i) {
    const int r = RANDOM(10, -10);
    ASSERT_GE(r, -10);
    ASSERT_LE(r, 10);
  }
  EXPECT_EQ(RANDOM(7, 7), 7);
}

TEST(Random, EachThreadDrawsIndependently) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([] {
      for (int i = 0; i < 1000; ++i) {
        const int r = RANDOM(1, 255);
        ASSERT_GE(r, 1);
        ASSERT_LE(r, 255);
      }
    });
  }
  for (auto& thread : threads) thread.join();
}

}  // namespace
}  // namespace runtime
