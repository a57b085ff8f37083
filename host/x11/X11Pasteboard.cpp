#include "host/x11/X11Pasteboard.h"

#include <poll.h>
#include <xcb/res.h>
#include <xcb/xfixes.h>

#include <algorithm>
#include <cstring>

#include "core/PasteboardMarkers.h"
#include "host/IncrementalTransfer.h"
#include "host/SelectionContents.h"

namespace mirlet {
namespace {

// The most one property carries; larger answers go in INCR parts of this size.
constexpr std::size_t kPartBytes = std::size_t{256} << 10;
// An INCR answer whose requestor stopped asking is dropped after this long.
constexpr auto kOutgoingLifetime = std::chrono::seconds(30);

// One item of the contents as they were when read; it gives no data once the
// pasteboard has changed again, nor when the plan was to read none.
class SnapshotItem : public PasteboardItem {
 public:
  SnapshotItem(std::shared_ptr<const std::vector<PasteboardItemData>> contents, std::size_t index,
               bool dataRead, std::shared_ptr<std::atomic<std::int64_t>> generation)
      : contents_(std::move(contents)),
        index_(index),
        dataRead_(dataRead),
        generation_(std::move(generation)),
        readAt_(generation_->load()) {}

  std::vector<std::string> types() const override {
    std::vector<std::string> types;
    for (const auto& representation : item().representations) types.push_back(representation.type);
    return types;
  }
  std::optional<Bytes> data(const std::string& type) const override {
    if (!dataRead_ || generation_->load() != readAt_) return std::nullopt;
    const auto& representations = item().representations;
    const auto found =
        std::ranges::find(representations, type, &PasteboardItemData::Representation::type);
    if (found == representations.end()) return std::nullopt;
    return found->data;
  }

 private:
  const PasteboardItemData& item() const { return (*contents_)[index_]; }

