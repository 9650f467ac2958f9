#include "accessors.h"

namespace tlbgen {
namespace {

AccessorParam IndexParam() { return {L"Index", Type::Long, false, PARAMFLAG_FIN, kNoDefault}; }

AccessorParam RetvalParam(Type type) {
  return {kRetvalName, type, true, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL, kNoDefault};
}

AccessorParam FromTable(const Param& param) {
  USHORT flags = param.by_ref ? PARAMFLAG_FIN | PARAMFLAG_FOUT : PARAMFLAG_FIN;
  if (param.optional) flags |= PARAMFLAG_FOPT;
  if (param.default_value.kind != Default::Kind::None) flags |= PARAMFLAG_FHASDEFAULT;
  return {param.name, param.type, param.by_ref, flags, param.default_value};
}

Accessor Getter(const Member& member) {
  Accessor accessor{&member, Invoke::Get, {}};
  if (member.indexed) accessor.params.push_back(IndexParam());
  accessor.params.push_back(RetvalParam(member.type));
  return accessor;
}

Accessor Setter(const Member& member, Invoke invoke) {
  Accessor accessor{&member, invoke, {}};
  if (member.indexed) accessor.params.push_back(IndexParam());
  accessor.params.push_back({member.setter_param, member.type, false, PARAMFLAG_FIN, kNoDefault});
  return accessor;
}

Accessor MethodAccessor(const Member& member) {
  Accessor accessor{&member, Invoke::Func, {}};
  for (const Param& param : member.params) accessor.params.push_back(FromTable(param));
  if (member.type != Type::Void) accessor.params.push_back(RetvalParam(member.type));
  return accessor;
}

}  // namespace

std::vector<Accessor> InterfaceAccessors(const Library& library) {
  std::vector<Accessor> result;
  for (const Member& member : library.members) {
    switch (member.kind) {
      case Kind::GetLet:
        result.push_back(Getter(member));
        result.push_back(Setter(member, Invoke::Put));
        break;
      case Kind::LetGet:
        result.push_back(Setter(member, Invoke::Put));
        result.push_back(Getter(member));
        break;
      case Kind::GetSet:
        result.push_back(Getter(member));
        result.push_back(Setter(member, Invoke::PutRef));
        break;
      case Kind::Get:
        result.push_back(Getter(member));
        break;
      case Kind::Method:
        result.push_back(MethodAccessor(member));
        break;
    }
  }
  return result;
}

std::vector<AccessorParam> EventParams(const Event& event) {
  std::vector<AccessorParam> result;
  for (const Param& param : event.params) result.push_back(FromTable(param));
  return result;
}

}  // namespace tlbgen
