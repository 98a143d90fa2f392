// typelib_fixer: a build step that copies the type library widl made from lexivane.idl into a
// new one that says three things the IDL compiler cannot:
//   - the order of the types: _SpellCheck, SpellCheck, __SpellCheck, lvDisableMode, lvButtons
//     (widl writes an enumeration before the first interface that uses it);
//   - each enumeration member's help string, which is the member's own name;
//   - the non-extensible flag of the event interface __SpellCheck.
// Everything else (library header, GUIDs, flags, members, dispatch identifiers, parameters and
// default values) is copied as widl wrote it, through ICreateTypeLib2 / ICreateTypeInfo2.
//
// Wine's writer keeps only the low byte of a boolean default stored in place, so the default
// True (-1) of an optional VARIANT_BOOL would read back as 255 on any system. The saved file is
// put right afterwards (RepairBooleanDefaults); a writer without that fault leaves nothing to do.
//
// usage: typelib_fixer IN.tlb OUT.tlb
// A Windows program: the build runs it under Wine. It exits non-zero, naming the step that
// failed, when the input lacks one of the types or a copy step fails.
#include <windows.h>

#include <oleauto.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The types in the order the library lists them, and what each needs beyond a plain copy.
struct WantedType {
  const wchar_t* name;
  WORD extra_flags;
};
constexpr WantedType kOrder[] = {
    {L"_SpellCheck", 0},   {L"SpellCheck", 0}, {L"__SpellCheck", TYPEFLAG_FNONEXTENSIBLE},
    {L"lvDisableMode", 0}, {L"lvButtons", 0},
};

void Check(HRESULT result, const char* step) {
  if (FAILED(result)) {
    char message[160];
    std::snprintf(message, sizeof message, "%s failed (0x%08lX)", step,
                  static_cast<unsigned long>(result));
    throw std::runtime_error(message);
  }
}

// Releases a COM pointer at the end of its scope.
template <typename T>
struct Ref {
  T* p = nullptr;
  Ref() = default;
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  ~Ref() {
    if (p != nullptr) p->Release();
  }
  T** operator&() { return &p; }
  T* operator->() const { return p; }
};

struct Bstr {
  BSTR value = nullptr;
  ~Bstr() { SysFreeString(value); }
  BSTR* operator&() { return &value; }
};

std::wstring NameOf(ITypeInfo* info) {
  Bstr name;
  Check(info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr), "GetDocumentation");
  return name.value != nullptr ? name.value : L"";
}

class Copier {
 public:
  Copier(ITypeLib* source, ICreateTypeLib2* target) : source_(source), target_(target) {}
  ~Copier() {
    for (auto& [name, created] : created_) created->Release();
    for (ITypeInfo* info : sources_) info->Release();
  }

  void CopyHeader() {
    TLIBATTR* header = nullptr;
    Check(source_->GetLibAttr(&header), "GetLibAttr");
    Bstr name, help, help_file;
    DWORD help_context = 0;
    Check(source_->GetDocumentation(-1, &name, &help, &help_context, &help_file),
          "library GetDocumentation");
    Check(target_->SetName(name.value), "SetName");
    Check(target_->SetGuid(header->guid), "SetGuid");
    Check(target_->SetVersion(header->wMajorVerNum, header->wMinorVerNum), "SetVersion");
    Check(target_->SetLcid(header->lcid), "SetLcid");
    if (help.value != nullptr) Check(target_->SetDocString(help.value), "SetDocString");
    if (help_file.value != nullptr)
      Check(target_->SetHelpFileName(help_file.value), "SetHelpFileName");
    Check(target_->SetHelpContext(help_context), "SetHelpContext");
    // The loader adds "has disk image" itself; the rest are the library's own flags.
    Check(target_->SetLibFlags(header->wLibFlags & ~LIBFLAG_FHASDISKIMAGE), "SetLibFlags");
    source_->ReleaseTLibAttr(header);
  }