  std::shared_ptr<const std::vector<PasteboardItemData>> contents_;
  std::size_t index_;
  bool dataRead_;
  std::shared_ptr<std::atomic<std::int64_t>> generation_;
  std::int64_t readAt_;
};

}  // namespace

struct X11Pasteboard::Outgoing {
  xcb_window_t requestor;
  xcb_atom_t property;
  xcb_atom_t type;
  std::shared_ptr<const Offer> offer;
  std::size_t index;
  std::size_t offset = 0;
  Clock::time_point lastActivity;
};

X11Pasteboard::X11Pasteboard(MainLoop& mainLoop, Limits limits)
    : mainLoop_(mainLoop),
      limits_(limits),
      contents_(std::make_shared<const std::vector<PasteboardItemData>>()),
      generation_(std::make_shared<std::atomic<std::int64_t>>(0)) {
  if (!connection_.isOpen()) return;
  xcb_connection_t* c = connection_.get();
  const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(c, &xcb_xfixes_id);
  if (!xfixes || !xfixes->present) return;
  const auto version =
      xcbReply(xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 5, 0), nullptr));
  if (!version) return;
  xfixesEvent_ = xfixes->first_event;

  window_ = xcb_generate_id(c);
  const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window_, connection_.root(), 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
  clipboard_ = connection_.atom("CLIPBOARD");
  for (std::size_t i = 0; i < properties_.size(); ++i) {
    properties_[i] = connection_.atom("MIRLET_SELECTION_" + std::to_string(i));
  }
  incr_ = connection_.atom("INCR");
  targets_ = connection_.atom("TARGETS");
  stop_ = connection_.atom("MIRLET_STOP");
  planned_ = connection_.atom("MIRLET_PLANNED");
  xcb_xfixes_select_selection_input(c, window_, clipboard_,
                                    XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                        XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                        XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
  // A round trip: the server listens for changes before the constructor returns.
  xcbReply(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
  available_ = connection_.isOpen();
  if (available_) thread_ = std::thread([this] { run(); });
}

X11Pasteboard::~X11Pasteboard() {
  if (!thread_.joinable()) return;
  sendToSelf(stop_);
  thread_.join();
}

std::vector<std::shared_ptr<const PasteboardItem>> X11Pasteboard::items() const {
  std::vector<std::shared_ptr<const PasteboardItem>> items;
  for (std::size_t i = 0; i < contents_->size(); ++i) {
    items.push_back(std::make_shared<SnapshotItem>(contents_, i, dataRead_, generation_));
  }
  return items;
}

void X11Pasteboard::clearContents() {
  ++changeCount_;
  ++*generation_;
  contents_ = std::make_shared<const std::vector<PasteboardItemData>>();
  dataRead_ = true;
  ownerProcessID_.reset();
  std::lock_guard lock(offeredMutex_);
  offered_.reset();
}

bool X11Pasteboard::writeItems(const std::vector<PasteboardItemData>& items) {
  if (!available_ || !connection_.isOpen()) return false;
  {
    std::lock_guard lock(offeredMutex_);
    offered_ = std::make_shared<const Offer>(SelectionContents::targets(items));
  }
  ++changeCount_;
  ++*generation_;
  contents_ = std::make_shared<const std::vector<PasteboardItemData>>(items);
  dataRead_ = true;
  ownerProcessID_.reset();
  // Taken at once, before anything this program does next can reach the display;
  // the notice of it is this write's, already counted.
  xcb_set_selection_owner(connection_.get(), window_, clipboard_, XCB_CURRENT_TIME);
  xcb_flush(connection_.get());
  handoff_.post(mainLoop_, [this] { changed_.emit(); });
  return true;
}

Subscription X11Pasteboard::planReads(Planner planner) {
  auto held = std::make_shared<Planner>(std::move(planner));
  planner_ = held;
  // The planner lives as long as the subscription holds it.
  return Subscription([held] {});
}

void X11Pasteboard::sendToSelf(xcb_atom_t message) {
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window_;
  event.type = message;
  xcb_send_event(connection_.get(), 0, window_, XCB_EVENT_MASK_NO_EVENT,
                 reinterpret_cast<const char*>(&event));
  xcb_flush(connection_.get());
}

void X11Pasteboard::publish(std::vector<PasteboardItemData> items, bool dataRead,
                            std::optional<int> ownerProcessID) {
  handoff_.post(mainLoop_, [this, items = std::move(items), dataRead, ownerProcessID]() mutable {
    ++changeCount_;
    ++*generation_;
    contents_ = std::make_shared<const std::vector<PasteboardItemData>>(std::move(items));
    dataRead_ = dataRead;
    ownerProcessID_ = ownerProcessID;
    changed_.emit();
  });
}

// The selection thread.

void X11Pasteboard::run() {
  while (!stopping_) {
    Event event = nextEvent(std::nullopt);
    if (!event) return;
    handle(std::move(event), false);
  }
}

X11Pasteboard::Event X11Pasteboard::nextEvent(std::optional<Clock::time_point> deadline) {
  xcb_connection_t* c = connection_.get();
  if (!deadline && !deferred_.empty()) {
    Event event = std::move(deferred_.front());
    deferred_.pop_front();
    return event;
  }
  while (true) {
    if (auto* event = xcb_poll_for_event(c)) return Event(event, &std::free);
    if (xcb_connection_has_error(c)) return Event(nullptr, &std::free);
    int timeout = -1;
    if (deadline) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - Clock::now()).count();
      if (left <= 0) return Event(nullptr, &std::free);
      timeout = static_cast<int>(left);
    }
    pollfd descriptor{xcb_get_file_descriptor(c), POLLIN, 0};
    ::poll(&descriptor, 1, timeout);
  }
}

