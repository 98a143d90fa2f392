// The automation object's one connection point, for the event interface __SpellCheck, and the
// enumerators that the connection point protocol hands out.
//
// ConnectionPoint lives inside the object (the container) and shares its reference count: its
// AddRef and Release are the container's, so a host that holds the point holds the object. It
// keeps each connected sink's IDispatch with a reference until Unadvise or until the object
// goes away. Cookies count up from 1 and are never given twice by one object.
//
// The event forwarder reads the connections through Snapshot() and IsConnected(), so that a
// sink may connect or disconnect sinks (itself included) while an event is being raised. The
// object hears when the first sink connects and when the last one goes, so that its engine
// raises events only while somebody listens.
//
// Apartment-threaded like its object: every call arrives on the object's thread; nothing is
// locked.
#pragma once

#include <windows.h>

#include <ocidl.h>
#include <wrl/client.h>

#include <functional>
#include <utility>
#include <vector>

namespace lexivane::component {

class ConnectionPoint final : public IConnectionPoint {
 public:
  struct Connection {
    DWORD cookie;
    Microsoft::WRL::ComPtr<IDispatch> sink;
  };

  // container is not referenced: it owns this point. listening(true) is called when the first
  // sink connects, listening(false) when the last one is gone.
  ConnectionPoint(IConnectionPointContainer& container, std::function<void(bool)> listening)
      : container_(container), listening_(std::move(listening)) {}
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  // The connected sinks, in the order of connection, each held by the copy.
  std::vector<Connection> Snapshot() const { return connections_; }
  bool IsConnected(DWORD cookie) const;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return container_.AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return container_.Release(); }

  // IConnectionPoint
  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** out) override;

 private:
  IConnectionPointContainer& container_;
  std::function<void(bool)> listening_;
  std::vector<Connection> connections_;
  DWORD next_cookie_ = 1;  // 0 once every cookie has been given
};

// A new enumerator over the one connection point of a container.
HRESULT EnumerateConnectionPoint(IConnectionPoint* point, IEnumConnectionPoints** out);

}  // namespace lexivane::component