  // Creates every wanted type first, empty, so that any of them can refer to any other.
  int wide_boolean_defaults() const { return wide_boolean_defaults_; }

  void CreateTypes() {
    for (const WantedType& wanted : kOrder) {
      ITypeInfo* source = FindSource(wanted.name);
      TYPEATTR* attributes = nullptr;
      Check(source->GetTypeAttr(&attributes), "GetTypeAttr");
      const TYPEKIND kind = attributes->typekind;
      source->ReleaseTypeAttr(attributes);
      Ref<ICreateTypeInfo> created;
      Check(target_->CreateTypeInfo(const_cast<LPOLESTR>(wanted.name), kind, &created),
            "CreateTypeInfo");
      ICreateTypeInfo2* created2 = nullptr;
      Check(created->QueryInterface(IID_ICreateTypeInfo2, reinterpret_cast<void**>(&created2)),
            "QueryInterface(ICreateTypeInfo2)");
      created_[wanted.name] = created2;
    }
  }

  void FillTypes() {
    for (const WantedType& wanted : kOrder) {
      Fill(FindSource(wanted.name), created_.at(wanted.name), wanted.extra_flags);
    }
    for (const WantedType& wanted : kOrder) Check(created_.at(wanted.name)->LayOut(), "LayOut");
  }

