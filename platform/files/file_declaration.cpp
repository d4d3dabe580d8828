#include "platform/files/file_declaration.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

#include "platform/files/record_descriptor.h"
#include "platform/runtime/text.h"
#include "platform/runtime/text_types.h"
#include "platform/runtime/utf8.h"

namespace files {
namespace {

struct NamedDriver {
  Driver driver;
  std::string_view name;
};

constexpr NamedDriver kDriverNames[] = {
    {Driver::Caskfile, "CASKFILE"}, {Driver::Ascii, "ASCII"},
    {Driver::Dos, "DOS"},           {Driver::Mssql, "MSSQL"},
    {Driver::Oracle, "ORACLE"},     {Driver::SqlAnywhere, "SQLANYWHERE"},
    {Driver::Odbc, "ODBC"},         {Driver::Corvid, "CORVID"},
};

std::vector<KeyDef> keysOf(std::span<const KeySpec> specs) {
  std::vector<KeyDef> keys;
  for (const KeySpec& spec : specs) {
    KeyDef key{std::string(spec.label), spec.flags, {}, std::string(spec.externalName)};
    for (const std::int16_t component : spec.components) {
      if (component == 0) break;
      key.components.push_back(component);
    }
    keys.push_back(std::move(key));
  }
  return keys;
}

std::vector<MemoDef> memosOf(std::span<const MemoSpec> specs) {
  std::vector<MemoDef> memos;
  for (const MemoSpec& spec : specs)
    memos.push_back(
        {std::string(spec.label), spec.size, spec.kind, std::string(spec.externalName)});
  return memos;
}

// What is wrong with keys and memos over a record of `fieldCount` fields; empty when nothing.
std::string faultOf(const std::vector<KeyDef>& keys, const std::vector<MemoDef>& memos,
                    std::size_t fieldCount) {
  for (const KeyDef& key : keys) {
    if (key.components.empty()) return "key " + key.label + " has no component";
    for (const std::int32_t component : key.components)
      if (component == 0 ||
          static_cast<std::size_t>(std::abs(std::int64_t{component})) > fieldCount)
        return "key " + key.label + " names field " + std::to_string(component) +
               ", which the record does not have";
  }
  for (const MemoDef& memo : memos)
    if (memo.size == 0) return "memo " + memo.label + " has size 0";
  return {};
}

runtime::RecordLayout layoutOf(const FileSpec& spec) {
  assert(spec.recordSize > 0 && "a record has at least one byte");
  return runtime::RecordLayout(spec.fields, spec.recordSize);
}

std::vector<std::uint8_t> descriptorOf(const runtime::RecordLayout& layout) {
  std::string error;
  std::optional<std::vector<std::uint8_t>> bytes = writeDescriptor(layout, &error);
  assert(bytes && "the static record layout has a descriptor");
  return bytes ? std::move(*bytes) : std::vector<std::uint8_t>{};
}

}  // namespace

std::string_view driverName(Driver driver) {
  for (const NamedDriver& entry : kDriverNames)
    if (entry.driver == driver) return entry.name;
  assert(false && "every driver has a name");
  return {};
}

std::optional<Driver> driverNamed(std::string_view name) {
  for (const NamedDriver& entry : kDriverNames)
    if (runtime::equalTextNoCase(entry.name, name)) return entry.driver;
  return std::nullopt;
}

std::string NameVariable::text() const {
  if (address == nullptr) return {};
  const char* bytes = static_cast<const char*>(address);
  std::string_view value(bytes, size);
  if (type == runtime::FieldType::CString) value = runtime::cStringFieldText(bytes, size);
  if (type == runtime::FieldType::PString) value = runtime::pStringFieldText(bytes, size);
  if (limit != 0) value = runtime::utf8Prefix(value, limit);
  return runtime::CLIP(value);
}

void Memo::assign(std::string_view text) { content_ = runtime::utf8Prefix(text, def_.size); }

bool Memo::setBytes(std::string_view bytes) {
  if (bytes.size() > def_.size) return false;
  content_ = bytes;
  return true;
}

FileDeclaration::FileDeclaration(const FileSpec& spec)
    : label_(spec.label),
      prefix_(spec.prefix),
      driver_(spec.driver),
      name_(spec.name),
      nameVariable_(spec.nameVariable),
      driverString_(spec.driverString),
      owner_(spec.owner),
      attributes_(spec.attributes),
      create_(spec.create),
      layout_(layoutOf(spec)),
      descriptor_(descriptorOf(layout_)),
      keys_(keysOf(spec.keys)) {
  for (const runtime::FieldDef& field : layout_.fields())
    fieldFlags_.push_back(descriptorFlags(field));
  std::vector<MemoDef> memos = memosOf(spec.memos);
  assert(faultOf(keys_, memos, layout_.fieldCount()).empty() && "sound keys and memos");
  for (MemoDef& memo : memos) memos_.emplace_back(std::move(memo));
  makeRecordBuffer();
}

FileDeclaration::FileDeclaration(FileParts&& parts, runtime::RecordLayout&& layout,
                                 std::vector<std::uint8_t>&& flags)
    : label_(std::move(parts.label)),
      prefix_(std::move(parts.prefix)),
      driver_(parts.driver),
      name_(std::move(parts.name)),
      nameVariable_(parts.nameVariable),
      driverString_(std::move(parts.driverString)),
      owner_(std::move(parts.owner)),
      attributes_(parts.attributes),
      create_(parts.create),
      layout_(std::move(layout)),
      descriptor_(std::move(parts.descriptor)),
      fieldFlags_(std::move(flags)),
      keys_(std::move(parts.keys)) {
  for (MemoDef& memo : parts.memos) memos_.emplace_back(std::move(memo));
  makeRecordBuffer();
}

AssembledFile FileDeclaration::assemble(FileParts parts) {
  std::string error;
  std::optional<DescriptorContents> contents = readDescriptor(parts.descriptor, &error);
  if (!contents) return {nullptr, "record type descriptor: " + error};
  if (parts.recordLength != contents->layout.recordSize())
    return {nullptr, "record length " + std::to_string(parts.recordLength) +
                         " differs from the descriptor's " +
                         std::to_string(contents->layout.recordSize())};
  if (parts.recordLength == 0) return {nullptr, "record length 0"};
  error = faultOf(parts.keys, parts.memos, contents->layout.fieldCount());
  if (!error.empty()) return {nullptr, error};
  parts.descriptor.resize(contents->length);
  return {std::unique_ptr<FileDeclaration>(new FileDeclaration(
              std::move(parts), std::move(contents->layout), std::move(contents->flags))),
          {}};
}

FileDeclaration::~FileDeclaration() = default;

void FileDeclaration::makeRecordBuffer() {
  record_ = std::make_unique<std::byte[]>(layout_.recordSize());
  runtime::blankRecord(layout_, record_.get());
}

std::string FileDeclaration::currentName() const {
  return nameVariable_.bound() ? nameVariable_.text() : name_;
}

std::uint8_t FileDeclaration::fieldFlags(int number) const {
  if (number < 1 || static_cast<std::size_t>(number) > fieldFlags_.size()) return 0;
  return fieldFlags_[number - 1];
}

const KeyDef* FileDeclaration::key(int number) const {
  if (number < 1 || static_cast<std::size_t>(number) > keys_.size()) return nullptr;
  return &keys_[number - 1];
}

int FileDeclaration::keyNumber(std::string_view label) const {
  for (std::size_t i = 0; i < keys_.size(); ++i)
    if (runtime::equalTextNoCase(keys_[i].label, label)) return static_cast<int>(i + 1);
  return 0;
}

Memo* FileDeclaration::memo(int number) {
  if (number < 1 || static_cast<std::size_t>(number) > memos_.size()) return nullptr;
  return &memos_[number - 1];
}

const Memo* FileDeclaration::memo(int number) const {
  return const_cast<FileDeclaration*>(this)->memo(number);
}

std::string_view FileDeclaration::driverValue(std::uint32_t number) const {
  for (const auto& [key, value] : driverValues_)
    if (key == number) return value;
  return {};
}

void FileDeclaration::setDriverValue(std::uint32_t number, std::string_view value) {
  for (auto& [key, stored] : driverValues_)
    if (key == number) {
      stored = value;
      return;
    }
  driverValues_.emplace_back(number, std::string(value));
}

namespace {

// A thread's instance of a per-thread FILE, with the table it was built from: a PerThreadFile
// made later at the same address, from another table, must not find it.
struct ThreadInstance {
  const FileSpec* spec = nullptr;
  std::unique_ptr<FileDeclaration> file;
};
using ThreadInstances = std::unordered_map<const PerThreadFile*, ThreadInstance>;

// The calling thread's instances; they go when the thread ends.
ThreadInstances& threadInstances() {
  thread_local ThreadInstances instances;
  return instances;
}

}  // namespace

FileDeclaration& PerThreadFile::get() const {
  ThreadInstance& instance = threadInstances()[this];
  if (instance.spec != &spec_) instance = {&spec_, std::make_unique<FileDeclaration>(spec_)};
  return *instance.file;
}

void PerThreadFile::release() const { threadInstances().erase(this); }

bool PerThreadFile::builtOnThisThread() const {
  const auto found = threadInstances().find(this);
  return found != threadInstances().end() && found->second.spec == &spec_;
}

void releaseThreadFiles() { threadInstances().clear(); }

}  // namespace files
