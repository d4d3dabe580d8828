// FILE declarations: what the runtime keeps for each declared file. A declaration names its
// driver, its file (a fixed text or a bound name variable read at each open), the driver
// string and owner, and holds the record layout with its record type descriptor, the keys,
// the memos with their buffers, the record buffer and the state of the open file.
//
// A declaration is built in one of two ways:
//   - statically, from one FileSpec table (the record struct's GD_FIELD layout plus key and
//     memo tables), which the program keeps as constexpr data;
//   - at run time, from FileParts: driver, name, driver string, owner, attributes, keys,
//     memos and the descriptor bytes (how a stored structure image becomes a FILE again).
//
// A FILE declared per thread is a PerThreadFile (or ThreadFile<Record>): every thread that
// uses it gets its own FileDeclaration, built from the FileSpec on the thread's first use and
// released when the thread ends.
//
// The drivers (file_driver.h) read declarations only through this header; they keep what an
// open file needs in OpenState, hanging their own handle on it.
#pragma once

#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/runtime/record_layout.h"

namespace files {

// The drivers a FILE can be declared with.
enum class Driver : std::uint8_t {
  Caskfile,  // the local keyed-record driver (default extension ".VKF")
  Ascii,     // one record is one line of text
  Dos,       // raw bytes
  Mssql,     // the SQL drivers: declared by name only here
  Oracle,
  SqlAnywhere,
  Odbc,
  Corvid,  // old data files (".Dat"): read only, served by the driver installed for it
};

// The driver's name as file property 730Dh reads it: "CASKFILE", "ASCII", "DOS", "MSSQL",
// "ORACLE", "SQLANYWHERE", "ODBC" or "CORVID".
std::string_view driverName(Driver driver);
// The driver called `name`, compared without regard to letter case and trailing spaces;
// nothing for a name no driver has.
std::optional<Driver> driverNamed(std::string_view name);
// True for the four SQL drivers.
constexpr bool isSqlDriver(Driver driver) {
  return driver == Driver::Mssql || driver == Driver::Oracle || driver == Driver::SqlAnywhere ||
         driver == Driver::Odbc;
}

// Key flags, as the key table and the structure image hold them. A key without KeyDup is
// unique.
enum KeyFlag : std::uint32_t {
  KeyDup = 0x01,      // duplicates allowed
  KeyOpt = 0x02,      // records whose key fields are all blank or zero are left out
  KeyNoCase = 0x04,   // compared without regard to letter case
  KeyPrimary = 0x10,  // the primary key
  KeyIndex = 0x4000,  // an index, built on demand
};

// Kind bytes of memos as declarations hold them: the application's BLOBs hold 1, the MEMO
// fields of the upgrade catalogue 3. Other values are kept as given.
enum MemoKind : std::uint8_t {
  MemoKindBlob = 1,
  MemoKindMemo = 3,
};

// The most components a key of a static table (KeySpec) can list.
inline constexpr std::size_t kMaxSpecKeyComponents = 16;

// One key of a static declaration.
struct KeySpec {
  std::string_view label;  // with prefix: "PRO:K_CODEBY"
  std::uint32_t flags = 0;
  // 1-based field numbers, negative for a descending component; the list ends at the first 0.
  std::array<std::int16_t, kMaxSpecKeyComponents> components{};
  std::string_view externalName = {};
};

// One memo or blob of a static declaration.
struct MemoSpec {
  std::string_view label;  // with prefix: "TPL:CODING"
  std::uint32_t size = 0;  // the most bytes it holds
  std::uint8_t kind = MemoKindBlob;
  std::string_view externalName = {};
};

// A text variable whose value names the file, read at each open: a STRING, CSTRING or PSTRING
// field (a global such as GLO:MAINAGCFILE). Only its first `limit` bytes are used (0 = all);
// trailing spaces are dropped.
struct NameVariable {
  const void* address = nullptr;  // the variable's first byte; nullptr = not bound
  runtime::FieldType type = runtime::FieldType::CString;
  std::uint32_t size = 0;   // the variable's size in bytes
  std::uint32_t limit = 0;  // bytes of it that count, 0 = all

