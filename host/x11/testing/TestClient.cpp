// Another application on the X display, for the end-to-end tests: a window of its
// own process that copies what it is told to, typed keys it reports, and hot keys
// it tries to grab. Commands come one per line on standard input; it answers on
// standard output.
//
//   copy-text TEXT | copy-html HTML | copy-png PATH | copy-files URI... | copy-secret TEXT
//   copy-withheld TEXT (offers the text, then never delivers it)
//   copy-secret-unhinted TEXT (a secret whose password-manager hint never comes)
//   asked (which targets' data were asked for since the last copy)
//   read (the clipboard's text, as another application pastes it)
//   focus | grab KEYCODE MODIFIERS | tray | quit
//   answers: ready, copied, asked nothing | asked TARGET..., read TEXT | unread, focused, grabbed,
//   occupied, tray, docked, key KEYCODE STATE
//
// With "tray" it is the system tray as well, and says "docked" when an icon asks
// to be docked.

#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "host/x11/testing/SelectionAnswer.h"

namespace {

xcb_connection_t* c = nullptr;
xcb_window_t window = 0;
bool awaitingFocus = false;
std::map<std::string, xcb_atom_t> atoms;
std::vector<std::pair<xcb_atom_t, std::string>> offered;
xcb_atom_t withheld = XCB_ATOM_NONE;  // offered, never delivered
std::vector<std::string> asked;       // targets whose data were asked for

xcb_atom_t atom(const std::string& name) {
  if (const auto found = atoms.find(name); found != atoms.end()) return found->second;
  auto* reply = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.c_str()), nullptr);
  const xcb_atom_t value = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atoms[name] = value;
}

void say(const std::string& line) { std::cout << line << std::endl; }

void own(std::vector<std::pair<std::string, std::string>> targets,
         const std::string& withhold = {}) {
  withheld = withhold.empty() ? xcb_atom_t{XCB_ATOM_NONE} : atom(withhold);
  offered.clear();
  asked.clear();
  for (auto& [name, data] : targets) offered.emplace_back(atom(name), std::move(data));
  xcb_set_selection_owner(c, window, atom("CLIPBOARD"), XCB_CURRENT_TIME);
  xcb_flush(c);
  say("copied");
}

void answer(const xcb_selection_request_event_t& request) {
  auto notify = mirlet::testing::selectionNotify(request, request.property);
  if (request.target == atom("TARGETS")) {
    std::vector<xcb_atom_t> list{atom("TARGETS")};
    for (const auto& [target, data] : offered) list.push_back(target);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, request.property,
                        XCB_ATOM_ATOM, 32, static_cast<std::uint32_t>(list.size()), list.data());
  } else if (request.target == withheld) {
    return;  // as a hung program: the requestor waits in vain
  } else {
    auto* name = xcb_get_atom_name_reply(c, xcb_get_atom_name(c, request.target), nullptr);
    if (name) {
      asked.emplace_back(xcb_get_atom_name_name(name), xcb_get_atom_name_name_length(name));
    }
    std::free(name);
    notify.property = XCB_ATOM_NONE;
    for (const auto& [target, data] : offered) {
      if (target != request.target) continue;
      xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, request.property, target, 8,
                          static_cast<std::uint32_t>(data.size()), data.data());
      notify.property = request.property;
    }
  }
  xcb_send_event(c, 0, request.requestor, 0, reinterpret_cast<const char*>(&notify));
  xcb_flush(c);
}

std::string rest(std::istringstream& words) {
  std::string text;
  std::getline(words, text);
  if (!text.empty() && text.front() == ' ') text.erase(text.begin());
  return text;
}