 private:
  // The source's type of that name; for a dual interface, its vtable half, which is what an
  // interface is created from (the dispatch view follows from the dual flag).
  ITypeInfo* FindSource(const wchar_t* name) {
    for (UINT index = 0; index < source_->GetTypeInfoCount(); ++index) {
      ITypeInfo* info = nullptr;
      Check(source_->GetTypeInfo(index, &info), "GetTypeInfo");
      sources_.push_back(info);
      if (NameOf(info) != name) continue;
      HREFTYPE vtable_reference = 0;
      ITypeInfo* vtable = nullptr;
      if (SUCCEEDED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtable_reference)) &&
          SUCCEEDED(info->GetRefTypeInfo(vtable_reference, &vtable))) {
        sources_.push_back(vtable);
        return vtable;
      }
      return info;
    }
    throw std::runtime_error("the input library has no type named " +
                             std::string(name, name + wcslen(name)));
  }

  // A reference from `source` to another type, made again in the new library: to the new copy
  // when the type is one of ours, else to the same imported type (IDispatch from stdole2).
  HREFTYPE Reference(ITypeInfo* source, HREFTYPE reference, ICreateTypeInfo2* target) {
    Ref<ITypeInfo> referenced;
    Check(source->GetRefTypeInfo(reference, &referenced), "GetRefTypeInfo");
    Ref<ITypeInfo> ours;
    auto found = created_.find(NameOf(referenced.p));
    if (found != created_.end()) {
      Check(found->second->QueryInterface(IID_ITypeInfo, reinterpret_cast<void**>(&ours)),
            "QueryInterface(ITypeInfo)");
    }
    HREFTYPE copy = 0;
    Check(target->AddRefTypeInfo(ours.p != nullptr ? ours.p : referenced.p, &copy),
          "AddRefTypeInfo");
    return copy;
  }

  // A deep copy of a type description whose user-defined types refer into the new library.
  TYPEDESC CopyType(ITypeInfo* source, const TYPEDESC& type, ICreateTypeInfo2* target) {
    TYPEDESC copy = type;
    if (type.vt == VT_PTR || type.vt == VT_SAFEARRAY) {
      type_storage_.push_back(CopyType(source, *type.lptdesc, target));
      copy.lptdesc = &type_storage_.back();
    } else if (type.vt == VT_USERDEFINED) {
      copy.hreftype = Reference(source, type.hreftype, target);
    }
    return copy;
  }

  void Fill(ITypeInfo* source, ICreateTypeInfo2* target, WORD extra_flags) {
    TYPEATTR* attributes = nullptr;
    Check(source->GetTypeAttr(&attributes), "GetTypeAttr");
    Bstr help;
    DWORD help_context = 0;
    Check(source->GetDocumentation(MEMBERID_NIL, nullptr, &help, &help_context, nullptr),
          "type GetDocumentation");
    Check(target->SetGuid(attributes->guid), "SetGuid");
    Check(target->SetVersion(attributes->wMajorVerNum, attributes->wMinorVerNum), "SetVersion");
    if (help.value != nullptr) Check(target->SetDocString(help.value), "SetDocString");
    Check(target->SetHelpContext(help_context), "SetHelpContext");
    if (attributes->typekind == TKIND_ENUM || attributes->typekind == TKIND_RECORD) {
      Check(target->SetAlignment(attributes->cbAlignment), "SetAlignment");
    }
    // Implemented types before the flags: setting the dual flag makes the dispatch view, which
    // needs the interface's base in place.
    for (UINT index = 0; index < attributes->cImplTypes; ++index) {
      HREFTYPE reference = 0;
      INT flags = 0;
      Check(source->GetRefTypeOfImplType(index, &reference), "GetRefTypeOfImplType");
      Check(source->GetImplTypeFlags(index, &flags), "GetImplTypeFlags");
      Check(target->AddImplType(index, Reference(source, reference, target)), "AddImplType");
      if (attributes->typekind == TKIND_COCLASS) {
        Check(target->SetImplTypeFlags(index, flags), "SetImplTypeFlags");
      }
    }
    Check(target->SetTypeFlags(attributes->wTypeFlags | extra_flags), "SetTypeFlags");
    for (UINT index = 0; index < attributes->cFuncs; ++index) CopyFunction(source, index, target);
    for (UINT index = 0; index < attributes->cVars; ++index) {
      CopyVariable(source, index, target, attributes->typekind == TKIND_ENUM);
    }
    source->ReleaseTypeAttr(attributes);
  }

  void CopyFunction(ITypeInfo* source, UINT index, ICreateTypeInfo2* target) {
    FUNCDESC* function = nullptr;
    Check(source->GetFuncDesc(index, &function), "GetFuncDesc");
    FUNCDESC copy = *function;
    std::vector<ELEMDESC> params(function->lprgelemdescParam,
                                 function->lprgelemdescParam + function->cParams);
    for (ELEMDESC& param : params) {
      param.tdesc = CopyType(source, param.tdesc, target);
      if (IsWideBooleanDefault(param.paramdesc)) ++wide_boolean_defaults_;
    }
    copy.lprgelemdescParam = params.data();
    copy.elemdescFunc.tdesc = CopyType(source, function->elemdescFunc.tdesc, target);
    Check(target->AddFuncDesc(index, &copy), "AddFuncDesc");

    // GetNames answers for the first function with the identifier, which for a property is its
    // get; a put's value parameter carries no name of its own, so only the name is copied.
    BSTR names[64] = {};
    UINT count = 0;
    Check(source->GetNames(function->memid, names, 64, &count), "GetNames");
    const bool put = function->invkind & (INVOKE_PROPERTYPUT | INVOKE_PROPERTYPUTREF);
    const UINT wanted = put ? 1 : static_cast<UINT>(function->cParams) + 1;
    const HRESULT named =
        target->SetFuncAndParamNames(index, names, wanted < count ? wanted : count);
    Bstr help;
    DWORD help_context = 0;
    Check(source->GetDocumentation(function->memid, nullptr, &help, &help_context, nullptr),
          "function GetDocumentation");
    for (UINT name = 0; name < count; ++name) SysFreeString(names[name]);
    Check(named, "SetFuncAndParamNames");
    if (help.value != nullptr)
      Check(target->SetFuncDocString(index, help.value), "SetFuncDocString");
    Check(target->SetFuncHelpContext(index, help_context), "SetFuncHelpContext");
    source->ReleaseFuncDesc(function);
  }

  void CopyVariable(ITypeInfo* source, UINT index, ICreateTypeInfo2* target, bool enum_member) {
    VARDESC* variable = nullptr;
    Check(source->GetVarDesc(index, &variable), "GetVarDesc");
    VARDESC copy = *variable;
    copy.elemdescVar.tdesc = CopyType(source, variable->elemdescVar.tdesc, target);
    Check(target->AddVarDesc(index, &copy), "AddVarDesc");
    Bstr name, help;
    Check(source->GetDocumentation(variable->memid, &name, &help, nullptr, nullptr),
          "member GetDocumentation");
    Check(target->SetVarName(index, name.value), "SetVarName");
    // An enumeration member is documented by its own name; other members keep their text.
    const BSTR text = enum_member ? name.value : help.value;
    if (text != nullptr) Check(target->SetVarDocString(index, text), "SetVarDocString");
    source->ReleaseVarDesc(variable);
  }

  static bool IsWideBooleanDefault(const PARAMDESC& param) {
    if (!(param.wParamFlags & PARAMFLAG_FHASDEFAULT) || param.pparamdescex == nullptr) return false;
    const VARIANT& value = param.pparamdescex->varDefaultValue;
    return V_VT(&value) == VT_BOOL && (static_cast<USHORT>(V_BOOL(&value)) & 0xFF00) != 0;
  }

  ITypeLib* source_;
  ICreateTypeLib2* target_;
  int wide_boolean_defaults_ = 0;
  std::map<std::wstring, ICreateTypeInfo2*> created_;
  std::vector<ITypeInfo*> sources_;
  std::deque<TYPEDESC> type_storage_;  // a deque keeps the addresses handed out
};