  constexpr bool bound() const { return address != nullptr; }
  // The variable's text now: its content (a CSTRING up to its NUL, a PSTRING by its length
  // byte), cut to `limit` bytes without splitting a character, trailing spaces dropped.
  std::string text() const;
};

// Binds a declaration's name to `variable` (a runtime String<n>, CString<n> or PString<n>),
// of which only the first `limit` bytes count (0 = all).
template <class TextVariable>
constexpr NameVariable bindName(const TextVariable& variable, std::uint32_t limit = 0) {
  constexpr runtime::FieldType type = TextVariable::fieldType;
  static_assert(type == runtime::FieldType::String || type == runtime::FieldType::CString ||
                    type == runtime::FieldType::PString,
                "a file name is bound to a text variable");
  return NameVariable{&variable, type, sizeof(TextVariable), limit};
}

// A static declaration: one table, kept as constexpr data by the program.
struct FileSpec {
  std::string_view label;   // the FILE's label: "projects"
  std::string_view prefix;  // the record prefix: "PRO"
  Driver driver = Driver::Caskfile;
  std::string_view name = {};      // the fixed file name, when no variable is bound
  NameVariable nameVariable = {};  // when bound, the name is read from it at each open
  std::string_view driverString = {};
  std::string_view owner = {};
  std::uint8_t attributes = 0;  // the attribute byte
  bool create = false;          // the create attribute (property 7CC6h)
  std::span<const runtime::FieldDef> fields = {};
  std::uint32_t recordSize = 0;
  std::span<const KeySpec> keys = {};
  std::span<const MemoSpec> memos = {};
};

// One key of a declaration.
struct KeyDef {
  std::string label;
  std::uint32_t flags = 0;
  std::vector<std::int32_t> components;  // 1-based field numbers, negative = descending
  std::string externalName;

  bool unique() const { return (flags & KeyDup) == 0; }
};

// One memo or blob of a declaration: its description and its buffer.
struct MemoDef {
  std::string label;
  std::uint32_t size = 0;
  std::uint8_t kind = MemoKindBlob;
  std::string externalName;
};

class Memo {
 public:
  explicit Memo(MemoDef def) : def_(std::move(def)) {}

  const MemoDef& def() const { return def_; }
  const std::string& label() const { return def_.label; }
  std::uint32_t size() const { return def_.size; }
  // The bytes the memo holds now (at most size()).
  std::string_view content() const { return content_; }
  // The runtime's text assignment: `text` cut to size() bytes without splitting a character.
  void assign(std::string_view text);
  // Stores `bytes` exactly; when they are more than size(), stores nothing and answers false.
  bool setBytes(std::string_view bytes);
  // Empties the memo.
  void clear() { content_.clear(); }

 private:
  MemoDef def_;
  std::string content_;
};

// What a driver keeps for one open file. Drivers derive their handles from it; destroying a
// handle closes the file.
class DriverHandle {
 public:
  virtual ~DriverHandle() = default;
};

// The state of a declaration's file, as the file statements keep it.
struct OpenState {
  std::unique_ptr<DriverHandle> handle;  // the driver's handle; null while the file is closed
  std::uint8_t accessMode = 0;           // the mode it was opened with (STATUS); 0 = closed
  std::string name;                      // the name it was opened under

  bool isOpen() const { return handle != nullptr; }
};

// The parts of a declaration assembled at run time.
struct FileParts {
  std::string label;
  std::string prefix;
  Driver driver = Driver::Caskfile;
  std::string name;                // used when no variable is bound
  NameVariable nameVariable = {};  // the variable the name is read from at each open
  std::string driverString;
  std::string owner;
  std::uint8_t attributes = 0;
  bool create = false;
  std::uint32_t recordLength = 0;  // must equal the descriptor's record size
  std::vector<KeyDef> keys;
  std::vector<MemoDef> memos;
  std::vector<std::uint8_t> descriptor;  // a record type descriptor (record_descriptor.h)
};

class FileDeclaration;

// The outcome of assembling a declaration: the declaration, or null and what is wrong.
struct AssembledFile {
  std::unique_ptr<FileDeclaration> file;
  std::string error;
};

class FileDeclaration {
 public:
  // The declaration of a static table. The table must be sound (fields inside the record,
  // key components naming fields, a layout the descriptor can express); that is asserted.
  explicit FileDeclaration(const FileSpec& spec);
  // A declaration from parts known at run time. The fields come from the descriptor, which is
  // kept byte for byte. Fails (null, with a reason) on a descriptor that does not read, a
  // record length other than the descriptor's, a key component naming no field, or a memo of
  // size 0.
  static AssembledFile assemble(FileParts parts);

  ~FileDeclaration();
  FileDeclaration(const FileDeclaration&) = delete;
  FileDeclaration& operator=(const FileDeclaration&) = delete;

  const std::string& label() const { return label_; }
  const std::string& prefix() const { return prefix_; }
  Driver driver() const { return driver_; }

  // True when the name is read from a variable.
  bool nameIsBound() const { return nameVariable_.bound(); }
  // The name to open now: the bound variable's text as it stands, else the fixed name.
  std::string currentName() const;
  // Gives the FILE the fixed name `name` for its next opens (a bound variable is no longer
  // read).
  void setName(std::string_view name) {
    name_ = name;
    nameVariable_ = {};
  }

