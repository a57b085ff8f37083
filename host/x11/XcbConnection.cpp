#include "host/x11/XcbConnection.h"

#include <cstdlib>

namespace mirlet {

XcbConnection::XcbConnection() : connection_(xcb_connect(nullptr, nullptr)) {
  if (!isOpen()) return;
  if (const xcb_setup_t* setup = xcb_get_setup(connection_.get())) {
    root_ = xcb_setup_roots_iterator(setup).data->root;
  }
}

xcb_atom_t XcbConnection::atom(std::string_view name) {
  {
    std::lock_guard lock(mutex_);
    if (const auto found = atoms_.find(name); found != atoms_.end()) return found->second;
  }
  const auto cookie =
      xcb_intern_atom(connection_.get(), 0, static_cast<std::uint16_t>(name.size()), name.data());
  const auto reply = xcbReply(xcb_intern_atom_reply(connection_.get(), cookie, nullptr));
  if (!reply) return XCB_ATOM_NONE;
  std::lock_guard lock(mutex_);
  atoms_.emplace(std::string(name), reply->atom);
  names_.emplace(reply->atom, std::string(name));
  return reply->atom;
}

std::string XcbConnection::name(xcb_atom_t atom) {
  {
    std::lock_guard lock(mutex_);
    if (const auto found = names_.find(atom); found != names_.end()) return found->second;
  }
  const auto reply = xcbReply(xcb_get_atom_name_reply(
      connection_.get(), xcb_get_atom_name(connection_.get(), atom), nullptr));
  if (!reply) return {};
  std::string name(xcb_get_atom_name_name(reply.get()),
                   static_cast<std::size_t>(xcb_get_atom_name_name_length(reply.get())));
  std::lock_guard lock(mutex_);
  names_.emplace(atom, name);
  atoms_.emplace(name, atom);
  return name;
}

}  // namespace mirlet