void X11Pasteboard::handle(Event event, bool reading) {
  const std::uint8_t type = event->response_type & 0x7F;
  const bool stop = type == XCB_CLIENT_MESSAGE &&
                    reinterpret_cast<const xcb_client_message_event_t*>(event.get())->type == stop_;
  if (type == xfixesEvent_ + XCB_XFIXES_SELECTION_NOTIFY || stop) {
    if (reading) {
      interrupted_ = true;
      deferred_.push_back(std::move(event));
    } else if (stop) {
      stopping_ = true;
    } else {
      ownerChanged(*reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event.get()));
    }
    return;
  }
  switch (type) {
    case XCB_SELECTION_REQUEST:
      answer(*reinterpret_cast<const xcb_selection_request_event_t*>(event.get()));
      return;
    case XCB_SELECTION_CLEAR: {
      std::lock_guard lock(offeredMutex_);
      offered_.reset();
      return;
    }
    case XCB_PROPERTY_NOTIFY:
      continueOutgoing(*reinterpret_cast<const xcb_property_notify_event_t*>(event.get()));
      return;
    default:
      return;
  }
}

void X11Pasteboard::ownerChanged(const xcb_xfixes_selection_notify_event_t& notice) {
  // Overtaken: a newer notice (or the stop) waits already.
  if (!deferred_.empty()) return;
  // This program's write, counted when it was made; or a notice from before it.
  if (notice.owner == window_ || currentOwner() == window_) return;
  if (notice.owner == XCB_WINDOW_NONE) return publish({}, true, std::nullopt);
  const Change change{notice.timestamp,
                      Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                         std::chrono::duration<double>(limits_.changeTimeout))};
  interrupted_ = false;

  Bytes list;
  // Room for many more targets than are read: the hint counts wherever it stands.
  const std::size_t listLimit = 4096 * sizeof(xcb_atom_t);
  if (convert(targets_, change, listLimit, list) != ReadStatus::done ||
      list.size() % sizeof(xcb_atom_t) != 0) {
    return;  // a selection whose types cannot be had is no change anyone can use
  }
  const xcb_atom_t hint = connection_.atom(ClipboardTargets::kPasswordManagerHint);
  std::vector<std::string> names;
  bool hinted = false;
  for (std::size_t at = 0, index = 0; at < list.size(); at += sizeof(xcb_atom_t), ++index) {
    xcb_atom_t atom = XCB_ATOM_NONE;
    std::memcpy(&atom, list.data() + at, sizeof atom);
    if (atom == hint) hinted = true;
    if (index >= limits_.maximumTargets) continue;
    if (std::string name = connection_.name(atom); !name.empty()) names.push_back(std::move(name));
  }
  if (hinted && std::ranges::find(names, ClipboardTargets::kPasswordManagerHint) == names.end()) {
    names.emplace_back(ClipboardTargets::kPasswordManagerHint);
  }
  const std::vector<ClipboardTargets::Source> sources = ClipboardTargets::sources(names);
  const std::optional<int> ownerProcessID = processOf(notice.owner);

  PasteboardOffer offer{{}, ownerProcessID};
  for (const auto& source : sources) offer.types.push_back(source.uniformType);
  const std::optional<PasteboardReadPlan> plan = awaitPlan(std::move(offer), change);
  if (!plan) return;
  if (!plan->read) {
    std::vector<SelectionContents::TargetData> unread;
    for (const auto& source : sources) unread.push_back({source, {}});
    return publish(SelectionContents::items(std::move(unread)), false, ownerProcessID);
  }
  if (auto items = readTargets(sources, *plan, change)) {
    publish(std::move(*items), true, ownerProcessID);
  }
}

std::optional<int> X11Pasteboard::processOf(xcb_window_t window) {
  xcb_connection_t* c = connection_.get();
  xcb_res_client_id_spec_t spec{window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
  if (const auto reply = xcbReply(
          xcb_res_query_client_ids_reply(c, xcb_res_query_client_ids(c, 1, &spec), nullptr))) {
    for (auto id = xcb_res_query_client_ids_ids_iterator(reply.get()); id.rem;
         xcb_res_client_id_value_next(&id)) {
      if ((id.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) &&
          xcb_res_client_id_value_value_length(id.data) == 1) {
        return static_cast<int>(*xcb_res_client_id_value_value(id.data));
      }
    }
  }
  // Without the extension: the process a window of the client says it belongs to.
  const auto reply = xcbReply(xcb_get_property_reply(
      c, xcb_get_property(c, 0, window, connection_.atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 0, 1),
      nullptr));
  if (!reply || xcb_get_property_value_length(reply.get()) != 4) return std::nullopt;
  return static_cast<int>(*static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get())));
}

