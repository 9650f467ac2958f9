// The fuzz run's dispatch arm: one to four IDispatch::Invoke calls on a new control's members (and
// DISPIDs it lacks) with random flags and arguments: every variant type, by value and by reference,
// null, chained and cyclic references, named arguments, counts that do not fit. No event sinks.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <deque>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "control/persist_test_support.h"
#include "framework/hosting_helpers.h"
#include "soak_run.h"
#include "support/com_test_env.h"
#include "support/test_pictures.h"
#include "tessel_interfaces.h"

namespace soak {

namespace {

using namespace tessel_test;

struct Member {
  DISPID id;
  WORD flags;
  std::vector<VARTYPE> types;  // of a value that fits each parameter, a put's value included
};

// The type of a value that fits a parameter: the type pointed at, an
// alias's own type, a Long for an enumeration, an object for an interface.
VARTYPE fitting_type(ITypeInfo* info, const TYPEDESC& desc) {
  if (desc.vt == VT_PTR) return fitting_type(info, *desc.lptdesc);
  if (desc.vt != VT_USERDEFINED) return desc.vt;
  ComPtr<ITypeInfo> named;
  TYPEATTR* attr = nullptr;
  if (FAILED(info->GetRefTypeInfo(desc.hreftype, named.put())) ||
      FAILED(named->GetTypeAttr(&attr))) {
    return VT_EMPTY;
  }
  VARTYPE vt = VT_DISPATCH;
  if (attr->typekind == TKIND_ALIAS) vt = fitting_type(named.get(), attr->tdescAlias);
  if (attr->typekind == TKIND_ENUM) vt = VT_I4;
  named->ReleaseTypeAttr(attr);
  return vt;
}

std::vector<Member> members_of(IDispatch* control) {
  std::vector<Member> members;
  ComPtr<ITypeInfo> info;
  if (FAILED(control->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put()))) return members;
  TYPEATTR* attr = nullptr;
  if (FAILED(info->GetTypeAttr(&attr))) return members;
  for (UINT i = 0; i < attr->cFuncs; ++i) {
    FUNCDESC* func = nullptr;
    if (FAILED(info->GetFuncDesc(i, &func))) continue;
    // INVOKE_FUNC, _PROPERTYGET, _PROPERTYPUT and _PROPERTYPUTREF have the
    // values of the matching DISPATCH_ flags.
    Member member{func->memid, static_cast<WORD>(func->invkind), {}};
    for (SHORT p = 0; p < func->cParams; ++p) {
      member.types.push_back(fitting_type(info.get(), func->lprgelemdescParam[p].tdesc));
    }
    members.push_back(std::move(member));
    info->ReleaseFuncDesc(func);
  }
  info->ReleaseTypeAttr(attr);
  return members;
}

constexpr VARTYPE kTypes[] = {
    VT_EMPTY, VT_NULL,     VT_I2,    VT_I4,   VT_R4,      VT_R8,      VT_CY,           VT_DATE,
    VT_BSTR,  VT_DISPATCH, VT_ERROR, VT_BOOL, VT_UNKNOWN, VT_DECIMAL, VT_I1,           VT_UI1,
    VT_UI2,   VT_UI4,      VT_I8,    VT_UI8,  VT_INT,     VT_UINT,    VT_ARRAY | VT_I4};
// Types a variable can be passed by reference in (the value at the start of the variant's union).
constexpr VARTYPE kReferenceTypes[] = {VT_I2,      VT_I4,   VT_R4,       VT_R8,    VT_CY,
                                       VT_DATE,    VT_BSTR, VT_DISPATCH, VT_ERROR, VT_BOOL,
                                       VT_UNKNOWN, VT_UI1,  VT_UI4,      VT_I8};
// Type numbers that are no variant type at all, or not one by value.
constexpr VARTYPE kInvalidTypes[] = {VT_VARIANT, VT_RECORD, VT_VOID, VT_PTR, 0x0FFF, VT_BYREF};

// One random call: its arguments own what they hold, and the variables that
// by-reference arguments point at live until the call is gone.
class Call {
 public:
  Call(std::mt19937& r, IDispatch* picture, IDispatch* font, const Member& member)
      : r_(r), picture_(picture), font_(font), id_(member.id), flags_(member.flags) {
    constexpr DISPID kOthers[] = {0, -1, DISPID_VALUE, DISPID_UNKNOWN, 0x12345, 0x68030006};
    const unsigned change = pick(12);
    if (change == 0) flags_ = static_cast<WORD>(pick(16));
    if (change == 1) flags_ = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
    if (change == 2) id_ = kOthers[pick(std::size(kOthers))];
    const bool is_put = flags_ & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
    const UINT declared = static_cast<UINT>(member.types.size());
    const UINT count = pick(3) ? declared : pick(6);
    // Made first to last; rgvarg holds them last first.
    for (UINT i = 0; i < count; ++i)
      args_.push_back(argument(i < declared ? member.types[i] : VARTYPE{VT_EMPTY}));
    std::reverse(args_.begin(), args_.end());
    if (is_put && !args_.empty() && pick(6)) {
      names_.push_back(DISPID_PROPERTYPUT);
    } else if (pick(4) == 0) {
      // Named arguments, as many as or more than there are arguments.
      constexpr DISPID kNames[] = {DISPID_PROPERTYPUT, 0, 1, 2, 3, -1, 0x7FFFFFFF};
      const UINT named = pick(static_cast<unsigned>(args_.size()) + 2);
      for (UINT i = 0; i < named; ++i) names_.push_back(kNames[pick(std::size(kNames))]);
    }
  }
  ~Call() {
    for (VARIANT* v : owned_) VariantClear(v);
  }
  Call(const Call&) = delete;
  Call& operator=(const Call&) = delete;

