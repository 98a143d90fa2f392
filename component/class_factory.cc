#include "component/class_factory.h"

#include "component/module_lifetime.h"
#include "component/spell_check_object.h"

namespace lexivane::component {
namespace {

class SpellCheckClassFactory final : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *out = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }

  // The factory is never freed; its references are locks on the server.
  STDMETHODIMP_(ULONG) AddRef() override {
    LockServer(true);
    return 2;
  }
  STDMETHODIMP_(ULONG) Release() override {
    LockServer(false);
    return 1;
  }

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    return CreateSpellCheckObject(outer, riid, out);
  }

  STDMETHODIMP LockServer(BOOL lock) override {
    component::LockServer(lock != FALSE);
    return S_OK;
  }
};

SpellCheckClassFactory factory;

}  // namespace

HRESULT GetSpellCheckClassFactory(REFIID riid, void** out) {
  return factory.QueryInterface(riid, out);
}

}  // namespace lexivane::component