// A default value stored in place is one 32-bit word: bit 31 set, the variant type in bits 26
// to 30, the value below. The faulty writer leaves 0x00FF where VARIANT_BOOL True is 0xFFFF.
void RepairBooleanDefaults(const wchar_t* path, int expected) {
  constexpr std::uint32_t kBoolTag = 0x80000000u | (std::uint32_t{VT_BOOL} << 26);
  constexpr std::uint32_t kTruncatedTrue = kBoolTag | 0x00FF, kTrue = kBoolTag | 0xFFFF;
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  std::vector<std::size_t> found;
  for (std::size_t offset = 0; offset + 4 <= bytes.size(); offset += 4) {
    std::uint32_t word = 0;
    std::memcpy(&word, bytes.data() + offset, 4);
    if (word == kTruncatedTrue) found.push_back(offset);
  }
  if (found.empty()) return;
  if (static_cast<int>(found.size()) != expected) {
    throw std::runtime_error("the saved library holds " + std::to_string(found.size()) +
                             " truncated boolean defaults where " + std::to_string(expected) +
                             " were written; not repairing it");
  }
  for (std::size_t offset : found) std::memcpy(bytes.data() + offset, &kTrue, 4);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("rewriting the saved library failed");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: typelib_fixer IN.tlb OUT.tlb\n");
    return 2;
  }
  try {
    Ref<ITypeLib> source;
    Check(LoadTypeLibEx(argv[1], REGKIND_NONE, &source), "loading the input library");
    TLIBATTR* header = nullptr;
    Check(source->GetLibAttr(&header), "GetLibAttr");
    const SYSKIND kind = header->syskind;
    source->ReleaseTLibAttr(header);
    Ref<ICreateTypeLib2> target;
    Check(CreateTypeLib2(kind, argv[2], &target), "CreateTypeLib2");
    int wide_boolean_defaults = 0;
    {
      Copier copier(source.p, target.p);
      copier.CopyHeader();
      copier.CreateTypes();
      copier.FillTypes();
      wide_boolean_defaults = copier.wide_boolean_defaults();
    }
    Check(target->SaveAllChanges(), "SaveAllChanges");
    target.p->Release();
    target.p = nullptr;  // closes the file before it is repaired
    RepairBooleanDefaults(argv[2], wide_boolean_defaults);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "typelib_fixer: %s\n", error.what());
    return 1;
  }
  return 0;
}
