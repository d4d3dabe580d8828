#include "platform/runtime/queue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/runtime/error_state.h"

namespace runtime {
namespace {

struct Item {
  Long ID;
  String<8> NAME;
  Short RANK;

  static const RecordLayout& layout();
};

constexpr FieldDef kItemFields[] = {
    GD_FIELD(Item, ID, "ITM:ID"),
    GD_FIELD(Item, NAME, "ITM:NAME"),
    GD_FIELD(Item, RANK, "ITM:RANK"),
};
static_assert(sizeof(Item) == 14 && hasOffsets(kItemFields, {0, 4, 12}));

const RecordLayout& Item::layout() {
  static const RecordLayout layout(kItemFields, sizeof(Item));
  return layout;
}

constexpr int ID = 1, NAME = 2, RANK = 3;

struct Row {
  int id;
  const char* name;
  int rank;
};

void add(Queue<Item>& q, const Row& row) {
  q.ID = row.id;
  q.NAME = row.name;
  q.RANK = static_cast<std::int16_t>(row.rank);
  q.ADD();
}

void addByKey(Queue<Item>& q, const Row& row, std::initializer_list<int> keys) {
  q.ID = row.id;
  q.NAME = row.name;
  q.RANK = static_cast<std::int16_t>(row.rank);
  q.ADD(keys);
}

// The IDs of the entries in queue order, read through the type-erased rows.
std::vector<int> ids(const QueueBase& q) {
  std::vector<int> result;
  for (std::size_t n = 1; n <= q.RECORDS(); ++n) {
    Long id;
    std::memcpy(&id, q.row(n).data(), sizeof id);
    result.push_back(id);
  }
  return result;
}

TEST(Queue, AddAndGetByPosition) {
  Queue<Item> q;
  add(q, {1, "one", 10});
  add(q, {2, "two", 20});
  add(q, {3, "three", 30});
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(q.RECORDS(), 3u);
  EXPECT_EQ(q.POINTER(), 3u);

  q.GET(2);
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(q.ID, 2);
  EXPECT_EQ(q.NAME, "two");
  EXPECT_EQ(q.POINTER(), 2u);

  for (const std::size_t beyond : {std::size_t{0}, std::size_t{4}}) {
    q.GET(beyond);
    EXPECT_EQ(ERRORCODE(), EntryNotFoundErr) << beyond;
    EXPECT_EQ(q.ID, 2) << "the buffer keeps its content";
    EXPECT_EQ(q.POINTER(), 2u);
  }
}

TEST(Queue, AddByKeyKeepsOrderAndPutsDuplicatesLast) {
  Queue<Item> q;
  const Row rows[] = {{1, "b", 0}, {2, "a", 0}, {3, "b", 0}, {4, "c", 0}, {5, "a", 0}};
  for (const Row& r : rows) addByKey(q, r, {NAME});
  EXPECT_EQ(ids(q), (std::vector<int>{2, 5, 1, 3, 4}));
  EXPECT_EQ(q.POINTER(), 2u);  // where the last one went
  EXPECT_EQ(std::vector<int>(q.knownOrder().begin(), q.knownOrder().end()), std::vector<int>{NAME});

  Queue<Item> down;
  for (const Row& r : rows) addByKey(down, r, {-NAME, ID});
  EXPECT_EQ(ids(down), (std::vector<int>{4, 1, 3, 2, 5}));
}

TEST(Queue, AddByKeyIntoAQueueInAnotherOrder) {
  Queue<Item> q;
  add(q, {1, "c", 0});
  add(q, {2, "a", 0});
  addByKey(q, {3, "b", 0}, {NAME});  // before the first entry above it
  EXPECT_EQ(ids(q), (std::vector<int>{3, 1, 2}));
  EXPECT_TRUE(q.knownOrder().empty());
}

// Entries and GET-by-key cases shared by the halving and the scanning search.
const Row kRows[] = {
    {1, "pear", 3}, {2, "apple", 1}, {3, "fig", 2},   {4, "apple", 2},
    {5, "kiwi", 1}, {6, "fig", 1},   {7, "apple", 1}, {8, "plum", 2},
};
const int kSortKeys[] = {NAME, -RANK};

struct Lookup {
  std::vector<int> keys;
  const char* name;
  int rank;
  int expectedId;  // 0: not found
};
const Lookup kLookups[] = {
    {{NAME}, "apple", 0, 4},  // first apple in NAME, -RANK order: rank 2
    {{NAME}, "fig", 0, 3},
    {{NAME}, "plum", 0, 8},
    {{NAME}, "aardvark", 0, 0},  // before every entry
    {{NAME}, "grape", 0, 0},     // between entries
    {{NAME}, "zebra", 0, 0},     // after every entry
    {{-NAME}, "kiwi", 0, 5},     // direction does not matter for equality
    {{NAME, -RANK}, "apple", 1, 2},
    {{NAME, RANK}, "fig", 1, 6},
    {{NAME, -RANK}, "fig", 3, 0},
    {{NAME, RANK}, "pear  ", 3, 1},  // trailing spaces do not count
    {{RANK}, "", 1, 2},              // not the known order: the first in queue order
    {{RANK, NAME}, "fig", 1, 6},
};

TEST(Queue, GetByKeyHalvingAndScanningGiveTheSameAnswers) {
  Queue<Item> sorted;
  for (const Row& r : kRows) add(sorted, r);
  sorted.SORT(kSortKeys);
  const std::vector<int> order = ids(sorted);
  EXPECT_EQ(order, (std::vector<int>{4, 2, 7, 3, 6, 5, 1, 8}));

  // The same entries in the same order, added one by one: no known order, so every GET scans.
  Queue<Item> scanned;
  for (const int id : order) add(scanned, kRows[id - 1]);
  ASSERT_EQ(ids(scanned), order);
  ASSERT_EQ(std::vector<int>(sorted.knownOrder().begin(), sorted.knownOrder().end()),
            std::vector<int>(std::begin(kSortKeys), std::end(kSortKeys)));

  for (Queue<Item>* q : {&sorted, &scanned}) {
    for (const Lookup& l : kLookups) {
      q->CLEAR();
      q->NAME = l.name;
      q->RANK = static_cast<std::int16_t>(l.rank);
      q->GET(l.keys);
      const char* path = q == &sorted ? "halving" : "scanning";
      if (l.expectedId == 0) {
        EXPECT_EQ(ERRORCODE(), EntryNotFoundErr) << path << ' ' << l.name;
      } else {
        EXPECT_EQ(ERRORCODE(), 0) << path << ' ' << l.name;
        EXPECT_EQ(q->ID, l.expectedId) << path << ' ' << l.name;
        EXPECT_EQ(q->POINTER(),
                  static_cast<std::size_t>(std::find(order.begin(), order.end(), l.expectedId) -
                                           order.begin() + 1))
            << path << ' ' << l.name;
      }
    }
  }
  EXPECT_FALSE(sorted.knownOrder().empty());
  EXPECT_TRUE(scanned.knownOrder().empty());
}

TEST(Queue, SortKeepsTheOrderOfEqualEntries) {
  Queue<Item> q;
  for (const Row& r : kRows) add(q, r);
  q.SORT({RANK});
  EXPECT_EQ(ids(q), (std::vector<int>{2, 5, 6, 7, 3, 4, 8, 1}));
  q.SORT({-RANK, -ID});
  EXPECT_EQ(ids(q), (std::vector<int>{1, 8, 4, 3, 7, 6, 5, 2}));
  EXPECT_EQ(q.POINTER(), 0u);
}

TEST(Queue, PutAndDeleteWorkOnTheCurrentEntry) {
  Queue<Item> q;
  add(q, {1, "a", 0});
  add(q, {2, "b", 0});
  add(q, {3, "c", 0});

  q.NAME = "c2";
  q.PUT();  // the entry just added
  q.GET(2);
  q.NAME = "b2";
  q.PUT();
  EXPECT_EQ(ERRORCODE(), 0);
  q.CLEAR();
  q.GET(2);
  EXPECT_EQ(q.NAME, "b2");
  q.GET(3);
  EXPECT_EQ(q.NAME, "c2");

  q.GET(1);
  q.DELETE();
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(ids(q), (std::vector<int>{2, 3}));
  EXPECT_EQ(q.POINTER(), 0u);
  q.PUT();  // the entry is gone
  EXPECT_EQ(ERRORCODE(), EntryNotFoundErr);
  q.DELETE();
  EXPECT_EQ(ERRORCODE(), EntryNotFoundErr);
  EXPECT_EQ(ids(q), (std::vector<int>{2, 3}));

  Queue<Item> fresh;
  fresh.PUT();
  EXPECT_EQ(ERRORCODE(), EntryNotFoundErr);
  EXPECT_EQ(fresh.RECORDS(), 0u);
}

TEST(Queue, ChangesThatBreakTheOrderAreNoticed) {
  Queue<Item> q;
  for (const Row& r : kRows) add(q, r);
  q.SORT({ID});
  q.GET(4);
  q.PUT();  // unchanged
  EXPECT_FALSE(q.knownOrder().empty());
  q.ID = 100;  // now out of place
  q.PUT();
  EXPECT_TRUE(q.knownOrder().empty());
  q.ID = 100;
  q.GET({ID});
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(q.POINTER(), 4u);

  q.SORT({ID});
  add(q, {200, "last", 0});  // appended in order: still known
  EXPECT_FALSE(q.knownOrder().empty());
  add(q, {150, "early", 0});
  EXPECT_TRUE(q.knownOrder().empty());
  q.ID = 150;
  q.GET({ID});
  EXPECT_EQ(q.NAME, "early");
}

TEST(Queue, AppendAddsAnEntryWithoutTheBuffer) {
  Queue<Item> source;
  add(source, {7, "seven", 70});
  Queue<Item> q;
  add(q, {1, "one", 10});
  q.ID = 99;
  q.append(source.row(1));
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(ids(q), (std::vector<int>{1, 7}));
  EXPECT_EQ(q.POINTER(), 2u);
  EXPECT_EQ(q.ID, 99) << "the buffer keeps its content";
  q.GET(2);
  EXPECT_EQ(q.NAME, "seven");
  EXPECT_EQ(q.RANK, 70);
}

TEST(Queue, BadFieldNumbersAreError75) {
  Queue<Item> q;
  add(q, {1, "a", 0});
  const std::vector<int> bad[] = {
      {}, {0}, {4}, {-4}, {ID, 0}, std::vector<int>(17, ID),
  };
  for (const std::vector<int>& keys : bad) {
    q.GET(keys);
    EXPECT_EQ(ERRORCODE(), BadFieldNumberErr) << keys.size();
    q.SORT(keys);
    EXPECT_EQ(ERRORCODE(), BadFieldNumberErr) << keys.size();
    q.ADD(keys);
    EXPECT_EQ(ERRORCODE(), BadFieldNumberErr) << keys.size();
  }
  EXPECT_EQ(q.RECORDS(), 1u);
  q.GET(std::vector<int>(16, ID));  // sixteen is the most
  EXPECT_EQ(ERRORCODE(), 0);
}

TEST(Queue, FreeAndClear) {
  Queue<Item> q;
  add(q, {7, "seven", 7});
  q.FREE();
  EXPECT_EQ(q.RECORDS(), 0u);
  EXPECT_EQ(q.POINTER(), 0u);
  EXPECT_EQ(q.ID, 7) << "FREE leaves the buffer";
  q.CLEAR();
  EXPECT_EQ(q.ID, 0);
  EXPECT_EQ(q.NAME.text(), std::string(8, ' '));
  EXPECT_EQ(q.RANK, 0);
  q.GET(1);
  EXPECT_EQ(ERRORCODE(), EntryNotFoundErr);
}

TEST(Queue, FieldNumbersOfBufferMembers) {
  Queue<Item> q;
  EXPECT_EQ(q.fieldNumber(q.ID), ID);
  EXPECT_EQ(q.fieldNumber(q.NAME), NAME);
  EXPECT_EQ(q.fieldNumber(q.RANK), RANK);
  EXPECT_EQ(&q.layout(), &Item::layout());
}

thread_local Queue<Item> perThread;

TEST(Queue, ThreadQueuesAreSeparate) {
  add(perThread, {1, "main", 0});
  std::thread other([] {
    EXPECT_EQ(perThread.RECORDS(), 0u);
    add(perThread, {2, "other", 0});
    add(perThread, {3, "other", 0});
    EXPECT_EQ(perThread.RECORDS(), 2u);
  });
  other.join();
  EXPECT_EQ(ids(perThread), std::vector<int>{1});
}

TEST(QueueBase, QueueOfARunTimeLayout) {
  const std::vector<FieldDef> fields{
      {.label = "ROW:TEXT", .type = FieldType::CString, .offset = 0, .size = 6},
      {.label = "ROW:MARK", .type = FieldType::Byte, .offset = 6, .size = 1},
  };
  const RecordLayout layout(fields, 7);
  QueueBase q(layout);
  EXPECT_EQ(std::vector<std::byte>(q.bufferBytes().begin(), q.bufferBytes().end()),
            std::vector<std::byte>(7, std::byte{0}));
  const std::string texts[] = {"gamma", "alpha", "beta"};
  for (const std::string& text : texts) {
    assignCStringField(reinterpret_cast<char*>(q.bufferBytes().data()), 6, text);
    q.bufferBytes()[6] = std::byte{1};
    q.ADD({1});
  }
  ASSERT_EQ(q.RECORDS(), 3u);
  const auto textOf = [&](std::size_t n) {
    return std::string(cStringFieldText(reinterpret_cast<const char*>(q.row(n).data()), 6));
  };
  EXPECT_EQ(textOf(1), "alpha");
  EXPECT_EQ(textOf(2), "beta");
  EXPECT_EQ(textOf(3), "gamma");
  EXPECT_EQ(q.row(3).size(), 7u);
  EXPECT_TRUE(q.row(4).empty());
  EXPECT_EQ(q.layout().numberOf("row:mark"), 2);
}

}  // namespace
}  // namespace runtime
