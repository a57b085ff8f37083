#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "ClipboardHistory/model/DateBucket.h"
#include "ClipboardHistory/model/HistoryStore.h"
#include "ClipboardHistory/model/PanelKeymap.h"
#include "ClipboardHistory/model/SearchIndex.h"
#include "ClipboardHistory/panel/DropProvider.h"
#include "ClipboardHistory/panel/HistoryPanelHost.h"
#include "ClipboardHistory/panel/HistorySection.h"
#include "ClipboardHistory/panel/ImageCache.h"
#include "ClipboardHistory/panel/PanelMessage.h"
#include "ClipboardHistory/panel/PanelSearchField.h"
#include "ClipboardHistory/service/ClipboardHistoryFeature.h"
#include "core/Clock.h"
#include "core/Handoff.h"
#include "core/MainLoop.h"
#include "core/SerialQueue.h"
#include "core/Signal.h"

namespace mirlet {

using ItemPointer = HistoryItems::Pointer;

// Visible items under one title of the grid.
struct HistoryGroup {
  std::string id;  // "all", or the date group's case name
  std::optional<std::string> title;
  std::vector<ItemPointer> items;
  friend bool operator==(const HistoryGroup&, const HistoryGroup&) = default;
};

// A source application in the sidebar, with the first item copied there (whose
// source icon stands for it).
struct HistoryAppEntry {
  std::string name;
  Uuid itemID;
  friend bool operator==(const HistoryAppEntry&, const HistoryAppEntry&) = default;
};

// What the panel's model needs besides the feature.
struct HistoryPanelServices {
  HistoryPanelHost& host;
  Workspace& workspace;
  Accessibility& accessibility;
  MainLoop& mainLoop;
  Clock& clock;
  SerialQueueFactory& queues;
  CalendarSettings calendar;
};

// The state and behaviour behind the clipboard-history panel: the section and
// query shown, the visible items in their groups, the sidebar's entries, the
// selection and keyboard movement over the grid, every panel command, removal with
// undo, lists, drag and drop and the status message. It keeps a copy of the
// feature's published history and asks the feature for every change; the change
// comes back through the published history before the call returns.
//
// While closed, history changes only mark the derived state stale; opening brings
// it up to date, and while open every change is derived at once. Main thread only.
class HistoryPanelModel {
 public:
  static constexpr const char* kItemIDType = "app.mirlet.history-item-id";
  static constexpr double kMessageLifetime = 5;
  static constexpr std::size_t kImageCacheCapacity = 256;
  static constexpr const char* kSearchIndexQueue = "app.mirlet.history-panel.search-index";
  // The kinds that `open` and `reveal` act on (the tile menu offers them for these).
  static constexpr std::array<ItemKind, 7> openableKinds{
      ItemKind::link,  ItemKind::file,  ItemKind::files,        ItemKind::folder,
      ItemKind::audio, ItemKind::video, ItemKind::calendarEvent};
  static constexpr std::array<ItemKind, 5> revealableKinds{
      ItemKind::file, ItemKind::files, ItemKind::folder, ItemKind::audio, ItemKind::video};

  // What dragging items out offers: the items' data per type (the first dragged
  // item that has a type gives it), and the ids for this program's own drops.
  struct DragData {
    std::vector<PasteboardItemData::Representation> shared;
    std::string itemIDs;  // one id per line, under `kItemIDType`
    friend bool operator==(const DragData&, const DragData&) = default;
  };

  HistoryPanelModel(ClipboardHistoryFeature& feature, HistoryPanelServices environment);
  HistoryPanelModel(const HistoryPanelModel&) = delete;
  HistoryPanelModel& operator=(const HistoryPanelModel&) = delete;

  // Published state.
  const ObservableView<HistoryStore>& store() const { return store_; }
  const ObservableView<std::vector<HistoryGroup>>& groups() const { return groups_; }
  const ObservableView<std::vector<ItemPointer>>& visible() const { return visible_; }
  const ObservableView<std::vector<HistoryAppEntry>>& apps() const { return apps_; }
  const ObservableView<std::vector<ItemKind>>& kinds() const { return kinds_; }
  const ObservableView<std::set<Uuid>>& selection() const { return selection_; }
  const ObservableView<std::optional<Uuid>>& focusID() const { return focusID_; }
  const ObservableView<std::optional<PanelMessage>>& message() const { return message_; }
  const ObservableView<bool>& optionHeld() const { return optionHeld_; }
  const ObservableView<bool>& showSidebar() const { return showSidebar_; }
  const ObservableView<std::optional<Uuid>>& editingList() const { return editingList_; }
  const ObservableView<HistorySection>& section() const { return section_; }
  const ObservableView<std::string>& query() const { return query_; }

  // Written by the views and the controller.
  void setSection(HistorySection section);
  void setQuery(std::string query);
  void setColumns(int columns) { columns_ = columns; }
  // How many rows of tiles a page up or down moves.
  void setRowsPerPage(int rows) { rowsPerPage_ = rows; }
  void setOptionHeld(bool held) { optionHeld_.set(held); }
  void setTarget(std::shared_ptr<RunningApplication> target) { target_ = std::move(target); }
  void beginRenaming(const Uuid& listID) { editingList_.set(listID); }
  // The view's search field, until the subscription ends.
  [[nodiscard]] Subscription attachSearchField(PanelSearchField& field);

