#include "component/connection_point.h"

#include <olectl.h>

#include <algorithm>
#include <new>
#include <utility>

#include "component/com_error.h"
#include "component/module_lifetime.h"
#include "lexivane_idl.h"

namespace lexivane::component {
namespace {

using Microsoft::WRL::ComPtr;

void AddRefItem(IConnectionPoint* point) {
  point->AddRef();
}
void ReleaseItem(IConnectionPoint* point) {
  point->Release();
}
void AddRefItem(const CONNECTDATA& connection) {
  connection.pUnk->AddRef();
}
void ReleaseItem(const CONNECTDATA& connection) {
  connection.pUnk->Release();
}

// A list that holds a reference to each of its items.
template <typename Item>
class HeldItems {
 public:
  HeldItems() = default;
  HeldItems(HeldItems&& other) noexcept : items_(std::move(other.items_)) { other.items_.clear(); }
  HeldItems& operator=(HeldItems&&) = delete;
  ~HeldItems() {
    for (const Item& item : items_) ReleaseItem(item);
  }

  void Add(const Item& item) {
    items_.push_back(item);
    AddRefItem(item);
  }
  std::size_t size() const { return items_.size(); }
  const Item& operator[](std::size_t index) const { return items_[index]; }

 private:
  std::vector<Item> items_;
};

// An enumerator over a list fixed when it was made: later connections and disconnections do
// not change what it hands out. It holds a reference to every item and hands out a new one with
// each copy, as the enumerator protocol asks. A live enumerator keeps the module loaded.
template <typename Interface, typename Item>
class SnapshotEnumerator final : public Interface {
 public:
  // Throws std::bad_alloc; items are released then.
  static Interface* Create(HeldItems<Item> items, std::size_t position) {
    return new SnapshotEnumerator(std::move(items), position);
  }
  SnapshotEnumerator(const SnapshotEnumerator&) = delete;
  SnapshotEnumerator& operator=(const SnapshotEnumerator&) = delete;

  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == __uuidof(Interface)) {
      *out = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  STDMETHODIMP Next(ULONG count, Item* out, ULONG* fetched) override {
    if (out == nullptr || (count != 1 && fetched == nullptr)) return E_POINTER;
    const std::size_t available = items_.size() - position_;
    const ULONG given = static_cast<ULONG>(std::min<std::size_t>(count, available));
    for (ULONG i = 0; i < given; ++i) {
      out[i] = items_[position_++];
      AddRefItem(out[i]);
    }
    if (fetched != nullptr) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    const std::size_t available = items_.size() - position_;
    const std::size_t skipped = std::min<std::size_t>(count, available);
    position_ += skipped;
    return skipped == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    position_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(Interface** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    return Guarded([&] {
      HeldItems<Item> copy;
      for (std::size_t i = 0; i < items_.size(); ++i) copy.Add(items_[i]);
      *out = Create(std::move(copy), position_);
      return S_OK;
    });
  }

 private:
  SnapshotEnumerator(HeldItems<Item> items, std::size_t position)
      : items_(std::move(items)), position_(position) {
    ObjectCreated();
  }
  ~SnapshotEnumerator() { ObjectDestroyed(); }

  HeldItems<Item> items_;
  std::size_t position_;
  ULONG references_ = 1;
};

}  // namespace

bool ConnectionPoint::IsConnected(DWORD cookie) const {
  return std::any_of(
      connections_.begin(), connections_.end(),
      [cookie](const Connection& connection) { return connection.cookie == cookie; });
}

STDMETHODIMP ConnectionPoint::QueryInterface(REFIID riid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IConnectionPoint) {
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (iid == nullptr) return E_POINTER;
  *iid = DIID___SpellCheck;
  return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
  if (out == nullptr) return E_POINTER;
  *out = &container_;
  container_.AddRef();
  return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (cookie == nullptr) return E_POINTER;
  *cookie = 0;
  if (sink == nullptr) return E_POINTER;
  if (next_cookie_ == 0) return CONNECT_E_ADVISELIMIT;
  // A sink is called through IDispatch::Invoke; one that answers for the event interface
  // itself is preferred, since that is the dispatch view that knows the events' identifiers.
  ComPtr<IDispatch> dispatch;
  if (FAILED(sink->QueryInterface(DIID___SpellCheck, &dispatch)) &&
      FAILED(sink->QueryInterface(IID_IDispatch, &dispatch))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  if (dispatch == nullptr) return CONNECT_E_CANNOTCONNECT;
  return Guarded([&] {
    connections_.push_back({next_cookie_, std::move(dispatch)});
    if (connections_.size() == 1) {
      try {
        listening_(true);
      } catch (...) {
        connections_.pop_back();
        throw;
      }
    }
    *cookie = next_cookie_++;
    return S_OK;
  });
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie) {
  const auto found =
      std::find_if(connections_.begin(), connections_.end(),
                   [cookie](const Connection& connection) { return connection.cookie == cookie; });
  if (found == connections_.end()) return CONNECT_E_NOCONNECTION;
  // The sink may release the object when it is released; the list is settled first.
  ComPtr<IDispatch> sink = std::move(found->sink);
  connections_.erase(found);
  if (connections_.empty()) listening_(false);
  return S_OK;
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  return Guarded([&] {
    HeldItems<CONNECTDATA> items;
    for (const Connection& connection : connections_) {
      items.Add({connection.sink.Get(), connection.cookie});
    }
    *out = SnapshotEnumerator<IEnumConnections, CONNECTDATA>::Create(std::move(items), 0);
    return S_OK;
  });
}

HRESULT EnumerateConnectionPoint(IConnectionPoint* point, IEnumConnectionPoints** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  return Guarded([&] {
    HeldItems<IConnectionPoint*> items;
    items.Add(point);
    *out =
        SnapshotEnumerator<IEnumConnectionPoints, IConnectionPoint*>::Create(std::move(items), 0);
    return S_OK;
  });
}

}  // namespace lexivane::component
