#include "msft_fixups.h"

#include <oaidl.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tlbgen {
namespace {

// Offsets in the MSFT format, as Wine's and the platform's readers use them.
constexpr std::size_t kHeaderSize = 0x54;
constexpr std::size_t kHeaderVarFlags = 0x14;
constexpr std::size_t kHeaderTypeInfoCount = 0x20;
constexpr std::uint32_t kMagic = 0x5446534D;  // "MSFT"
constexpr std::uint32_t kHasHelpDll = 0x100;
constexpr std::size_t kSegmentCount = 15;
constexpr std::size_t kSegmentTypeInfo = 0;
constexpr std::size_t kSegmentImportInfo = 1;
constexpr std::size_t kSegmentGuid = 5;
constexpr std::size_t kSegmentName = 7;

constexpr std::size_t kTypeInfoSize = 0x64;
constexpr std::size_t kTypeInfoKind = 0x00;
constexpr std::size_t kTypeInfoMembers = 0x04;
constexpr std::size_t kTypeInfoElements = 0x18;
constexpr std::size_t kTypeInfoFlags = 0x30;
constexpr std::size_t kTypeInfoImplTypes = 0x4C;
constexpr std::size_t kTypeInfoVftSize = 0x4E;
constexpr std::size_t kTypeInfoInstanceSize = 0x50;
constexpr std::size_t kTypeInfoBase = 0x54;         // href of the base type
constexpr std::size_t kTypeInfoInheritance = 0x58;  // interfaces: inherited functions, depth

constexpr std::size_t kFuncFlagsField = 0x10;  // FKCCIC: kind, invoke kind, ...
constexpr std::size_t kFuncArgCount = 0x14;
constexpr std::size_t kParamSize = 12;  // DataType, oName, Flags
constexpr std::size_t kParamName = 4;

// An import entry: flags, import file, then the GUID's offset in the GUID
// table when the flags say the type is named by GUID.
constexpr std::uint32_t kImportByGuid = 0x10000;
constexpr std::size_t kImportGuid = 8;

constexpr std::uint32_t kUnnamed = 0xFFFFFFFF;
constexpr std::uint32_t kNoType = 0xFFFFFFFF;
constexpr UINT kDispatchSlots = 7;

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error("unexpected type library layout: " + what);
}

// Bounds-checked little-endian access to the file's bytes.
class MsftFile {
 public:
  explicit MsftFile(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {
    if (U32(0) != kMagic) Fail("no MSFT header");
    std::size_t directory = kHeaderSize + 4 * TypeInfoCount();
    if (U32(kHeaderVarFlags) & kHasHelpDll) directory += 4;
    directory_ = directory;
  }

  std::uint32_t U32(std::size_t at) const {
    Require(at, 4);
    std::uint32_t v;
    std::memcpy(&v, &bytes_[at], 4);
    return v;
  }
  std::uint16_t U16(std::size_t at) const {
    Require(at, 2);
    std::uint16_t v;
    std::memcpy(&v, &bytes_[at], 2);
    return v;
  }
  void Put32(std::size_t at, std::uint32_t v) {
    Require(at, 4);
    std::memcpy(&bytes_[at], &v, 4);
  }
  void Put16(std::size_t at, std::uint16_t v) {
    Require(at, 2);
    std::memcpy(&bytes_[at], &v, 2);
  }

  UINT TypeInfoCount() const { return U32(kHeaderTypeInfoCount); }
  UINT PointerSize() const { return (U32(kHeaderVarFlags) & 0xF) == SYS_WIN64 ? 8 : 4; }
  std::size_t SegmentOffset(std::size_t segment) const { return U32(directory_ + 16 * segment); }
  std::size_t SegmentLength(std::size_t segment) const {
    return U32(directory_ + 16 * segment + 4);
  }

  std::size_t TypeInfo(UINT index) const {
    if (index >= TypeInfoCount()) Fail("type info index");
    return SegmentOffset(kSegmentTypeInfo) + kTypeInfoSize * index;
  }

  // Whether the type info at `base` is a dispinterface, dual or not.
  bool IsDispatch(std::size_t base, bool dual) const {
    return (U32(base + kTypeInfoKind) & 0xF) == TKIND_DISPATCH &&
           ((U32(base + kTypeInfoFlags) & TYPEFLAG_FDUAL) != 0) == dual;
  }

  UINT FunctionCount(std::size_t base) const { return U32(base + kTypeInfoElements) & 0xFFFF; }

  // Whether `href` is a reference to IDispatch imported by its GUID (an
  // imported type's href is its import entry's offset plus one).
  bool RefersToDispatch(std::uint32_t href) const {
    if ((href & 3) != 1) return false;
    const std::size_t entry = SegmentOffset(kSegmentImportInfo) + (href & ~std::uint32_t{3});
    if (!(U32(entry) & kImportByGuid)) return false;
    const std::size_t guid = SegmentOffset(kSegmentGuid) + U32(entry + kImportGuid);
    Require(guid, sizeof(GUID));
    return std::memcmp(&bytes_[guid], &IID_IDispatch, sizeof(GUID)) == 0;
  }

  // Offset in the name table of `name`, which must be there.
  std::uint32_t NameOffset(const std::string& name) const {
    const std::size_t table = SegmentOffset(kSegmentName);
    const std::size_t length = SegmentLength(kSegmentName);
    std::size_t at = 0;
    while (at < length) {
      const std::size_t size = U32(table + at + 8) & 0xFF;
      Require(table + at + 12, size);
      if (name.size() == size && std::memcmp(&bytes_[table + at + 12], name.data(), size) == 0) {
        return static_cast<std::uint32_t>(at);
      }
      at += 12 + ((size + 3) & ~std::size_t{3});
    }
    Fail("name \"" + name + "\" not in the name table");
  }

 private:
  void Require(std::size_t at, std::size_t size) const {
    if (at > bytes_.size() || size > bytes_.size() - at) Fail("offset out of the file");
  }

  std::vector<std::uint8_t>& bytes_;
  std::size_t directory_ = 0;
};

}  // namespace

