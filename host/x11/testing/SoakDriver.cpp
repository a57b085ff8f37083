// Drives a running Mirlet for a long while from several X clients, as a hostile
// desktop would, and says at the end what held:
//
//   x11_soak_driver SECONDS HISTORY_FOLDER MIRLET_PID FILES_FOLDER [SEED]
//
// At random intervals one of the clients copies: well-behaved ones text, HTML, an
// image or files; a password manager its secret, hinted, or with the hint withheld;
// hostile ones a copy they never deliver, one they trickle in slow INCR parts, or
// one they quit in the middle of. Each copy carries a token of its own. A watcher
// sees every change of the clipboard's owner. At the end the driver checks that
// every well-behaved copy is in the history folder, that no secret is there in
// plain text, that Mirlet took the clipboard only when nobody owned it, and that
// Mirlet still runs; it samples Mirlet's resident memory each minute. Exit status
// 0 when all held, 1 otherwise; the figures go to standard output.

#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "host/x11/testing/SelectionAnswer.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

xcb_atom_t intern(xcb_connection_t* c, const std::string& name) {
  auto* reply = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.c_str()), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

enum class Kind { text, html, image, files, secret, hintWithheld, hung, trickled, quitter };

constexpr std::size_t kPartBytes = 64 << 10;

// One client: a connection, a window, and what it offers while it owns the
// clipboard, answered as its kind answers.
class Owner {
 public:
  Owner() : c_(xcb_connect(nullptr, nullptr)) {
    if (xcb_connection_has_error(c_)) return;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
    window_ = xcb_generate_id(c_);
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    clipboard_ = intern(c_, "CLIPBOARD");
    targets_ = intern(c_, "TARGETS");
    incr_ = intern(c_, "INCR");
    xcb_flush(c_);
  }
  ~Owner() { xcb_disconnect(c_); }
  Owner(const Owner&) = delete;
  Owner& operator=(const Owner&) = delete;

  xcb_window_t window() const { return window_; }
  bool gone() const { return gone_; }

  void copy(Kind kind, std::vector<std::pair<std::string, std::string>> offered,
            std::set<std::string> withheld = {}) {
    kind_ = kind;
    offered_.clear();
    for (auto& [name, data] : offered) offered_.emplace_back(intern(c_, name), std::move(data));
    withheld_.clear();
    for (const auto& name : withheld) withheld_.insert(intern(c_, name));
    outgoing_.clear();
    xcb_set_selection_owner(c_, window_, clipboard_, XCB_CURRENT_TIME);
    xcb_flush(c_);
  }