  void invoke(IDispatch* control) {
    DISPPARAMS params{args_.empty() ? nullptr : args_.data(),
                      names_.empty() ? nullptr : names_.data(), static_cast<UINT>(args_.size()),
                      static_cast<UINT>(names_.size())};
    if (pick(32) == 0) params.rgvarg = nullptr;
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception{};
    UINT arg_error = 0;
    control->Invoke(id_, IID_NULL, LOCALE_USER_DEFAULT, flags_, &params,
                    pick(4) ? &result : nullptr, pick(4) ? &exception : nullptr,
                    pick(4) ? &arg_error : nullptr);
    VariantClear(&result);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  }

 private:
  unsigned pick(size_t n) { return static_cast<unsigned>(r_() % n); }

  // A variable that stays where it is until the call is gone.
  VARIANT& hold(VARIANT v, bool owns) {
    held_.push_back(v);
    if (owns) owned_.push_back(&held_.back());
    return held_.back();
  }

  static VARIANT by_ref(VARTYPE vt, void* target) { return variant_of(VT_BYREF | vt, target); }

  // An argument for a parameter that a value of type `fitting` fits
  // (VT_EMPTY: no parameter, or none of a known type).
  VARIANT argument(VARTYPE fitting) {
    switch (pick(20)) {
      case 0: {
        // A typed reference to a variable of that type.
        VARIANT& target = hold(fitting != VT_EMPTY && fitting != VT_VARIANT && pick(2)
                                   ? value(fitting)
                                   : value(kReferenceTypes[pick(std::size(kReferenceTypes))]),
                               true);
        return by_ref(V_VT(&target), &V_UI1(&target));
      }
      case 1:
      case 2: {
        // A script's variable: VT_BYREF|VT_VARIANT, sometimes through
        // further links, ending at a value or a typed reference.
        VARIANT* end = &hold(some_value(fitting), true);
        if (pick(4) == 0) {
          void* target =
              V_VT(end) == VT_DECIMAL ? static_cast<void*>(&V_DECIMAL(end)) : &V_UI1(end);
          end = &hold(by_ref(V_VT(end), target), false);
        }
        const unsigned links = pick(3);
        for (unsigned i = 0; i < links; ++i) end = &hold(by_ref(VT_VARIANT, end), false);
        return by_ref(VT_VARIANT, end);
      }
      case 3:
        // A null by-reference pointer.
        return by_ref(
            pick(3) ? kReferenceTypes[pick(std::size(kReferenceTypes))] : VARTYPE{VT_VARIANT},
            nullptr);
      case 4: {
        // A variant that refers to itself, or two that refer to each other.
        VARIANT& first = hold(by_ref(VT_VARIANT, nullptr), false);
        if (pick(2)) {
          V_VARIANTREF(&first) = &first;
        } else {
          V_VARIANTREF(&first) = &hold(by_ref(VT_VARIANT, &first), false);
        }
        return by_ref(VT_VARIANT, &first);
      }
      case 5: {
        // A type number that is no variant type; it owns nothing.
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = kInvalidTypes[pick(std::size(kInvalidTypes))];
        return v;
      }
      default:
        // A by-value argument: a shallow copy of a held variable, which owns the value.
        return hold(some_value(fitting), true);
    }
  }

  // As often as not a value that fits, when there is a parameter.
  VARIANT some_value(VARTYPE fitting) {
    return fitting != VT_EMPTY && fitting != VT_VARIANT && pick(2)
               ? value(fitting)
               : value(kTypes[pick(std::size(kTypes))]);
  }

  double real() {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    constexpr double kReals[] = {
        0,      1,          -1,           2.5,           60,           32767,        32768,
        -32769, 2147483647, 2147483647.5, -2147483649.0, 4294967295.0, 4294967296.0, 3e38,
        1e300,  -1e300,     1e-300,       -0.0,          kNaN,         kInfinity,    -kInfinity};
    if (pick(4) == 0) return static_cast<double>(static_cast<int>(r_())) / 7.0;
    return kReals[pick(std::size(kReals))];
  }