void NameSetterValues(std::vector<std::uint8_t>& bytes, UINT typeinfo,
                      const std::vector<SetterValueName>& names) {
  MsftFile file(bytes);
  const std::size_t base = file.TypeInfo(typeinfo);
  const UINT functions = file.FunctionCount(base);
  const std::size_t members = file.U32(base + kTypeInfoMembers);

  // Function records follow the member data's length word, one after the
  // other; each record's first word holds its size in the low 16 bits and
  // the parameters are its last 12-byte entries.
  std::vector<std::size_t> records;
  std::size_t at = members + 4;
  for (UINT i = 0; i < functions; ++i) {
    records.push_back(at);
    at += file.U32(at) & 0xFFFF;
  }

  for (const SetterValueName& entry : names) {
    if (entry.function >= functions) Fail("function index");
    const std::size_t record = records[entry.function];
    const UINT invoke = (file.U32(record + kFuncFlagsField) >> 3) & 0xF;
    if (invoke != INVOKE_PROPERTYPUT && invoke != INVOKE_PROPERTYPUTREF) Fail("not a setter");
    const UINT args = file.U16(record + kFuncArgCount);
    if (args == 0) Fail("setter without parameters");
    const std::size_t value = record + (file.U32(record) & 0xFFFF) - kParamSize;
    if (file.U32(value + kParamName) != kUnnamed) Fail("setter value already named");
    file.Put32(value + kParamName, file.NameOffset(entry.name));
  }
}

void SizeDualVtables(std::vector<std::uint8_t>& bytes) {
  MsftFile file(bytes);
  for (UINT i = 0; i < file.TypeInfoCount(); ++i) {
    const std::size_t base = file.TypeInfo(i);
    if (!file.IsDispatch(base, true)) continue;
    file.Put16(base + kTypeInfoVftSize,
               static_cast<std::uint16_t>((kDispatchSlots + file.FunctionCount(base)) *
                                          file.PointerSize()));
  }
}

void LayOutDispinterfaces(std::vector<std::uint8_t>& bytes) {
  MsftFile file(bytes);
  for (UINT i = 0; i < file.TypeInfoCount(); ++i) {
    const std::size_t base = file.TypeInfo(i);
    if (!file.IsDispatch(base, false)) continue;
    // Wine writes IDispatch as the one base type, IDispatch's slots and one
    // per function as the vtable size, and the type info's index where an
    // interface has its inheritance word.
    const UINT functions = file.FunctionCount(base);
    if (file.U16(base + kTypeInfoImplTypes) != 1 ||
        !file.RefersToDispatch(file.U32(base + kTypeInfoBase))) {
      Fail("dispinterface base type");
    }
    if (file.U16(base + kTypeInfoVftSize) != (kDispatchSlots + functions) * file.PointerSize()) {
      Fail("dispinterface vtable size");
    }
    if (file.U32(base + kTypeInfoInheritance) != i) Fail("dispinterface inheritance word");
    // The implemented type count stays 1: readers answer IDispatch for it.
    file.Put32(base + kTypeInfoBase, kNoType);
    file.Put32(base + kTypeInfoInheritance, 0);
    file.Put16(base + kTypeInfoVftSize, static_cast<std::uint16_t>(functions * file.PointerSize()));
  }
}

void SizeEnumerations(std::vector<std::uint8_t>& bytes) {
  MsftFile file(bytes);
  for (UINT i = 0; i < file.TypeInfoCount(); ++i) {
    const std::size_t base = file.TypeInfo(i);
    if ((file.U32(base + kTypeInfoKind) & 0xF) != TKIND_ENUM) continue;
    const std::uint32_t size = file.U32(base + kTypeInfoInstanceSize);
    if (size != 4 && size != 8) Fail("enumeration size");
    file.Put32(base + kTypeInfoInstanceSize, sizeof(INT));
  }
}

void FixUpTypeLibraryFile(const std::wstring& path, UINT typeinfo,
                          const std::vector<SetterValueName>& names) {
  std::vector<std::uint8_t> bytes;
  {
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read the saved type library");
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  NameSetterValues(bytes, typeinfo, names);
  SizeDualVtables(bytes);
  SizeEnumerations(bytes);
  LayOutDispinterfaces(bytes);
  std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write the type library");
}

}  // namespace tlbgen