  // Answers what has come, and sends the parts that are due.
  void serve(Clock::time_point now) {
    if (gone_) return;
    while (auto* event = xcb_poll_for_event(c_)) {
      const std::uint8_t type = event->response_type & 0x7F;
      if (type == XCB_SELECTION_REQUEST) {
        answer(*reinterpret_cast<xcb_selection_request_event_t*>(event));
      } else if (type == XCB_PROPERTY_NOTIFY) {
        const auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event);
        for (auto& outgoing : outgoing_) {
          if (notify->state == XCB_PROPERTY_DELETE && notify->window == outgoing.requestor &&
              notify->atom == outgoing.property && !outgoing.due) {
            outgoing.due = now + (kind_ == Kind::trickled ? std::chrono::milliseconds(700)
                                                          : std::chrono::milliseconds(0));
          }
        }
      }
      std::free(event);
    }
    for (auto& outgoing : outgoing_) {
      if (!outgoing.due || *outgoing.due > now || outgoing.finished) continue;
      if (kind_ == Kind::quitter && outgoing.offset > 0) {
        gone_ = true;  // quits in the middle of the transfer
        return;
      }
      outgoing.due.reset();
      const std::size_t length = std::min(kPartBytes, outgoing.data.size() - outgoing.offset);
      xcb_change_property(c_, XCB_PROP_MODE_REPLACE, outgoing.requestor, outgoing.property,
                          outgoing.target, 8, static_cast<std::uint32_t>(length),
                          outgoing.data.data() + outgoing.offset);
      outgoing.offset += length;
      outgoing.finished = length == 0;
    }
    std::erase_if(outgoing_, [](const Outgoing& outgoing) { return outgoing.finished; });
    xcb_flush(c_);
  }

 private:
  struct Outgoing {
    xcb_window_t requestor;
    xcb_atom_t property;
    xcb_atom_t target;
    std::string data;
    std::size_t offset = 0;
    std::optional<Clock::time_point> due;
    bool finished = false;
  };

  void answer(const xcb_selection_request_event_t& request) {
    auto notify = mirlet::testing::selectionNotify(request, request.property);
    if (request.target == targets_) {
      std::vector<xcb_atom_t> list{targets_};
      for (const auto& [target, data] : offered_) list.push_back(target);
      xcb_change_property(c_, XCB_PROP_MODE_REPLACE, request.requestor, request.property,
                          XCB_ATOM_ATOM, 32, static_cast<std::uint32_t>(list.size()), list.data());
    } else if (withheld_.contains(request.target)) {
      return;  // the requestor waits in vain
    } else {
      notify.property = XCB_ATOM_NONE;
      for (const auto& [target, data] : offered_) {
        if (target != request.target) continue;
        notify.property = request.property;
        if (data.size() <= kPartBytes) {
          xcb_change_property(c_, XCB_PROP_MODE_REPLACE, request.requestor, request.property,
                              target, 8, static_cast<std::uint32_t>(data.size()), data.data());
        } else {
          const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
          xcb_change_window_attributes(c_, request.requestor, XCB_CW_EVENT_MASK, &events);
          const auto size = static_cast<std::uint32_t>(data.size());
          xcb_change_property(c_, XCB_PROP_MODE_REPLACE, request.requestor, request.property, incr_,
                              32, 1, &size);
          outgoing_.push_back({request.requestor, request.property, target, data});
        }
      }
    }
    xcb_send_event(c_, 0, request.requestor, 0, reinterpret_cast<const char*>(&notify));
    xcb_flush(c_);
  }

  xcb_connection_t* c_;
  xcb_window_t window_ = XCB_WINDOW_NONE;
  xcb_atom_t clipboard_ = XCB_ATOM_NONE;
  xcb_atom_t targets_ = XCB_ATOM_NONE;
  xcb_atom_t incr_ = XCB_ATOM_NONE;
  Kind kind_ = Kind::text;
  std::vector<std::pair<xcb_atom_t, std::string>> offered_;
  std::set<xcb_atom_t> withheld_;
  std::vector<Outgoing> outgoing_;
  bool gone_ = false;
};

// A valid PNG of one pixel whose colour is the given byte: images of different
// copies differ.
std::string png(std::uint8_t shade) {
  std::string image("\x89PNG\r\n\x1a\n", 8);
  const auto crc = [](const std::string& bytes) {
    std::uint32_t value = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
      value ^= byte;
      for (int bit = 0; bit < 8; ++bit) value = (value >> 1) ^ (0xEDB88320u & (0u - (value & 1u)));
    }
    return value ^ 0xFFFFFFFFu;
  };
  const auto be = [](std::uint32_t value) {
    return std::string{static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                       static_cast<char>(value >> 8), static_cast<char>(value)};
  };
  const auto chunk = [&](const std::string& type, const std::string& data) {
    image += be(static_cast<std::uint32_t>(data.size())) + type + data + be(crc(type + data));
  };
  chunk("IHDR", be(1) + be(1) + std::string("\x08\x00\x00\x00\x00", 5));
  // Stored (uncompressed) deflate block of the one scanline: filter 0, the shade.
  const std::string scanline{'\0', static_cast<char>(shade)};
  std::uint32_t a = 1, b = 0;
  for (unsigned char byte : scanline) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  chunk("IDAT", std::string("\x78\x01\x01\x02\x00\xfd\xff", 7) + scanline + be((b << 16) | a));
  chunk("IEND", "");
  return image;
}

