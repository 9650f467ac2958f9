// Corrections to a saved type library file (the MSFT format that
// ICreateTypeLib2 writes) for what the creation interfaces get wrong or
// cannot say:
//
// - The value parameter of a property setter: SetFuncAndParamNames refuses a
//   name for it (TYPE_E_ELEMENTNOTFOUND), so the file leaves it unnamed. The
//   names are placed in the file's name table beforehand (see
//   WriteTypeLibrary) and only the parameter's name offset is set here.
// - The vtable size of a dual interface in a SYS_WIN32 library written by a
//   64-bit process: Wine starts the size from IDispatch's in-memory vtable
//   (7 eight-byte slots) and adds four bytes per function, so a reader sees
//   seven phantom functions. The size is set to (7 + functions) pointers.
// - The instance size of an enumeration: Wine's LayOut gives it the pointer
//   size, 8 in a SYS_WIN64 library, while an enumeration is a 4-byte integer
//   on every Windows ABI.
// - The layout of a dispinterface that is not dual: Wine stores IDispatch as
//   its base type and a vtable size of (7 + functions) pointers, so readers
//   list IUnknown's and IDispatch's seven functions as members of it (an
//   events interface would show them as events). The IDL compiler stores no
//   base type (readers give every dispinterface IDispatch as its implemented
//   type by themselves), no inheritance word and one pointer per function.
//
// Every change checks that the file holds what Wine is known to write there
// and throws std::runtime_error otherwise, so a different writer fails the
// build instead of producing a wrong library.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tlbgen {

struct SetterValueName {
  UINT function;     // index of the propput/propputref function
  std::string name;  // name of its last parameter
};

// Names the last parameter of each listed function of type info `typeinfo`.
void NameSetterValues(std::vector<std::uint8_t>& file, UINT typeinfo,
                      const std::vector<SetterValueName>& names);

// Sets the vtable size of every dual interface to (7 + functions) pointers of
// the library's SYSKIND.
void SizeDualVtables(std::vector<std::uint8_t>& file);

// Sets the instance size of every enumeration to 4.
void SizeEnumerations(std::vector<std::uint8_t>& file);

// Gives every dispinterface that is not dual the IDL compiler's layout: no
// stored base type and a vtable size of one pointer per function.
void LayOutDispinterfaces(std::vector<std::uint8_t>& file);

// Applies all of the above to the file at `path`, whose type info `typeinfo`
// is the dual interface.
void FixUpTypeLibraryFile(const std::wstring& path, UINT typeinfo,
                          const std::vector<SetterValueName>& names);

}  // namespace tlbgen
