#pragma once

#include <xcb/xcb.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace mirlet {

// One connection to the X display named by DISPLAY, with the atoms it has
// interned by name. Requests may come from any thread; the events belong to
// whoever reads them.
class XcbConnection {
 public:
  XcbConnection();
  XcbConnection(const XcbConnection&) = delete;
  XcbConnection& operator=(const XcbConnection&) = delete;

  bool isOpen() const { return xcb_connection_has_error(connection_.get()) == 0; }
  xcb_connection_t* get() const { return connection_.get(); }
  xcb_window_t root() const { return root_; }

  // The atom of a name, interned on first use; XCB_ATOM_NONE when the display
  // is gone.
  xcb_atom_t atom(std::string_view name);
  // The name of an atom; empty when it has none.
  std::string name(xcb_atom_t atom);

 private:
  struct Disconnect {
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
  };
  std::unique_ptr<xcb_connection_t, Disconnect> connection_;
  xcb_window_t root_ = XCB_WINDOW_NONE;
  std::mutex mutex_;
  std::map<std::string, xcb_atom_t, std::less<>> atoms_;
  std::map<xcb_atom_t, std::string> names_;
};

// A reply of xcb, freed with `free` as xcb asks.
template <class Reply>
struct XcbReply {
  struct Free {
    void operator()(void* reply) const { std::free(reply); }
  };
  using Pointer = std::unique_ptr<Reply, Free>;
};
template <class Reply>
typename XcbReply<Reply>::Pointer xcbReply(Reply* reply) {
  return typename XcbReply<Reply>::Pointer(reply);
}

}  // namespace mirlet
