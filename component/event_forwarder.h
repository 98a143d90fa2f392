// EventForwarder: the engine's event sink inside the automation object, which raises each event
// of a text check run on every sink connected to the object's connection point.
//
// Each event becomes one IDispatch::Invoke per sink with DISPATCH_METHOD, the event's dispatch
// identifier and its arguments in reverse order (rgvarg[0] is the last parameter), all by value
// except Cancel (VT_BYREF | VT_BOOL, read back: only VARIANT_TRUE cancels) and sSuggestions
// (VT_BYREF | VT_ARRAY | VT_VARIANT, an empty array; whatever a sink puts there is discarded).
//
// Sinks are called in the order of connection, from a snapshot taken when the event starts; a
// sink disconnected by an earlier handler of the same event is skipped. A sink whose Invoke fails
// is passed over: one broken handler does not stop the run or the other sinks. The object is
// held by a reference while an event is raised, so a handler may release it or disconnect
// itself.
//
// Runs on the object's thread, inside CheckText; nothing is locked.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "component/connection_point.h"
#include "lexivane/events.h"

namespace lexivane::component {

class EventForwarder final : public SpellCheckEvents {
 public:
  // Neither is owned: both belong to the object that owns this forwarder.
  EventForwarder(ConnectionPoint& connections, IUnknown& object)
      : connections_(connections), object_(object) {}

  void SpellReplace(std::u16string_view sOriginalWord, std::u16string_view sReplacementWord,
                    std::int32_t lPosStart, std::vector<std::u16string>& sSuggestions) override;
  void SpellWordNotInDic(std::u16string_view sOriginalWord, std::int32_t lPosStart,
                         bool& Cancel) override;
  void SpellChangeAll(std::u16string_view sOriginalWord, std::u16string_view sReplacementWord,
                      std::int32_t lPosStart) override;
  void SpellCheckCancel() override;
  void SpellCheckComplete(std::int32_t lNumWordsChecked) override;
  void SpellCheckProgress(std::int32_t lPosition, std::int32_t lTotal,
                          std::int32_t lWords) override;

 private:
  ConnectionPoint& connections_;
  IUnknown& object_;
};

}  // namespace lexivane::component
