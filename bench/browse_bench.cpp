// A browse over a file of 100,000 records of the projects layout (--records=N for another
// number), beside plain SQLite reading the same pages from the same file in the same run: the
// first page after a reset, a page down, a jump to the end, a full pass, page by page, of a
// filter that leaves out every other record, and the first page and a page down each right
// after another connection changed the file (so that no row read before can be used again;
// the change itself is not timed). Plain SQLite, with the driver's page cache settings, pages
// by keyset over the same index (the records after the last key image read) and unpacks each
// record as the driver does; its filtered pass is one loop in key order that tests the same
// condition. After Google Benchmark's table it prints one line per operation:
// "ratio <operation> <ours/raw>".
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "app/dictionary/declarations.h"
#include "bench/raw_query.h"
#include "bench/record_count.h"
#include "bench/times_reporter.h"
#include "classlib/browse_manager.h"
#include "classlib/error_reporter.h"
#include "classlib/file_manager.h"
#include "classlib/relation_manager.h"
#include "classlib/window_controller.h"
#include "platform/files/cask_data_file.h"
#include "platform/files/cask_kept_connections.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/queue.h"
#include "platform/runtime/text.h"
#include "platform/window/engine.h"
#include "platform/window/headless_backend.h"
#include "platform/window/list_view.h"
#include "platform/window/window_definition.h"

namespace {

int recordCount = 100000;
constexpr int kPage = 20;  // the rows the list shows
constexpr int kList = 1;
constexpr int kById = 4;  // PRO:P_ID, the key column k4
constexpr int kCategory = 5, kDescription = 3, kPath = 4, kLastDate = 6, kId = 1;  // fields

// The rows of a projects list (the main window's third list).
struct Row {
  runtime::CString<100> DESCRIPTION;
  runtime::CString<50> CATEGORY;
  runtime::Date LASTDATE;
  runtime::CString<255> PROJECTPATH;
  runtime::Long ID;
  runtime::Byte MARK;
  runtime::String<1024> POSITION;
  static const runtime::RecordLayout& layout() {
    static const runtime::FieldDef fields[] = {
        GD_FIELD(Row, DESCRIPTION, "ROW:DESCRIPTION"),
        GD_FIELD(Row, CATEGORY, "ROW:CATEGORY"),
        GD_FIELD(Row, LASTDATE, "ROW:LASTDATE"),
        GD_FIELD(Row, PROJECTPATH, "ROW:PATH"),
        GD_FIELD(Row, ID, "ROW:ID"),
        GD_FIELD(Row, MARK, "ROW:MARK"),
        GD_FIELD(Row, POSITION, "ROW:POSITION"),
    };
    static const runtime::RecordLayout layout(fields, sizeof(Row));
    return layout;
  }
};

// The file, its managers and a window with the browse, made once.
struct World {
  std::string folder;
  std::unique_ptr<files::FileDeclaration> file;
  classlib::ErrorReporter errors;
  classlib::FileManager manager;
  classlib::RelationManager relation;
  window::HeadlessBackend screen;
  classlib::WindowController wm;
  runtime::Queue<Row> rows;
  classlib::BrowseManager browse;
  sqlite3* raw = nullptr;  // the same file, opened by plain SQLite for reading
  std::string table;       // its record table
  std::unique_ptr<files::FileDeclaration> writer;  // another connection, which changes the file
  int changes = 0;