bool X11Pasteboard::isOwnerless() const {
  if (!available_) return false;
  xcb_connection_t* c = connection_.get();
  const auto reply =
      xcbReply(xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard_), nullptr));
  return reply && reply->owner == XCB_WINDOW_NONE;
}

xcb_window_t X11Pasteboard::currentOwner() {
  xcb_connection_t* c = connection_.get();
  const auto reply =
      xcbReply(xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard_), nullptr));
  return reply ? reply->owner : xcb_window_t{XCB_WINDOW_NONE};
}

// The main thread decides; a main loop too busy to answer within the change's
// time has the change published with its types alone.
std::optional<PasteboardReadPlan> X11Pasteboard::awaitPlan(PasteboardOffer offer,
                                                           const Change& change) {
  const std::uint64_t number = ++changesRead_;
  handoff_.post(mainLoop_, [this, offer = std::move(offer), number] {
    const std::shared_ptr<Planner> planner = planner_.lock();
    PasteboardReadPlan plan = planner ? (*planner)(offer) : PasteboardReadPlan{};
    {
      std::lock_guard lock(plannedMutex_);
      plan_.emplace(number, std::move(plan));
    }
    sendToSelf(planned_);
  });
  while (Event event = nextEvent(change.deadline)) {
    const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event.get());
    if ((event->response_type & 0x7F) == XCB_CLIENT_MESSAGE && message->type == planned_) {
      std::lock_guard lock(plannedMutex_);
      if (plan_ && plan_->first == number) return std::exchange(plan_, std::nullopt)->second;
      continue;
    }
    handle(std::move(event), true);
    if (interrupted_) return std::nullopt;
  }
  return PasteboardReadPlan{false};
}

std::optional<std::vector<PasteboardItemData>> X11Pasteboard::readTargets(
    const std::vector<ClipboardTargets::Source>& sources, const PasteboardReadPlan& plan,
    const Change& change) {
  std::vector<SelectionContents::TargetData> read;
  const auto isKept = [&](const std::string& type) {
    return std::ranges::find(plan.keptPastLimit, type) != plan.keptPastLimit.end();
  };
  const auto planLimit = static_cast<std::uint64_t>(std::max<std::int64_t>(plan.maximumBytes, 0));
  std::uint64_t total = 0;
  bool overPlan = false;
  const auto passLimit = [&] {
    overPlan = true;
    std::erase_if(read, [&](const auto& target) { return !isKept(target.source.uniformType); });
  };
  for (const ClipboardTargets::Source& source : sources) {
    // The password managers' hint marks a secret by being offered: it is never
    // read, so an owner that withholds it still has its copy kept private.
    if (source.uniformType == PasteboardMarkers::concealed) {
      read.push_back({source, {}});
      continue;
    }
    const bool kept = isKept(source.uniformType);
    if (overPlan && !kept) continue;
    const std::uint64_t planLeft = planLimit > total ? planLimit - total : 0;
    const bool plannedLimit = !kept && planLeft < limits_.maximumBytes;
    const auto limit = plannedLimit ? static_cast<std::size_t>(planLeft) : limits_.maximumBytes;
    Bytes data;
    switch (convert(connection_.atom(source.target), change, limit, data)) {
      case ReadStatus::interrupted:
        return std::nullopt;
      case ReadStatus::failed:
        break;
      case ReadStatus::overLimit:
        if (plannedLimit) passLimit();
        break;
      case ReadStatus::done:
        total += data.size();
        read.push_back({source, std::move(data)});
        if (total > planLimit && !overPlan) passLimit();
        break;
    }
  }
  return SelectionContents::items(std::move(read));
}