  bool isActive() const { return isActive_; }
  const std::optional<Uuid>& anchorID() const { return anchorID_; }
  bool canUndo() const { return !undoStack_.empty(); }
  bool canRedo() const { return !redoStack_.empty(); }

  // Opening and closing. Closing makes pending removals final.
  void activate(bool selectingFirst);
  void deactivate();
  // Back to the whole history when the panel stayed closed longer than the
  // setting allows (always with 0, never without a value).
  void resetIfIdle(std::optional<Date> closedAt, Date now);

  void perform(const PanelCommand& command);

  // Selection.
  void click(const Uuid& id, bool command, bool shift);
  void selectOnly(const Uuid& id);
  std::optional<int> shortcutIndex(const Uuid& id) const;

  // Actions on items.
  void choose(const std::vector<Uuid>& ids, bool plain, bool paste);
  void cut(const std::vector<Uuid>& ids);
  void remove(const std::vector<Uuid>& ids);
  void open(const std::vector<Uuid>& ids);
  void reveal(const std::vector<Uuid>& ids);

  // Lists.
  void newList();
  void newList(const std::vector<Uuid>& adding);
  void finishRenaming(const Uuid& id, std::string_view name);
  void deleteList(const Uuid& id);

  void focusSearch(bool selectAll);
  void show(std::string text, bool isError, std::optional<PanelMessage::Action> action);
  // The message's button.
  void grantAccessibility() { environment_.host.grantAccessibility(); }

  // Drag and drop.
  DragData dragData(const Uuid& id) const;
  // True when some provider carries item ids; they are added to the list when
  // their data arrives.
  bool handleDrop(const std::vector<std::shared_ptr<const DropProvider>>& providers,
                  const Uuid& listID);

  // Images as PNG data, cached while the panel is open.
  std::optional<Bytes> thumbnail(const Uuid& id);
  std::optional<Bytes> sourceIcon(const Uuid& id);
  std::optional<Bytes> fileIcon(const ClipboardItem& item);

 private:
  struct Place {
    std::size_t group;
    std::size_t position;
  };

  void storeChanged(const HistoryStore& store);
  void prepareSearchIndex();
  const SearchIndex& currentSearchIndex();
  void invalidate();
  void recompute();
  std::vector<ItemPointer> sectionItems() const;
  std::vector<HistoryGroup> grouped(const std::vector<ItemPointer>& items) const;
  void refreshSidebar();
  void keepVisibleSelection();

  std::vector<Uuid> selectedIDs() const;
  bool isVisible(const Uuid& id) const { return visiblePositions_.contains(id); }
  void selectRange(const Uuid& to);
  void move(PanelDirection direction, bool extend);
  std::optional<Uuid> neighbor(const Uuid& id, PanelDirection direction) const;
  std::optional<Uuid> neighborAfterRemoving(const std::vector<Uuid>& ids) const;
  void reselect(const std::vector<Uuid>& ids);
  void undo();
  void redo();
  void toggleFavorite();
  void stepTileSize(int step);
  bool pasteBySetting() const;
  void finishChoosing(ChooseOutcome outcome, bool hidden, bool neededPermission);
  std::string freshListName() const;

  ClipboardHistoryFeature& feature_;
  HistoryPanelServices environment_;

  Observable<HistoryStore> store_;
  Observable<std::vector<HistoryGroup>> groups_;
  Observable<std::vector<ItemPointer>> visible_;
  Observable<std::vector<HistoryAppEntry>> apps_;
  Observable<std::vector<ItemKind>> kinds_;
  Observable<std::set<Uuid>> selection_;
  Observable<std::optional<Uuid>> focusID_;
  Observable<std::optional<PanelMessage>> message_;
  Observable<bool> optionHeld_{false};
  Observable<bool> showSidebar_{true};
  Observable<std::optional<Uuid>> editingList_;
  Observable<HistorySection> section_{HistorySections::History{}};
  Observable<std::string> query_;

  int columns_ = 1;
  int rowsPerPage_ = 3;
  std::shared_ptr<RunningApplication> target_;
  PanelSearchField* searchField_ = nullptr;
  std::unordered_map<Uuid, int> shortcutIndexes_;
  std::unordered_map<Uuid, std::size_t> visiblePositions_;
  std::unordered_map<Uuid, Place> places_;
  std::optional<Uuid> anchorID_;
  std::vector<Removal> undoStack_;
  std::vector<Removal> redoStack_;
  // Current for the store, or the last one built, whose unchanged entries the
  // next build reuses. Built ahead on the queue so that typing never waits for it;
  // a search that comes first builds it here. It holds a folded copy of every
  // text, so it lives only while the panel is shown: a hidden panel costs nothing.
  std::shared_ptr<const SearchIndex> searchIndex_;
  bool searchIndexIsCurrent_ = false;
  bool searchIndexInFlight_ = false;
  std::uint64_t storeGeneration_ = 0;
  std::unique_ptr<SerialQueue> searchIndexQueue_;
  // The sidebar follows the whole history, not the section or the query.
  bool sidebarIsCurrent_ = false;
  bool isActive_ = false;
  bool isDirty_ = true;
  ImageCache imageCache_{kImageCacheCapacity};
  TimerHandle messageTimer_;
  Subscription storeSubscription_;
  Handoff handoff_;  // last: revoked first
};

}  // namespace mirlet