  app::Projects& record() { return file->recordAs<app::Projects>(); }
};

World* world = nullptr;

void makeWorld() {
  world = new World;
  World& w = *world;
  char pattern[] = "/tmp/gd_browse_bench_XXXXXX";
  w.folder = mkdtemp(pattern);
  std::filesystem::current_path(w.folder);
  w.file = std::make_unique<files::FileDeclaration>(app::kProjectsSpec);
  files::CREATE(*w.file);
  files::OPEN(*w.file, 0x12);
  files::STREAM(*w.file);
  char text[300];
  for (int i = 1; i <= recordCount; ++i) {
    files::CLEAR(*w.file);
    app::Projects& p = w.record();
    p.ID = i;
    p.TYPEC = i % 3 ? "Classic" : "Studio";
    std::snprintf(text, sizeof text, "Project %06d", i);
    p.DESCRIPTION = text;
    std::snprintf(text, sizeof text, "/home/agk/projects/Project %06d/game.agk", i);
    p.PROJECTPATH = text;
    p.CATEGORY = i % 2 ? "Odd" : "Even";
    p.LASTDATE = runtime::Date(80000 + i % 3000);
    p.CODEBY = "Member";
    files::ADD(*w.file);
    if (runtime::ERRORCODE() != 0) std::abort();
  }
  files::FLUSH(*w.file);
  files::CLOSE(*w.file);
  // The list's program opens the file another run wrote, not on the connection that wrote it.
  files::forgetKeptConnections(w.folder + "/projects.aaa");

  w.errors.init();
  w.manager.setName("projects");
  w.manager.initWith(*w.file, w.errors);
  w.manager.addKey(kById, "PRO:P_ID", true);
  w.relation.init(w.manager, 1);
  if (w.relation.open() != classlib::LevelBenign) std::abort();

  window::WindowDefinition d;
  d.key = "bench$browse";
  d.label = "P1$WINDOW";
  d.title = "Projects";
  d.add(kList, window::ControlType::List)
      // The heading, the page's rows and the horizontal scroll bar its wide columns bring.
      .at(0, 0, 400, (kPage + 1) * window::ListView::kDefaultLineHeight + window::kScrollBarHeight)
      .format(
          "196L(2)|M~Project Description~@s99@196L(2)|M~Category~@s49@57R(2)|M~Last Date~L@d6@"
          "1016L(2)|M~Project Path~@s254@");
  window::resources().add(std::move(d));
  window::setBackend(&w.screen);
  window::OPEN("bench$browse", "P1$WINDOW");
  w.wm.init();
  w.wm.open();
  w.browse.init(kList, w.rows, w.relation, w.wm);
  w.browse.addField(kDescription, 1);
  w.browse.addField(kCategory, 2);
  w.browse.addField(kLastDate, 3);
  w.browse.addField(kPath, 4);
  w.browse.addField(kId, 5);
  w.browse.setSort(w.browse.addSortOrder());
  w.browse.resetSort(true);
  if (w.browse.rows() != kPage) std::abort();

  // The driver's page cache: after another connection's change SQLite clears the cache, at a
  // cost that grows with the most pages it has held, on either side alike.
  if (sqlite3_open_v2((w.folder + "/projects.aaa").c_str(), &w.raw, SQLITE_OPEN_READONLY,
                      nullptr) != SQLITE_OK ||
      sqlite3_exec(w.raw, files::kCachePragmas, nullptr, nullptr, nullptr) != SQLITE_OK)
    std::abort();
  w.table = bench::onlyRecordTable(w.raw);

  w.writer = std::make_unique<files::FileDeclaration>(app::kProjectsSpec);
  files::OPEN(*w.writer, 0x42);
  if (runtime::ERRORCODE() != 0) std::abort();
}

// Another connection writes one record back with a new date: the file has changed.
void changeElsewhere() {
  World& w = *world;
  files::FileDeclaration& writer = *w.writer;
  ++w.changes;
  writer.recordAs<app::Projects>().ID = 1 + w.changes % recordCount;
  files::GET(writer, *writer.key(kById));
  if (runtime::ERRORCODE() != 0) std::abort();
  writer.recordAs<app::Projects>().LASTDATE = runtime::Date(80000 + w.changes % 3000);
  files::PUT(writer);
  if (runtime::ERRORCODE() != 0) std::abort();
}

// Times `read` alone, each iteration right after a change by another connection.
template <class Read>
void afterChanges(benchmark::State& state, Read read) {
  for (auto _ : state) {
    changeElsewhere();
    const auto start = std::chrono::steady_clock::now();
    read();
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
}

void dropWorld() {
  files::CLOSE(*world->writer);
  sqlite3_close_v2(world->raw);
  world->wm.kill();
  window::CLOSE();
  world->relation.close();
  world->manager.kill();
  std::filesystem::current_path("/");
  std::filesystem::remove_all(world->folder);
  delete world;
}

// ---- Plain SQLite over the same file

using bench::RawQuery;

// "SELECT rec, k4 FROM <table> <rest>"
std::string rawSql(const std::string& rest) {
  return "SELECT rec, k4 FROM " + world->table + " " + rest;
}

void firstPage(benchmark::State& state) {
  for (auto _ : state) world->browse.resetSort(true);
}

void firstPageRaw(benchmark::State& state) {
  RawQuery page(world->raw,
                rawSql("WHERE k4 IS NOT NULL ORDER BY k4 LIMIT " + std::to_string(kPage)));
  app::Projects record;
  std::string last;
  for (auto _ : state) benchmark::DoNotOptimize(page.run(record, last));
}

void pageDown(benchmark::State& state) {
  world->browse.resetSort(true);
  for (auto _ : state) {
    world->browse.scroll(classlib::ScrollPageDown);
    if (world->record().ID >= recordCount - kPage) {
      state.PauseTiming();
      world->browse.resetSort(true);
      state.ResumeTiming();
    }
  }
}

void pageDownRaw(benchmark::State& state) {
  const std::string limit = " LIMIT " + std::to_string(kPage);
  RawQuery first(world->raw, rawSql("WHERE k4 IS NOT NULL ORDER BY k4" + limit));
  RawQuery after(world->raw, rawSql("WHERE k4 > ?1 ORDER BY k4" + limit));
  app::Projects record;
  std::string last;
  first.run(record, last);
  for (auto _ : state) {
    const std::string image = last;
    after.bind(image);
    after.run(record, last);
    if (record.ID >= recordCount - kPage) {
      state.PauseTiming();
      first.run(record, last);
      state.ResumeTiming();
    }
  }
}

void jumpToEnd(benchmark::State& state) {
  for (auto _ : state) world->browse.scroll(classlib::ScrollBottom);
}

void jumpToEndRaw(benchmark::State& state) {
  RawQuery last(world->raw,
                rawSql("WHERE k4 IS NOT NULL ORDER BY k4 DESC LIMIT " + std::to_string(kPage)));
  app::Projects record;
  std::string image;
  for (auto _ : state) benchmark::DoNotOptimize(last.run(record, image));
}

void firstPageAfterChange(benchmark::State& state) {
  afterChanges(state, [] { world->browse.resetSort(true); });
}

void firstPageAfterChangeRaw(benchmark::State& state) {
  RawQuery page(world->raw,
                rawSql("WHERE k4 IS NOT NULL ORDER BY k4 LIMIT " + std::to_string(kPage)));
  app::Projects record;
  std::string last;
  afterChanges(state, [&] { benchmark::DoNotOptimize(page.run(record, last)); });
}

void pageDownAfterChange(benchmark::State& state) {
  world->browse.resetSort(true);
  afterChanges(state, [] {
    world->browse.scroll(classlib::ScrollPageDown);
    if (world->record().ID >= recordCount - kPage) world->browse.resetSort(true);
  });
}

void pageDownAfterChangeRaw(benchmark::State& state) {
  const std::string limit = " LIMIT " + std::to_string(kPage);
  RawQuery first(world->raw, rawSql("WHERE k4 IS NOT NULL ORDER BY k4" + limit));
  RawQuery after(world->raw, rawSql("WHERE k4 > ?1 ORDER BY k4" + limit));
  app::Projects record;
  std::string last;
  first.run(record, last);
  afterChanges(state, [&] {
    const std::string image = last;
    after.bind(image);
    after.run(record, last);
    if (record.ID >= recordCount - kPage) first.run(record, last);
  });
}

void filterPass(benchmark::State& state) {
  world->browse.setFilter("PRO:CATEGORY = 'Even'");
  std::int64_t shown = 0;
  for (auto _ : state) {
    world->browse.resetSort(true);
    shown = world->browse.rows();
    for (std::int32_t before = 0; world->record().ID != before;) {
      before = world->record().ID;
      world->browse.scroll(classlib::ScrollPageDown);
      shown += kPage;
    }
  }
  world->browse.setFilter("");
  world->browse.resetSort(true);
  state.counters["rows"] = static_cast<double>(shown);
}

void filterPassRaw(benchmark::State& state) {
  RawQuery all(world->raw, rawSql("WHERE k4 IS NOT NULL ORDER BY k4"));
  app::Projects record;
  std::int64_t kept = 0;
  for (auto _ : state) {
    kept = 0;
    while (all.next(record)) {
      if (runtime::compareText(record.CATEGORY.view(), "Even") == 0) ++kept;
    }
  }
  state.counters["rows"] = static_cast<double>(kept);
}

}  // namespace

int main(int argc, char** argv) {
  recordCount = bench::takeRecordCount(argc, argv, recordCount);
  makeWorld();
  const struct {
    const char* name;
    void (*ours)(benchmark::State&);
    void (*raw)(benchmark::State&);
    int iterations;   // 0: as many as Google Benchmark wants
    bool manualTime;  // the operation times itself
  } operations[] = {
      {"first_page", firstPage, firstPageRaw, 0, false},
      {"page_down", pageDown, pageDownRaw, 0, false},
      {"jump_to_end", jumpToEnd, jumpToEndRaw, 0, false},
      {"filter_pass", filterPass, filterPassRaw, 3, false},
      // Each change waits for the disk: a fixed number of them. They come after the passes
      // over the whole file, as a user's reads come after a filter or a sort.
      {"first_page_after_change", firstPageAfterChange, firstPageAfterChangeRaw, 300, true},
      {"page_down_after_change", pageDownAfterChange, pageDownAfterChangeRaw, 300, true},
  };
  for (const auto& op : operations) {
    for (const auto& [suffix, fn] : {std::pair{"/ours", op.ours}, std::pair{"/raw", op.raw}}) {
      auto* b = benchmark::RegisterBenchmark((std::string(op.name) + suffix).c_str(), fn)
                    ->Unit(benchmark::kMicrosecond);
      if (op.iterations) b->Iterations(op.iterations);
      if (op.manualTime) b->UseManualTime();
    }
  }
  benchmark::Initialize(&argc, argv);
  bench::TimesReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const auto& op : operations) {
    const auto ours = reporter.times.find(std::string(op.name) + "/ours");
    const auto raw = reporter.times.find(std::string(op.name) + "/raw");
    if (ours == reporter.times.end() || raw == reporter.times.end() || raw->second <= 0) continue;
    std::printf("ratio %s %.2f\n", op.name, ours->second / raw->second);
  }
  benchmark::Shutdown();
  dropWorld();
  return 0;
}