bool X11Pasteboard::isAnswer(const xcb_generic_event_t& event, xcb_atom_t target,
                             xcb_atom_t property, const Change& change) const {
  if ((event.response_type & 0x7F) != XCB_SELECTION_NOTIFY) return false;
  const auto& notify = reinterpret_cast<const xcb_selection_notify_event_t&>(event);
  // Owners that answer with the time they were asked for, and those that answer
  // with no time at all.
  const bool timely = notify.time == change.time || notify.time == XCB_CURRENT_TIME;
  return notify.requestor == window_ && notify.selection == clipboard_ && notify.target == target &&
         timely && (notify.property == property || notify.property == XCB_ATOM_NONE);
}

X11Pasteboard::ReadStatus X11Pasteboard::convert(xcb_atom_t target, const Change& change,
                                                 std::size_t limit, Bytes& data) {
  xcb_connection_t* c = connection_.get();
  const xcb_atom_t property = properties_[nextProperty_++ % properties_.size()];
  xcb_delete_property(c, window_, property);
  xcb_convert_selection(c, window_, clipboard_, target, property, change.time);
  xcb_flush(c);
  const auto silence = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(limits_.readTimeout));
  while (Event event = nextEvent(std::min(change.deadline, Clock::now() + silence))) {
    if (!isAnswer(*event, target, property, change)) {
      handle(std::move(event), true);
      if (interrupted_) return ReadStatus::interrupted;
      continue;
    }
    if (reinterpret_cast<const xcb_selection_notify_event_t*>(event.get())->property ==
        XCB_ATOM_NONE) {
      return ReadStatus::failed;  // refused
    }
    const auto words = static_cast<std::uint32_t>(
        std::min<std::size_t>(limit / 4 + 1, std::numeric_limits<std::uint32_t>::max()));
    const auto reply = xcbReply(xcb_get_property_reply(
        c, xcb_get_property(c, 1, window_, property, XCB_GET_PROPERTY_TYPE_ANY, 0, words),
        nullptr));
    if (!reply) return ReadStatus::failed;
    const auto length = static_cast<std::size_t>(xcb_get_property_value_length(reply.get()));
    const auto* value = static_cast<const std::uint8_t*>(xcb_get_property_value(reply.get()));
    if (reply->type == incr_ && reply->format == 32 && length == 4) {
      std::uint32_t announced = 0;
      std::memcpy(&announced, value, sizeof announced);
      return readIncrementally(property, announced, change, limit, data);
    }
    if (reply->bytes_after > 0 || length > limit) {
      xcb_delete_property(c, window_, property);
      return ReadStatus::overLimit;
    }
    data.assign(value, value + length);
    return ReadStatus::done;
  }
  return interrupted_ ? ReadStatus::interrupted : ReadStatus::failed;
}

// The owner puts each part in the property once it is deleted, an empty part last.
X11Pasteboard::ReadStatus X11Pasteboard::readIncrementally(xcb_atom_t property,
                                                           std::size_t announced,
                                                           const Change& change, std::size_t limit,
                                                           Bytes& data) {
  IncrementalTransfer transfer(announced, limit);
  xcb_connection_t* c = connection_.get();
  const auto silence = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(limits_.readTimeout));
  while (transfer.status() == IncrementalTransfer::Status::reading) {
    Event event = nextEvent(std::min(change.deadline, Clock::now() + silence));
    if (!event) return interrupted_ ? ReadStatus::interrupted : ReadStatus::failed;
    const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event.get());
    // Only the server's own notices: a client's sent copy of one tells nothing.
    if (event->response_type != XCB_PROPERTY_NOTIFY || notify->window != window_ ||
        notify->atom != property || notify->state != XCB_PROPERTY_NEW_VALUE) {
      handle(std::move(event), true);
      if (interrupted_) return ReadStatus::interrupted;
      continue;
    }
    const auto words = static_cast<std::uint32_t>(std::min<std::size_t>(
        transfer.nextPartLimit() / 4 + 1, std::numeric_limits<std::uint32_t>::max()));
    const auto reply = xcbReply(xcb_get_property_reply(
        c, xcb_get_property(c, 1, window_, property, XCB_GET_PROPERTY_TYPE_ANY, 0, words),
        nullptr));
    if (!reply) return ReadStatus::failed;
    const auto* value = static_cast<const std::uint8_t*>(xcb_get_property_value(reply.get()));
    const auto length = static_cast<std::size_t>(xcb_get_property_value_length(reply.get()));
    transfer.add({value, length}, reply->bytes_after > 0);
  }
  if (transfer.status() == IncrementalTransfer::Status::overLimit) return ReadStatus::overLimit;
  data = transfer.take();
  return ReadStatus::done;
}