  const std::string& driverString() const { return driverString_; }
  const std::string& owner() const { return owner_; }
  void setOwner(std::string_view owner) { owner_ = owner; }
  std::uint8_t attributes() const { return attributes_; }
  bool createAttribute() const { return create_; }

  const runtime::RecordLayout& layout() const { return layout_; }
  std::uint32_t recordLength() const { return layout_.recordSize(); }
  // The record type descriptor: generated from a static table, or as assembled.
  std::span<const std::uint8_t> descriptor() const { return descriptor_; }
  // The flag byte of field `number` (1-based) as its descriptor entry holds it; 0 for no field.
  std::uint8_t fieldFlags(int number) const;

  // The record buffer, recordLength() bytes, blank when the declaration is made.
  std::span<std::byte> record() { return {record_.get(), layout_.recordSize()}; }
  std::span<const std::byte> record() const { return {record_.get(), layout_.recordSize()}; }
  // The record buffer as the record struct R (a packed struct of runtime field types whose
  // size is the record length).
  template <class R>
  R& recordAs() {
    static_assert(std::is_trivially_copyable_v<R> && alignof(R) == 1);
    assert(sizeof(R) == layout_.recordSize() && "record struct of another size");
    return *std::launder(reinterpret_cast<R*>(record_.get()));
  }

  std::span<const KeyDef> keys() const { return keys_; }
  std::size_t keyCount() const { return keys_.size(); }
  // Key `number` (1-based); nullptr when there is none.
  const KeyDef* key(int number) const;
  // The number of the key labelled `label` (letter case ignored); 0 when none is.
  int keyNumber(std::string_view label) const;

  std::span<Memo> memos() { return memos_; }
  std::span<const Memo> memos() const { return memos_; }
  std::size_t memoCount() const { return memos_.size(); }
  // Memo `number` (1-based); nullptr when there is none.
  Memo* memo(int number);
  const Memo* memo(int number) const;

  // Values that only SQL drivers act on, kept by property number (7200h the statement, 724Ah
  // the server version, 7243h, 7245h, 7246h, 7329h); empty when never set.
  std::string_view driverValue(std::uint32_t number) const;
  void setDriverValue(std::uint32_t number, std::string_view value);

  OpenState& openState() { return open_; }
  const OpenState& openState() const { return open_; }

 private:
  FileDeclaration(FileParts&& parts, runtime::RecordLayout&& layout,
                  std::vector<std::uint8_t>&& flags);
  void makeRecordBuffer();

  std::string label_;
  std::string prefix_;
  Driver driver_;
  std::string name_;
  NameVariable nameVariable_;
  std::string driverString_;
  std::string owner_;
  std::uint8_t attributes_ = 0;
  bool create_ = false;
  runtime::RecordLayout layout_;
  std::vector<std::uint8_t> descriptor_;
  std::vector<std::uint8_t> fieldFlags_;
  std::vector<KeyDef> keys_;
  std::vector<Memo> memos_;
  std::unique_ptr<std::byte[]> record_;
  std::vector<std::pair<std::uint32_t, std::string>> driverValues_;
  OpenState open_;  // last, so an open file is closed before the rest goes
};

// A FILE declared per thread: each thread that uses it has its own FileDeclaration (record
// buffer, memos, open state), built from the static table on the thread's first get() and
// released when the thread ends, which closes the file if it is still open. The table must
// outlive every thread that uses it (it is constexpr data in practice). A PerThreadFile is
// meant to be a static object: one destroyed earlier leaves each thread's instance to that
// thread's end.
class PerThreadFile {
 public:
  explicit constexpr PerThreadFile(const FileSpec& spec) : spec_(spec) {}
  PerThreadFile(const PerThreadFile&) = delete;
  PerThreadFile& operator=(const PerThreadFile&) = delete;

  const FileSpec& spec() const { return spec_; }
  // The calling thread's instance, built on its first use.
  FileDeclaration& get() const;
  // Releases the calling thread's instance now (it is built afresh on the next get()).
  void release() const;
  // True when the calling thread has an instance.
  bool builtOnThisThread() const;

 private:
  const FileSpec& spec_;
};

// Releases every per-thread FILE instance of the calling thread (closing the files still
// open); the thread's end routine calls it, before the thread's other state goes. Instances
// left are released when the thread ends in any case.
void releaseThreadFiles();

// A per-thread FILE whose record buffer is the record struct `Record`.
template <class Record>
class ThreadFile : public PerThreadFile {
 public:
  explicit constexpr ThreadFile(const FileSpec& spec) : PerThreadFile(spec) {}

  // The calling thread's record buffer.
  Record& record() const { return get().template recordAs<Record>(); }
};

}  // namespace files
