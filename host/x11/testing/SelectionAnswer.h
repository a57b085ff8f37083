#pragma once

#include <xcb/xcb.h>

namespace mirlet::testing {

// The notice a selection owner sends for a request: what was asked, with the
// property the answer was put in (XCB_ATOM_NONE for a refusal).
inline xcb_selection_notify_event_t selectionNotify(const xcb_selection_request_event_t& request,
                                                    xcb_atom_t property) {
  xcb_selection_notify_event_t notify{};
  notify.response_type = XCB_SELECTION_NOTIFY;
  notify.time = request.time;
  notify.requestor = request.requestor;
  notify.selection = request.selection;
  notify.target = request.target;
  notify.property = property;
  return notify;
}

}  // namespace mirlet::testing
