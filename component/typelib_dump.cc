// typelib_dump: prints everything a host can read from a type library, one fact per line, in a
// stable order, so that a built library can be compared with a committed listing.
//
// usage: typelib_dump FILE   (a .tlb, or a module that holds one as resource TYPELIB 1)
//
// For each type: kind, name, GUID, flags, version and help string; the implemented and inherited
// types with their flags; every function with its dispatch identifier, invocation and function
// kind, vtable offset, result type and help string; every parameter with its name, type, flags
// and default value; every enumeration member with its value and help string. A dual interface
// is listed as both halves: the dispatch view and the vtable interface behind it.
#include <windows.h>

#include <oleauto.h>

#include <cstdio>
#include <string>

namespace {

std::string Narrow(const wchar_t* text) {
  if (text == nullptr) return "(none)";
  std::string out;
  for (; *text != L'\0'; ++text) out += *text < 0x80 ? static_cast<char>(*text) : '?';
  return out;
}

// Owns one BSTR that a type library call filled in.
struct Bstr {
  BSTR value = nullptr;
  ~Bstr() { SysFreeString(value); }
  BSTR* operator&() { return &value; }
  std::string text() const { return Narrow(value); }
};

std::string GuidText(const GUID& guid) {
  wchar_t text[40];
  StringFromGUID2(guid, text, 40);
  return Narrow(text);
}

const char* KindName(TYPEKIND kind) {
  switch (kind) {
    case TKIND_ENUM:
      return "enum";
    case TKIND_RECORD:
      return "record";
    case TKIND_MODULE:
      return "module";
    case TKIND_INTERFACE:
      return "interface";
    case TKIND_DISPATCH:
      return "dispatch";
    case TKIND_COCLASS:
      return "coclass";
    case TKIND_ALIAS:
      return "alias";
    case TKIND_UNION:
      return "union";
    default:
      return "?";
  }
}

std::string TypeName(ITypeInfo* info, const TYPEDESC& type);

std::string ReferencedName(ITypeInfo* info, HREFTYPE reference) {
  ITypeInfo* target = nullptr;
  if (FAILED(info->GetRefTypeInfo(reference, &target))) return "(unresolved)";
  Bstr name;
  target->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr);
  target->Release();
  return name.text();
}

std::string TypeName(ITypeInfo* info, const TYPEDESC& type) {
  static const struct {
    VARTYPE vt;
    const char* name;
  } kNames[] = {{VT_EMPTY, "void"},      {VT_VOID, "void"},          {VT_I2, "short"},
                {VT_I4, "long"},         {VT_R4, "single"},          {VT_R8, "double"},
                {VT_BSTR, "BSTR"},       {VT_DISPATCH, "IDispatch"}, {VT_BOOL, "VARIANT_BOOL"},
                {VT_VARIANT, "VARIANT"}, {VT_UNKNOWN, "IUnknown"},   {VT_UI1, "byte"},
                {VT_INT, "int"},         {VT_UINT, "uint"},          {VT_HRESULT, "HRESULT"},
                {VT_LPSTR, "LPSTR"},     {VT_LPWSTR, "LPWSTR"},      {VT_UI4, "ulong"}};
  switch (type.vt) {
    case VT_PTR:
      return TypeName(info, *type.lptdesc) + "*";
    case VT_SAFEARRAY:
      return std::string("SAFEARRAY(").append(TypeName(info, *type.lptdesc)) + ")";
    case VT_USERDEFINED:
      return ReferencedName(info, type.hreftype);
    default:
      for (const auto& entry : kNames) {
        if (entry.vt == type.vt) return entry.name;
      }
      return std::string("vt").append(std::to_string(type.vt));
  }
}

// Integers and booleans are printed as the numbers stored, so that True reads -1, not "True".
std::string VariantText(const VARIANT& value) {
  std::string out;
  switch (V_VT(&value)) {
    case VT_BOOL:
      out = std::to_string(V_BOOL(&value));
      break;
    case VT_I2:
      out = std::to_string(V_I2(&value));
      break;
    case VT_I4:
      out = std::to_string(V_I4(&value));
      break;
    case VT_INT:
      out = std::to_string(V_INT(&value));
      break;
    case VT_BSTR:
      out = std::string("\"").append(Narrow(V_BSTR(&value))) + "\"";
      break;
    default: {
      VARIANT copy = value, text;
      VariantInit(&text);
      if (SUCCEEDED(VariantChangeTypeEx(&text, &copy, 0x0409, 0, VT_BSTR))) {
        out = Narrow(V_BSTR(&text));
      }
      VariantClear(&text);
    }
  }
  return std::string("vt").append(std::to_string(V_VT(&value))) + ":" + out;
}

std::string ParamFlags(USHORT flags) {
  std::string out;
  const auto add = [&](USHORT bit, const char* name) {
    if (flags & bit) out += out.empty() ? name : std::string(",") + name;
  };
  add(PARAMFLAG_FIN, "in");
  add(PARAMFLAG_FOUT, "out");
  add(PARAMFLAG_FLCID, "lcid");
  add(PARAMFLAG_FRETVAL, "retval");
  add(PARAMFLAG_FOPT, "optional");
  add(PARAMFLAG_FHASDEFAULT, "hasdefault");
  return out.empty() ? "none" : out;
}