bool command(const std::string& line) {
  std::istringstream words(line);
  std::string verb;
  words >> verb;
  if (verb == "quit") return false;
  if (verb == "copy-withheld") {
    own({{"UTF8_STRING", rest(words)}}, "UTF8_STRING");
  } else if (verb == "copy-secret-unhinted") {
    own({{"UTF8_STRING", rest(words)}, {"x-kde-passwordManagerHint", "secret"}},
        "x-kde-passwordManagerHint");
  } else if (verb == "copy-text") {
    const std::string text = rest(words);
    own({{"UTF8_STRING", text}, {"text/plain;charset=utf-8", text}});
  } else if (verb == "copy-html") {
    const std::string html = rest(words);
    own({{"text/html", html}, {"UTF8_STRING", "texto del html"}});
  } else if (verb == "copy-png") {
    std::ifstream file(rest(words), std::ios::binary);
    own({{"image/png", std::string(std::istreambuf_iterator<char>(file), {})}});
  } else if (verb == "copy-files") {
    std::string list;
    for (std::string uri; words >> uri;) list += uri + "\r\n";
    own({{"text/uri-list", list}});
  } else if (verb == "copy-secret") {
    const std::string text = rest(words);
    own({{"UTF8_STRING", text}, {"x-kde-passwordManagerHint", "secret"}});
  } else if (verb == "read") {
    xcb_convert_selection(c, window, atom("CLIPBOARD"), atom("UTF8_STRING"), atom("TEST_READ"),
                          XCB_CURRENT_TIME);
    xcb_flush(c);
  } else if (verb == "asked") {
    std::string names;
    for (const auto& name : asked) names += " " + name;
    say("asked" + (names.empty() ? std::string(" nothing") : names));
  } else if (verb == "focus") {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom("_NET_ACTIVE_WINDOW");
    message.data.data32[0] = 2;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    // "focused" once the keyboard is really this window's.
    auto* focus = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
    const bool hasFocus = focus && focus->focus == window;
    std::free(focus);
    if (hasFocus) {
      say("focused");
    } else {
      awaitingFocus = true;
    }
  } else if (verb == "tray") {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t selection = atom("_NET_SYSTEM_TRAY_S0");
    xcb_set_selection_owner(c, window, selection, XCB_CURRENT_TIME);
    xcb_client_message_event_t manager{};
    manager.response_type = XCB_CLIENT_MESSAGE;
    manager.format = 32;
    manager.window = root;
    manager.type = atom("MANAGER");
    manager.data.data32[0] = XCB_CURRENT_TIME;
    manager.data.data32[1] = selection;
    manager.data.data32[2] = window;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&manager));
    xcb_flush(c);
    say("tray");
  } else if (verb == "grab") {
    int key = 0;
    int modifiers = 0;
    words >> key >> modifiers;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    auto* error =
        xcb_request_check(c, xcb_grab_key_checked(c, 0, root, static_cast<std::uint16_t>(modifiers),
                                                  static_cast<xcb_keycode_t>(key),
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    say(error ? "occupied" : "grabbed");
    std::free(error);
  }
  return true;
}

}  // namespace

int main() {
  c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) return 1;
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  window = xcb_generate_id(c);
  const std::uint32_t events = XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_FOCUS_CHANGE;
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 10, 10, 300, 200, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK, &events);
  const std::uint32_t pid = static_cast<std::uint32_t>(::getpid());
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32,
                      1, &pid);
  const char windowClass[] = "testclient\0TestClient";
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                      sizeof windowClass, windowClass);
  const std::string title = "Ventana de prueba";
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_NAME"), atom("UTF8_STRING"),
                      8, static_cast<std::uint32_t>(title.size()), title.data());
  xcb_map_window(c, window);
  xcb_flush(c);
  say("ready");

  std::string pending;
  while (true) {
    pollfd descriptors[2] = {{STDIN_FILENO, POLLIN, 0}, {xcb_get_file_descriptor(c), POLLIN, 0}};
    ::poll(descriptors, 2, -1);
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
      const std::uint8_t type = event->response_type & 0x7F;
      if (type == XCB_SELECTION_REQUEST) {
        answer(*reinterpret_cast<xcb_selection_request_event_t*>(event));
      } else if (type == XCB_SELECTION_NOTIFY) {
        const auto* notify = reinterpret_cast<xcb_selection_notify_event_t*>(event);
        auto* reply =
            notify->property == XCB_ATOM_NONE
                ? nullptr
                : xcb_get_property_reply(c,
                                         xcb_get_property(c, 1, window, notify->property,
                                                          XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 20),
                                         nullptr);
        if (reply) {
          const auto* text = static_cast<const char*>(xcb_get_property_value(reply));
          say("read " + std::string(text, xcb_get_property_value_length(reply)));
        } else {
          say("unread");
        }
        std::free(reply);
      } else if (type == XCB_FOCUS_IN && awaitingFocus) {
        awaitingFocus = false;
        say("focused");
      } else if (type == XCB_CLIENT_MESSAGE) {
        const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
        // SYSTEM_TRAY_REQUEST_DOCK
        if (message->type == atom("_NET_SYSTEM_TRAY_OPCODE") && message->data.data32[1] == 0) {
          say("docked");
        }
      } else if (type == XCB_KEY_PRESS) {
        const auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
        say("key " + std::to_string(key->detail) + " " + std::to_string(key->state));
      }
      std::free(event);
    }
    if (xcb_connection_has_error(c)) return 1;
    if (descriptors[0].revents & (POLLIN | POLLHUP)) {
      char buffer[4096];
      const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
      if (count <= 0) return 0;
      pending.append(buffer, static_cast<std::size_t>(count));
      for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
        const std::string line = pending.substr(0, end);
        pending.erase(0, end + 1);
        if (!command(line)) return 0;
      }
    }
  }
}