  LONGLONG integer() {
    constexpr LONGLONG kShortEnd = SHRT_MAX + 1, kLarge = 1LL << 40;
    constexpr LONGLONG kIntegers[] = {0,      1,        -1,        2,        3,       5,
                                      60,     SHRT_MAX, kShortEnd, INT_MAX,  INT_MIN, UINT_MAX,
                                      kLarge, -kLarge,  LLONG_MAX, LLONG_MIN};
    if (pick(4) == 0) return static_cast<int>(r_());
    return kIntegers[pick(std::size(kIntegers))];
  }

  BSTR text() {
    // Index 6 is longer than the 16-bit positions of the ColumnWidths string; 8 to 11, a number.
    constexpr const wchar_t* kTexts[] = {
        nullptr, L"abc", L"1e400", L"  42  ", L"1500;750;\"3000\"", L"&Name", nullptr, L""};
    const unsigned n = pick(12);
    if (n >= std::size(kTexts)) return SysAllocString(std::to_wstring(integer()).c_str());
    if (n != 6) return SysAllocString(kTexts[n]);  // a null BSTR for nullptr
    std::wstring widths;
    while (widths.size() < 40000) widths += L"15;";
    return SysAllocStringLen(widths.data(), static_cast<UINT>(widths.size()));
  }

  IDispatch* object() {
    IDispatch* objects[] = {nullptr, picture_, font_};
    IDispatch* o = objects[pick(std::size(objects))];
    if (o) o->AddRef();
    return o;
  }

  // A sound by-value variant of type vt. Every integer type reads the low bytes of V_I8.
  VARIANT value(VARTYPE vt) {
    constexpr VARTYPE kIntegerTypes[] = {VT_I1,  VT_UI1, VT_I2,   VT_BOOL, VT_UI2, VT_I4,
                                         VT_INT, VT_UI4, VT_UINT, VT_I8,   VT_UI8};
    constexpr SCODE kErrors[] = {DISP_E_PARAMNOTFOUND, E_FAIL, S_OK};
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = vt;
    if (std::ranges::find(kIntegerTypes, vt) != std::end(kIntegerTypes)) V_I8(&v) = integer();
    if (vt == VT_R4) V_R4(&v) = static_cast<float>(real());
    if (vt == VT_R8 || vt == VT_DATE) V_R8(&v) = real();
    if (vt == VT_CY && FAILED(VarCyFromR8(real(), &V_CY(&v)))) V_CY(&v).int64 = integer();
    if (vt == VT_DECIMAL) {
      if (FAILED(VarDecFromR8(real(), &V_DECIMAL(&v)))) VarDecFromI8(integer(), &V_DECIMAL(&v));
      V_VT(&v) = VT_DECIMAL;  // the decimal's first field
    }
    if (vt == VT_BSTR) V_BSTR(&v) = text();
    if (vt == VT_DISPATCH || vt == VT_UNKNOWN) V_DISPATCH(&v) = object();
    if (vt == VT_ERROR) V_ERROR(&v) = kErrors[pick(std::size(kErrors))];
    if (vt == (VT_ARRAY | VT_I4))
      V_ARRAY(&v) = pick(4) ? SafeArrayCreateVector(VT_I4, 0, 3) : nullptr;
    return v;
  }

  std::mt19937& r_;
  IDispatch* picture_;
  IDispatch* font_;
  DISPID id_;
  WORD flags_;
  std::vector<VARIANT> args_;
  std::vector<DISPID> names_;
  std::deque<VARIANT> held_;
  std::vector<VARIANT*> owned_;
};

}  // namespace

FuzzInputs make_dispatch_inputs() {
  ComPtr<IDispatch> picture =
      make_bitmap_picture(8, 8, RGB(255, 0, 255)).query<IDispatch>(IID_IDispatch);
  ComPtr<IFontDisp> font = new_font(L"Arial", 8);
  return
      [picture, font, members = members_of(create_linked_control().get())](long n, unsigned seed) {
        std::mt19937 r(seed ^ static_cast<unsigned>(n * 2654435761u));
        const ULONG picture_refs = ref_count(picture.get());
        const ULONG font_refs = ref_count(font.get());
        {
          ComPtr<IDispatch> control = create_linked_control();
          if (r() % 2) {
            // A control newly placed on a form, with a few more columns.
            stream_persist(control.get())->InitNew();
            for (unsigned i = r() % 4; i > 0; --i) {
              invoke(control.get(), tessel::dispid::AddRow, DISPATCH_METHOD, {});
            }
          }
          for (unsigned calls = 1 + r() % 4; calls > 0 && !members.empty(); --calls) {
            Call call(r, picture.get(), font.get(), members[r() % members.size()]);
            call.invoke(control.get());
          }
          IDispatch* last = control.detach();
          if (last->Release() != 0) return false;
        }
        return ref_count(picture.get()) == picture_refs && ref_count(font.get()) == font_refs;
      };
}

}  // namespace soak