void DumpFunctions(ITypeInfo* info, const TYPEATTR& attributes) {
  for (UINT index = 0; index < attributes.cFuncs; ++index) {
    FUNCDESC* function = nullptr;
    if (FAILED(info->GetFuncDesc(index, &function))) continue;
    BSTR names[32] = {};
    UINT count = 0;
    info->GetNames(function->memid, names, 32, &count);
    Bstr help;
    info->GetDocumentation(function->memid, nullptr, &help, nullptr, nullptr);
    std::printf(
        "  func %u %s memid=0x%08lX invkind=%d funckind=%d callconv=%d oVft=%d flags=0x%X "
        "optional=%d returns=%s help=\"%s\"\n",
        index, Narrow(names[0]).c_str(), static_cast<unsigned long>(function->memid),
        function->invkind, function->funckind, function->callconv, function->oVft,
        function->wFuncFlags, function->cParamsOpt,
        TypeName(info, function->elemdescFunc.tdesc).c_str(), help.text().c_str());
    for (SHORT param = 0; param < function->cParams; ++param) {
      const ELEMDESC& element = function->lprgelemdescParam[param];
      // A property put's value has no name of its own in the library.
      const UINT name_index = static_cast<UINT>(param) + 1;
      std::printf("    param %d %s %s flags=%s", param,
                  name_index < count ? Narrow(names[name_index]).c_str() : "(unnamed)",
                  TypeName(info, element.tdesc).c_str(),
                  ParamFlags(element.paramdesc.wParamFlags).c_str());
      if ((element.paramdesc.wParamFlags & PARAMFLAG_FHASDEFAULT) &&
          element.paramdesc.pparamdescex != nullptr) {
        std::printf(" default=%s",
                    VariantText(element.paramdesc.pparamdescex->varDefaultValue).c_str());
      }
      std::printf("\n");
    }
    for (UINT name = 0; name < count; ++name) SysFreeString(names[name]);
    info->ReleaseFuncDesc(function);
  }
}

void DumpVariables(ITypeInfo* info, const TYPEATTR& attributes) {
  for (UINT index = 0; index < attributes.cVars; ++index) {
    VARDESC* variable = nullptr;
    if (FAILED(info->GetVarDesc(index, &variable))) continue;
    Bstr name, help;
    info->GetDocumentation(variable->memid, &name, &help, nullptr, nullptr);
    std::printf("  var %u %s memid=0x%08lX kind=%d value=%s help=\"%s\"\n", index,
                name.text().c_str(), static_cast<unsigned long>(variable->memid), variable->varkind,
                variable->varkind == VAR_CONST ? VariantText(*variable->lpvarValue).c_str() : "-",
                help.text().c_str());
    info->ReleaseVarDesc(variable);
  }
}

void DumpType(ITypeInfo* info, const char* label) {
  TYPEATTR* attributes = nullptr;
  if (FAILED(info->GetTypeAttr(&attributes))) return;
  Bstr name, help;
  info->GetDocumentation(MEMBERID_NIL, &name, &help, nullptr, nullptr);
  std::printf(
      "%s %s %s %s flags=0x%X version=%u.%u funcs=%u vars=%u impls=%u vtable=%u help=\"%s\"\n",
      label, KindName(attributes->typekind), name.text().c_str(),
      GuidText(attributes->guid).c_str(), attributes->wTypeFlags, attributes->wMajorVerNum,
      attributes->wMinorVerNum, attributes->cFuncs, attributes->cVars, attributes->cImplTypes,
      attributes->cbSizeVft, help.text().c_str());
  for (UINT index = 0; index < attributes->cImplTypes; ++index) {
    HREFTYPE reference = 0;
    INT flags = 0;
    info->GetRefTypeOfImplType(index, &reference);
    info->GetImplTypeFlags(index, &flags);
    std::printf("  impl %u %s flags=0x%X\n", index, ReferencedName(info, reference).c_str(), flags);
  }
  DumpFunctions(info, *attributes);
  DumpVariables(info, *attributes);

  // The vtable half of a dual interface sits behind the dispatch view as implemented type -1.
  const bool dual_view =
      attributes->typekind == TKIND_DISPATCH && (attributes->wTypeFlags & TYPEFLAG_FDUAL);
  info->ReleaseTypeAttr(attributes);
  HREFTYPE vtable_reference = 0;
  ITypeInfo* vtable = nullptr;
  if (dual_view &&
      SUCCEEDED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtable_reference)) &&
      SUCCEEDED(info->GetRefTypeInfo(vtable_reference, &vtable))) {
    DumpType(vtable, "  vtable-half");
    vtable->Release();
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: typelib_dump FILE\n");
    return 2;
  }
  ITypeLib* library = nullptr;
  const HRESULT loaded = LoadTypeLibEx(argv[1], REGKIND_NONE, &library);
  if (FAILED(loaded)) {
    std::fprintf(stderr, "typelib_dump: cannot load a type library from %s (0x%08lX)\n",
                 Narrow(argv[1]).c_str(), static_cast<unsigned long>(loaded));
    return 1;
  }
  TLIBATTR* header = nullptr;
  library->GetLibAttr(&header);
  Bstr name, help, help_file;
  library->GetDocumentation(-1, &name, &help, nullptr, &help_file);
  std::printf(
      "library %s %s version=%u.%u lcid=%lu syskind=%d flags=0x%X help=\"%s\" helpfile=\"%s\"\n",
      name.text().c_str(), GuidText(header->guid).c_str(), header->wMajorVerNum,
      header->wMinorVerNum, static_cast<unsigned long>(header->lcid), header->syskind,
      header->wLibFlags, help.text().c_str(), help_file.text().c_str());
  library->ReleaseTLibAttr(header);

  const UINT count = library->GetTypeInfoCount();
  for (UINT index = 0; index < count; ++index) {
    ITypeInfo* info = nullptr;
    if (FAILED(library->GetTypeInfo(index, &info))) continue;
    const std::string label = std::string("type ").append(std::to_string(index));
    DumpType(info, label.c_str());
    info->Release();
  }
  library->Release();
  return 0;
}