void X11Pasteboard::answer(const xcb_selection_request_event_t& request) {
  xcb_connection_t* c = connection_.get();
  std::erase_if(outgoing_, [now = Clock::now()](const auto& outgoing) {
    return now - outgoing->lastActivity > kOutgoingLifetime;
  });
  std::shared_ptr<const Offer> offer;
  {
    std::lock_guard lock(offeredMutex_);
    offer = offered_;
  }
  xcb_selection_notify_event_t notify{};
  notify.response_type = XCB_SELECTION_NOTIFY;
  notify.time = request.time;
  notify.requestor = request.requestor;
  notify.selection = request.selection;
  notify.target = request.target;
  // Clients from before the protocol's revision name no property: the target is one.
  notify.property = request.property == XCB_ATOM_NONE ? request.target : request.property;

  if (!offer || request.selection != clipboard_) {
    notify.property = XCB_ATOM_NONE;
  } else if (request.target == targets_) {
    std::vector<xcb_atom_t> atoms{targets_};
    for (const auto& [target, data] : *offer) atoms.push_back(connection_.atom(target));
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, notify.property, XCB_ATOM_ATOM,
                        32, static_cast<std::uint32_t>(atoms.size()), atoms.data());
  } else {
    const std::string name = connection_.name(request.target);
    const auto found = std::ranges::find(*offer, name, &Offer::value_type::first);
    if (found == offer->end()) {
      notify.property = XCB_ATOM_NONE;
    } else if (found->second.size() <= kPartBytes) {
      xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, notify.property,
                          request.target, 8, static_cast<std::uint32_t>(found->second.size()),
                          found->second.data());
    } else {
      // The requestor deletes the property to ask for each next part.
      const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
      xcb_change_window_attributes(c, request.requestor, XCB_CW_EVENT_MASK, &events);
      const auto size = static_cast<std::uint32_t>(found->second.size());
      xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, notify.property, incr_, 32,
                          1, &size);
      outgoing_.push_back(std::make_unique<Outgoing>(
          Outgoing{request.requestor, notify.property, request.target, offer,
                   static_cast<std::size_t>(found - offer->begin()), 0, Clock::now()}));
    }
  }
  xcb_send_event(c, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                 reinterpret_cast<const char*>(&notify));
  xcb_flush(c);
}

void X11Pasteboard::continueOutgoing(const xcb_property_notify_event_t& event) {
  if (event.state != XCB_PROPERTY_DELETE) return;
  const auto found = std::ranges::find_if(outgoing_, [&](const auto& outgoing) {
    return outgoing->requestor == event.window && outgoing->property == event.atom;
  });
  if (found == outgoing_.end()) return;
  if (!sendPart(**found)) outgoing_.erase(found);
}

bool X11Pasteboard::sendPart(Outgoing& outgoing) {
  const Bytes& data = (*outgoing.offer)[outgoing.index].second;
  const std::size_t length = std::min(kPartBytes, data.size() - outgoing.offset);
  xcb_change_property(connection_.get(), XCB_PROP_MODE_REPLACE, outgoing.requestor,
                      outgoing.property, outgoing.type, 8, static_cast<std::uint32_t>(length),
                      data.data() + outgoing.offset);
  xcb_flush(connection_.get());
  outgoing.offset += length;
  outgoing.lastActivity = Clock::now();
  // False once the empty part that ends the transfer has gone.
  return length > 0;
}

}  // namespace mirlet