// Whether the process still runs: a process that ended stays a zombie until its
// parent (the soak script) waits for it.
bool isRunning(int pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("State:")) return line.find('Z') == std::string::npos;
  }
  return false;
}

long residentKilobytes(int pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("VmRSS:")) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

// Whether any file under `folder` holds `text`.
bool folderHolds(const fs::path& folder, const std::string& text) {
  std::error_code error;
  for (const auto& entry : fs::recursive_directory_iterator(folder, error)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream stream(entry.path(), std::ios::binary);
    const std::string contents((std::istreambuf_iterator<char>(stream)), {});
    if (contents.find(text) != std::string::npos) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::cerr << "usage: x11_soak_driver SECONDS HISTORY_FOLDER MIRLET_PID FILES_FOLDER [SEED]\n";
    return 2;
  }
  const auto duration = std::chrono::seconds(std::atoi(argv[1]));
  const fs::path history = argv[2];
  const int mirlet = std::atoi(argv[3]);
  const fs::path files = argv[4];
  const unsigned seed =
      argc > 5 ? static_cast<unsigned>(std::atoi(argv[5])) : std::random_device{}();
  std::mt19937 random(seed);
  std::cout << "seed " << seed << std::endl;

  // The watcher: every change of the clipboard's owner.
  xcb_connection_t* watcher = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(watcher)) return 2;
  const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(watcher, &xcb_xfixes_id);
  if (!xfixes || !xfixes->present) return 2;
  std::free(
      xcb_xfixes_query_version_reply(watcher, xcb_xfixes_query_version(watcher, 5, 0), nullptr));
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(watcher)).data;
  const xcb_window_t watch = xcb_generate_id(watcher);
  xcb_create_window(watcher, XCB_COPY_FROM_PARENT, watch, screen->root, 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
  xcb_xfixes_select_selection_input(watcher, watch, intern(watcher, "CLIPBOARD"),
                                    XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                        XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                        XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
  xcb_flush(watcher);

  const std::vector<Kind> kinds{Kind::text,    Kind::text,        Kind::html, Kind::image,
                                Kind::files,   Kind::secret,      Kind::hung, Kind::trickled,
                                Kind::quitter, Kind::hintWithheld};
  std::map<Kind, std::unique_ptr<Owner>> owners;
  std::map<std::string, int> copies;
  std::vector<std::string> kept;     // tokens every well-behaved copy must leave
  std::vector<std::string> secrets;  // tokens that must never be on disk in plain text
  std::set<xcb_window_t> ours;
  int replaced = 0;
  int restored = 0;
  bool ownerless = false;  // the clipboard's owner went away and nobody took it since
  std::vector<long> memory;

  const auto start = Clock::now();
  auto nextCopy = start;
  auto nextSample = start;
  for (int n = 0;; ++n) {
    const auto now = Clock::now();
    if (now - start >= duration) break;
    if (now >= nextSample) {
      memory.push_back(residentKilobytes(mirlet));
      nextSample += std::chrono::minutes(1);
    }
    if (now >= nextCopy) {
      const Kind kind = kinds[random() % kinds.size()];
      auto& owner = owners[kind];
      if (!owner || owner->gone() || kind == Kind::quitter) owner = std::make_unique<Owner>();
      ours.insert(owner->window());
      const std::string token = "soak" + std::to_string(static_cast<int>(kind)) + "n" +
                                std::to_string(n) + "x" + std::to_string(random());
      switch (kind) {
        case Kind::text:
          owner->copy(kind, {{"UTF8_STRING", "texto " + token}, {"text/plain", "texto " + token}});
          kept.push_back(token);
          ++copies["texto"];
          break;
        case Kind::html:
          owner->copy(kind,
                      {{"text/html", "<b>" + token + "</b>"}, {"UTF8_STRING", "html " + token}});
          kept.push_back(token);
          ++copies["html"];
          break;
        case Kind::image:
          owner->copy(kind, {{"image/png", png(static_cast<std::uint8_t>(n))}});
          ++copies["imagen"];
          break;
        case Kind::files: {
          const fs::path file = files / (token + ".txt");
          std::ofstream(file) << token;
          owner->copy(kind, {{"text/uri-list", "file://" + file.string() + "\r\n"}});
          kept.push_back(token);
          ++copies["archivos"];
          break;
        }
        case Kind::secret:
          owner->copy(kind,
                      {{"UTF8_STRING", "clave " + token}, {"x-kde-passwordManagerHint", "secret"}});
          secrets.push_back(token);
          ++copies["secreto"];
          break;
        case Kind::hintWithheld:
          owner->copy(kind,
                      {{"UTF8_STRING", "clave " + token}, {"x-kde-passwordManagerHint", "secret"}},
                      {"x-kde-passwordManagerHint"});
          secrets.push_back(token);
          ++copies["secreto sin pista"];
          break;
        case Kind::hung:
          owner->copy(kind, {{"UTF8_STRING", "colgado " + token}}, {"UTF8_STRING"});
          ++copies["colgado"];
          break;
        case Kind::trickled:
          owner->copy(kind, {{"UTF8_STRING", token + std::string(1 << 20, '.')}});
          ++copies["a goteo"];
          break;
        case Kind::quitter:
          owner->copy(kind, {{"UTF8_STRING", token + std::string(1 << 20, '-')}});
          ++copies["se va a medias"];
          break;
      }
      ownerless = false;
      nextCopy = now + std::chrono::milliseconds(300 + random() % 2700);
    }
    for (auto& [kind, owner] : owners) {
      if (!owner) continue;
      owner->serve(now);
      if (owner->gone()) owner.reset();  // the quitter's connection closes here
    }
    while (auto* event = xcb_poll_for_event(watcher)) {
      if ((event->response_type & 0x7F) == xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY) {
        const auto* notice = reinterpret_cast<xcb_xfixes_selection_notify_event_t*>(event);
        if (notice->owner == XCB_WINDOW_NONE) {
          ownerless = true;
        } else if (!ours.contains(notice->owner)) {
          // Mirlet took the clipboard: right only when nobody owned it.
          (ownerless ? restored : replaced) += 1;
          ownerless = false;
        }
      }
      std::free(event);
    }
    pollfd descriptor{xcb_get_file_descriptor(watcher), POLLIN, 0};
    ::poll(&descriptor, 1, 20);
  }

  // The last copies' time to be kept and saved.
  const auto settle = Clock::now() + std::chrono::seconds(5);
  while (Clock::now() < settle) {
    for (auto& [kind, owner] : owners) {
      if (owner) owner->serve(Clock::now());
    }
    ::usleep(20000);
  }
  memory.push_back(residentKilobytes(mirlet));

  int missing = 0;
  for (const auto& token : kept) {
    if (!folderHolds(history, token)) {
      if (missing < 5) std::cout << "missing: " << token << "\n";
      ++missing;
    }
  }
  int exposed = 0;
  for (const auto& token : secrets) exposed += folderHolds(history, token) ? 1 : 0;
  const bool alive = isRunning(mirlet);

  std::cout << "copies:";
  for (const auto& [name, count] : copies) std::cout << " " << name << " " << count << ";";
  std::cout << "\nwell-behaved copies kept: " << kept.size() - missing << " of " << kept.size()
            << "\nsecrets on disk in plain text: " << exposed << " of " << secrets.size()
            << "\ncopies replaced by Mirlet: " << replaced
            << "\nlatest item put back with nobody owning the clipboard: " << restored
            << "\nresident memory each minute (KiB):";
  for (long sample : memory) std::cout << " " << sample;
  std::cout << "\nMirlet still running: " << (alive ? "yes" : "no") << std::endl;

  // Growth after the first minutes: the last sample against the third minute's.
  const bool steady = memory.size() < 4 || memory.back() <= memory[2] + memory[2] / 5;
  const bool held = missing == 0 && exposed == 0 && replaced == 0 && alive && steady;
  std::cout << (held ? "held" : "FAILED") << std::endl;
  xcb_disconnect(watcher);
  return held ? 0 : 1;
}
