// Table creation against live PostgreSQL and MariaDB servers: a declaration with every field
// type, memos and blobs, DUP, NOCASE, descending and multi-column keys is created through
// ds_SetSQLNames and ds_CreateSQLTable; the server's catalogue then shows each column's type and
// nullability and each key as declared, and a record of extreme values written to the new table
// reads back unchanged (a binary memo with the bytes 0 to 255, on PostgreSQL also sent as a
// bytea literal).
#include <gtest/gtest.h>

#include <cstring>

#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/decimal.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/standard_date.h"
#include "platform/runtime/text_types.h"
#include "tests/files/sql_servers.h"
#include "tests/upkeep/engine_fixture.h"
#include "upkeep/registration.h"
#include "upkeep/registration_tables.h"
#include "upkeep_sql/column_tables.h"
#include "upkeep_sql/dialect_rules.h"
#include "upkeep_sql/interpret_structure.h"
#include "upkeep_sql/postgres_extras.h"
#include "upkeep_sql/sql_backends.h"
#include "upkeep_sql/statement_execution.h"
#include "upkeep_sql/statement_names.h"
#include "upkeep_sql/structure_queues.h"
#include "upkeep_sql/table_creation.h"
#include "upkeep_sql/table_in_hand.h"

namespace upkeep_sql {
namespace {

using files::test::LiveServer;
using runtime::Decimal;

struct Every {
  runtime::Long ID;
  runtime::Byte B;
  runtime::Short S;
  runtime::UShort US;
  runtime::ULong UL;
  runtime::SReal SR;
  runtime::Real R;
  runtime::DecimalField<15, 2> DEC;
  runtime::PDecimalField<9, 4> PDEC;
  runtime::Date D;
  runtime::Time T;
  runtime::String<20> STR;
  runtime::CString<40> CSTR;
  runtime::PString<30> PSTR;
  runtime::CString<300> LONGTEXT;
};
constexpr runtime::FieldDef kEveryFields[] = {
    GD_FIELD(Every, ID, "EVY:ID"),
    GD_FIELD(Every, B, "EVY:B"),
    GD_FIELD(Every, S, "EVY:S"),
    GD_FIELD(Every, US, "EVY:US"),
    GD_FIELD(Every, UL, "EVY:UL"),
    GD_FIELD(Every, SR, "EVY:SR"),
    GD_FIELD(Every, R, "EVY:R"),
    GD_FIELD(Every, DEC, "EVY:DEC"),
    GD_FIELD(Every, PDEC, "EVY:PDEC"),
    GD_FIELD(Every, D, "EVY:D"),
    GD_FIELD(Every, T, "EVY:T"),
    GD_FIELD(Every, STR, "EVY:STR"),
    GD_FIELD(Every, CSTR, "EVY:CSTR"),
    GD_FIELD(Every, PSTR, "EVY:PSTR").withPicture("s29"),
    GD_FIELD(Every, LONGTEXT, "EVY:LONGTEXT"),
};
// The primary key; a DUP NOCASE index; a unique constraint of two columns, one descending; a
// DUP index over a long text; a unique index.
constexpr files::KeySpec kEveryKeys[] = {
    {"EVY:P_ID", files::KeyPrimary, {1}},
    {"EVY:K_CSTR", files::KeyDup | files::KeyNoCase, {13}},
    {"EVY:K_WHEN", 0, {10, -12}},
    {"EVY:K_LONG", files::KeyDup, {15}},
    {"EVY:K_US", 0, {4}},
};
constexpr files::MemoSpec kEveryMemos[] = {{"EVY:NOTES", 2000, files::MemoKindBlob},
                                           {"EVY:BYTES", 1000, files::MemoKindMemo}};

// The backend FILE's record: two columns of a catalogue answer.
struct CatalogueRow {
  runtime::CString<400> TEXT;
  runtime::CString<60> MORE;
};
constexpr runtime::FieldDef kCatalogueFields[] = {GD_FIELD(CatalogueRow, TEXT, "BKD:TEXT"),
                                                  GD_FIELD(CatalogueRow, MORE, "BKD:MORE")};

std::string allBytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  return bytes;
}

const std::string kHardText = "O'Brien \\' \"q\" -- ; ünï";

struct LiveCase {
  LiveServer server;
  const char* kind;
  std::vector<std::string> columns;  // "name type" and nullability, in column order
  std::vector<std::string> keys;     // as the catalogue describes each index
};

void PrintTo(const LiveCase& live, std::ostream* out) { *out << live.server.name; }

class TableCreationLiveTest : public upkeep::testing::EngineTest,
                              public ::testing::WithParamInterface<LiveCase> {
 protected:
  void SetUp() override {
    GD_LIVE_CONNECTION(GetParam().server, connection_);
    resetSqlBackendState();
    table_ = files::test::uniqueTableName("gd_every");
    backendName_ = files::test::uniqueTableName("gd_backend");
    backend_ = std::make_unique<files::FileDeclaration>(files::FileSpec{
        .label = "backend",
        .prefix = "BKD",
        .driver = files::Driver::Odbc,
        .name = backendName_,
        .owner = connection_,
        .fields = kCatalogueFields,
        .recordSize = sizeof(CatalogueRow),
    });
    files::REMOVE(*backend_);
    files::CREATE(*backend_);
    files::OPEN(*backend_, 0x42);
    ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
    upkeep::ds_AddDriver("ODB", *backend_, sizeof(CatalogueRow), backend_->record().data());
    upkeep::registration().CurrentSqlDriver = *upkeep::sqlDriverSlot("ODB");
    upkeep::registration().options.ODBCDB = GetParam().kind;
    dropTable();
  }

  void TearDown() override {
    if (backend_ == nullptr) return;
    if (file_ != nullptr) files::CLOSE(*file_);
    dropTable();
    files::CLOSE(*backend_);
    files::REMOVE(*backend_);
    resetSqlBackendState();
  }

  void dropTable() { ExecuteStatement("Drop Table " + quotedName("ODB", table_), 0); }

  std::unique_ptr<files::FileDeclaration> declaration() {
    return std::make_unique<files::FileDeclaration>(files::FileSpec{.label = "every",
                                                                    .prefix = "EVY",
                                                                    .driver = files::Driver::Odbc,
                                                                    .name = table_,
                                                                    .owner = connection_,
                                                                    .fields = kEveryFields,
                                                                    .recordSize = sizeof(Every),
                                                                    .keys = kEveryKeys,
                                                                    .memos = kEveryMemos});
  }

  // Creates the table as the table manager does: read the declaration, name it, create it.
  std::int32_t createTable() {
    tableInHand().SqlTableName = table_;
    tableInHand().OutFileName = table_;
    const std::unique_ptr<files::FileDeclaration> file = declaration();
    ds_InterpretStructure(*file);
    SetCaseSensitivity("ODB");
    columnTables().IQ = {{.TABLENAME = table_, .FIELDNAME = CasedName("EVY:ID")}};
    std::vector<KdqEntry>& keys = declaredStructure().KDQ.entries;
    for (KdqEntry& key : keys) {
      const std::string name = runtime::UPPER(key.KEYNAME);
      key.DCTMASTER = name == "K_CSTR" || name == "K_LONG" || name == "K_US" ? 1 : 0;
    }
    ds_SetSQLNames("ODB");
    return ds_CreateSQLTable("ODB");
  }

  // The rows of a catalogue query: its two columns joined by " | ".
  std::vector<std::string> catalogue(const std::string& query) {
    EXPECT_EQ(ExecuteStatement(query, 0), StatementAccepted) << LastSQLError();
    std::vector<std::string> rows;
    CatalogueRow& row = backend_->recordAs<CatalogueRow>();
    for (files::NEXT(*backend_); runtime::ERRORCODE() == 0; files::NEXT(*backend_))
      rows.push_back(row.TEXT.text() + " | " + row.MORE.text());
    return rows;
  }

  bool postgres() const { return std::string_view(GetParam().kind) == "POSTGRES"; }

  std::vector<std::string> columnsInCatalogue() {
    if (postgres()) {
      return catalogue(
          "select attname || ' ' || format_type(atttypid, atttypmod), case when attnotnull then "
          "'not null' else 'null' end from pg_attribute where attrelid = " +
          quotedLiteral("ODB", "public." + table_) +
          "::regclass and attnum > 0 and not attisdropped order by attnum");
    }
    return catalogue(
        "select concat_ws(' ', column_name, column_type, nullif(extra, '')), if(is_nullable = "
        "'YES', "
        "'null', 'not null') from information_schema.columns where table_schema = database() "
        "and table_name = " +
        quotedLiteral("ODB", table_) + " order by ordinal_position");
  }

  std::vector<std::string> keysInCatalogue() {
    if (postgres()) {
      return catalogue("select replace(indexdef, " + quotedLiteral("ODB", table_) +
                       ", 'T'), '' from pg_indexes where tablename = " +
                       quotedLiteral("ODB", table_) + " order by indexname");
    }
    return catalogue(
        "select concat(index_name, if(non_unique = 0, ' unique', ''), ' (', "
        "group_concat(concat(column_name, ifnull(concat('(', sub_part, ')'), ''), if(collation "
        "= 'D', ' desc', '')) order by seq_in_index separator ', '), ')'), '' from "
        "information_schema.statistics where table_schema = database() and table_name = " +
        quotedLiteral("ODB", table_) + " group by index_name, non_unique order by index_name");
  }

  Every& rec() { return file_->recordAs<Every>(); }

  void fillExtreme() {
    files::CLEAR(*file_);
    Every& r = rec();
    r.ID = 1;
    r.B = 255;
    r.S = -32768;
    r.US = 65535;
    r.UL = 4294967295u;
    r.SR = -1.5f;
    r.R = 3.141592653589793;
    r.DEC = Decimal::parse("-9999999999999.99");
    r.PDEC = Decimal::parse("99999.9999");
    r.D = runtime::lastStandardDate;
    r.T = runtime::Time(23, 59, 59, 99);
    r.STR = kHardText.substr(0, 20);
    r.CSTR = kHardText;
    r.PSTR = "  leading blanks";
    r.LONGTEXT = std::string(299, 'x');
    file_->memo(1)->assign(kHardText);
    file_->memo(2)->setBytes(allBytes());
  }

  // The record read from the table equals what fillExtreme writes.
  void expectExtremeRecord() {
    ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERRORCODE() << " " << runtime::FILEERROR();
    const std::vector<std::byte> got(file_->record().begin(), file_->record().end());
    const std::string notes(file_->memo(1)->content());
    const std::string bytes(file_->memo(2)->content());
    fillExtreme();
    for (const runtime::FieldDef& f : kEveryFields) {
      if (f.type == runtime::FieldType::PDecimal || f.type == runtime::FieldType::Decimal) {
        const auto valueIn = [&](const std::byte* record) {
          return runtime::unpackDecimal(reinterpret_cast<const unsigned char*>(record) + f.offset,
                                        f.digits, f.scale, f.type == runtime::FieldType::PDecimal);
        };
        EXPECT_EQ(valueIn(got.data()), valueIn(file_->record().data())) << f.label;
        continue;
      }
      EXPECT_EQ(
          0, std::memcmp(got.data() + f.offset, file_->record().data() + f.offset, f.totalSize()))
          << f.label;
    }
    EXPECT_EQ(notes, file_->memo(1)->content());
    EXPECT_EQ(bytes, file_->memo(2)->content());
  }

  void readFirst() {
    files::SET(*file_, *file_->key(1));
    files::NEXT(*file_);
  }

  std::string table_;
  std::unique_ptr<files::FileDeclaration> file_;

 private:
  std::string connection_;
  std::string backendName_;
  std::unique_ptr<files::FileDeclaration> backend_;
};

TEST_P(TableCreationLiveTest, CreatedTableMatchesTheDeclarationAndKeepsEveryValue) {
  ASSERT_EQ(createTable(), 0) << LastSQLError();
  EXPECT_EQ(columnsInCatalogue(), GetParam().columns);
  EXPECT_EQ(keysInCatalogue(), GetParam().keys);

  file_ = declaration();
  files::OPEN(*file_, 0x42);
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERRORCODE() << " " << runtime::FILEERROR();
  fillExtreme();
  files::ADD(*file_);
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERRORCODE() << " " << runtime::FILEERROR();
  readFirst();
  expectExtremeRecord();
  if (!postgres()) return;

  // The same bytes as a bytea literal in a statement: escaped once, quoted once.
  ASSERT_EQ(ExecuteStatement("update " + quotedName("ODB", table_) + " set \"bytes\" = null", 0),
            StatementAccepted);
  const std::string bytes = allBytes();
  std::int32_t length = static_cast<std::int32_t>(bytes.size());
  const std::unique_ptr<char[]> text = ds_PostGresParseBinaryString(length, 1, bytes.data());
  ASSERT_EQ(ExecuteStatement("update " + quotedName("ODB", table_) + " set \"bytes\" = " +
                                 quotedLiteral("ODB", std::string(text.get(), length)) +
                                 " where \"id\" = 1",
                             0),
            StatementAccepted)
      << LastSQLError();
  files::CLOSE(*file_);
  files::OPEN(*file_, 0x42);
  readFirst();
  expectExtremeRecord();
}

// What each server's catalogue shows of the declaration (the table's name shows as T).
const LiveCase kCases[] = {
    {files::test::kLiveServers[0],
     "POSTGRES",
     {"id integer | not null", "b smallint | null", "s smallint | null", "us integer | null",
      "ul bigint | null", "sr real | null", "r double precision | null", "dec numeric(16,2) | null",
      "pdec numeric(10,4) | null", "d date | null", "t time without time zone | null",
      "str character(20) | null", "cstr character varying(39) | null",
      "pstr character varying(29) | null", "longtext character varying(299) | null",
      "notes text | null", "bytes bytea | null"},
     {"CREATE INDEX T_k_cstr ON public.T USING btree (cstr) | ",
      "CREATE INDEX T_k_long ON public.T USING btree (longtext) | ",
      "CREATE UNIQUE INDEX T_k_us ON public.T USING btree (us) | ",
      "CREATE UNIQUE INDEX T_k_when ON public.T USING btree (d, str) | ",
      "CREATE UNIQUE INDEX T_p_id ON public.T USING btree (id) | "}},
    // A MyISAM key holds at most 1000 bytes: the server keeps 250 four-byte characters of the
    // 255 the index asks for.
    {files::test::kLiveServers[1],
     "MYODBC 3",
     {"ID int(11) auto_increment | not null", "B tinyint(3) unsigned | null",
      "S smallint(6) | null", "US smallint(5) unsigned | null", "UL int(10) unsigned | null",
      "SR float | null", "R double | null", "DEC decimal(16,2) | null", "PDEC decimal(10,4) | null",
      "D date | null", "T time(2) | null", "STR char(20) | null", "CSTR varchar(39) | null",
      "PSTR varchar(29) | null", "LONGTEXT text | null", "NOTES blob | null", "BYTES blob | null"},
     {"K_CSTR (CSTR) | ", "K_LONG (LONGTEXT(250)) | ", "K_US unique (US) | ",
      "K_WHEN unique (D, STR desc) | ", "PRIMARY unique (ID) | "}},
};

INSTANTIATE_TEST_SUITE_P(Servers, TableCreationLiveTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.server.name); });

}  // namespace
}  // namespace upkeep_sql
