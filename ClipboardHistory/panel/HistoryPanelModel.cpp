#include "ClipboardHistory/panel/HistoryPanelModel.h"

#include <unicode/coll.h>

#include <algorithm>
#include <array>
#include <unordered_set>

#include "core/Overloaded.h"
#include "core/UnicodeText.h"

namespace mirlet {
namespace {

// Sorts sidebar names as the panel's language (Spanish) does, ignoring case; equal
// names keep their order. Not the process locale: under "C" it sorts by code point.
void sortByName(std::vector<HistoryAppEntry>& entries) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(icu::Locale("es"), status));
  if (U_FAILURE(status) || !collator) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto& a, const auto& b) { return a.name < b.name; });
    return;
  }
  collator->setStrength(icu::Collator::SECONDARY);
  std::stable_sort(entries.begin(), entries.end(), [&](const auto& a, const auto& b) {
    UErrorCode compareStatus = U_ZERO_ERROR;
    return collator->compareUTF8(a.name, b.name, compareStatus) == UCOL_LESS;
  });
}

}  // namespace

HistoryPanelModel::HistoryPanelModel(ClipboardHistoryFeature& feature,
                                     HistoryPanelServices environment)
    : feature_(feature),
      environment_(environment),
      store_(feature.store().get()),
      searchIndexQueue_(environment.queues.makeQueue(kSearchIndexQueue)) {
  storeSubscription_ =
      feature_.store().subscribe(handoff_.bind([this](const HistoryStore& s) { storeChanged(s); }));
}

void HistoryPanelModel::storeChanged(const HistoryStore& store) {
  store_.set(store);
  ++storeGeneration_;
  searchIndexIsCurrent_ = false;
  sidebarIsCurrent_ = false;
  prepareSearchIndex();
  invalidate();
}

void HistoryPanelModel::invalidate() {
  isDirty_ = true;
  if (isActive_) recompute();
}

void HistoryPanelModel::setSection(HistorySection section) {
  if (section == section_.get()) return;
  section_.set(std::move(section));
  invalidate();
}

void HistoryPanelModel::setQuery(std::string query) {
  if (query == query_.get()) return;
  query_.set(std::move(query));
  invalidate();
}

Subscription HistoryPanelModel::attachSearchField(PanelSearchField& field) {
  searchField_ = &field;
  return Subscription(handoff_.bind([this, &field] {
    if (searchField_ == &field) searchField_ = nullptr;
  }));
}

void HistoryPanelModel::activate(bool selectingFirst) {
  isActive_ = true;
  if (isDirty_) recompute();
  prepareSearchIndex();
  if (selectingFirst && !visible_.get().empty()) selectOnly(visible_.get().front()->id);
}

void HistoryPanelModel::deactivate() {
  if (!undoStack_.empty()) feature_.commitRemovals(undoStack_);
  undoStack_.clear();
  redoStack_.clear();
  isActive_ = false;
  searchIndex_.reset();
  searchIndexIsCurrent_ = false;
  optionHeld_.set(false);
  messageTimer_.reset();
  message_.set(std::nullopt);
  editingList_.set(std::nullopt);
  imageCache_.clear();
}

void HistoryPanelModel::resetIfIdle(std::optional<Date> closedAt, Date now) {
  const std::optional<int> minutes = feature_.settings().get().resetAfterMinutes;
  if (!minutes) return;
  if (*minutes > 0 && (!closedAt || now - *closedAt <= *minutes * 60.0)) return;
  setSection(HistorySections::History{});
  setQuery("");
  editingList_.set(std::nullopt);
  selection_.set({});
  focusID_.set(std::nullopt);
}

// Derivation.

void HistoryPanelModel::recompute() {
  isDirty_ = false;
  std::vector<ItemPointer> items = sectionItems();

  const std::string& query = query_.get();
  if (!UnicodeText::trimWhitespace(query).empty()) {
    const std::vector<Uuid> found = currentSearchIndex().filter(query);
    const std::unordered_set<Uuid> matches(found.begin(), found.end());
    std::erase_if(items, [&](const ItemPointer& item) { return !matches.contains(item->id); });
  }

  shortcutIndexes_.clear();
  visiblePositions_.clear();
  for (std::size_t i = 0; i < items.size(); ++i) {
    visiblePositions_.emplace(items[i]->id, i);
    if (i < 9) shortcutIndexes_.emplace(items[i]->id, static_cast<int>(i) + 1);
  }
  std::vector<HistoryGroup> groups = grouped(items);
  places_.clear();
  for (std::size_t g = 0; g < groups.size(); ++g) {
    for (std::size_t p = 0; p < groups[g].items.size(); ++p) {
      places_.emplace(groups[g].items[p]->id, Place{g, p});
    }
  }
  visible_.set(std::move(items));
  groups_.set(std::move(groups));
  if (!sidebarIsCurrent_) refreshSidebar();
  keepVisibleSelection();
}

std::vector<ItemPointer> HistoryPanelModel::sectionItems() const {
  const HistoryStore& store = store_.get();
  const auto& all = store.items().storage();
  std::vector<ItemPointer> items;
  const auto keep = [&](auto matches) {
    for (const ItemPointer& item : all) {
      if (matches(*item)) items.push_back(item);
    }
  };
  std::visit(Overloaded{
                 [&](const HistorySections::History&) { items = all; },
                 [&](const HistorySections::Favorites&) {
                   keep([](const ClipboardItem& item) { return item.isFavorite; });
                 },
                 [&](const HistorySections::List& section) {
                   const ItemList* list = store.list(section.id);
                   if (!list) return;
                   const std::unordered_set<Uuid> members(list->itemIDs.begin(),
                                                          list->itemIDs.end());
                   keep([&](const ClipboardItem& item) { return members.contains(item.id); });
                 },
                 [&](const HistorySections::App& section) {
                   keep([&](const ClipboardItem& item) { return item.sourceName == section.name; });
                 },
                 [&](const HistorySections::Kind& section) {
                   keep([&](const ClipboardItem& item) { return item.kind == section.kind; });
                 },
             },
             section_.get());
  return items;
}

std::vector<HistoryGroup> HistoryPanelModel::grouped(const std::vector<ItemPointer>& items) const {
  if (items.empty()) return {};
  if (!std::holds_alternative<HistorySections::History>(section_.get())) {
    return {HistoryGroup{"all", std::nullopt, items}};
  }
  const DateGrouping grouping(environment_.clock.now(), environment_.calendar);
  std::array<std::vector<ItemPointer>, DateBuckets::allCases.size()> buckets;
  for (const ItemPointer& item : items) {
    buckets[static_cast<std::size_t>(grouping.bucket(item->lastUsedAt))].push_back(item);
  }
  static constexpr std::array<const char*, 5> kIDs{"today", "yesterday", "thisWeek", "thisMonth",
                                                   "older"};
  std::vector<HistoryGroup> groups;
  for (DateBucket bucket : DateBuckets::allCases) {
    auto& bucketItems = buckets[static_cast<std::size_t>(bucket)];
    if (bucketItems.empty()) continue;
    groups.push_back(HistoryGroup{kIDs[static_cast<std::size_t>(bucket)],
                                  std::string(DateBuckets::title(bucket)), std::move(bucketItems)});
  }
  return groups;
}

void HistoryPanelModel::refreshSidebar() {
  std::array<bool, ItemKinds::allCases.size()> present{};
  std::vector<HistoryAppEntry> apps;
  std::unordered_set<std::string> seen;
  for (const ClipboardItem& item : store_.get().items()) {
    present[static_cast<std::size_t>(item.kind)] = true;
    if (item.sourceName && !item.sourceName->empty() && seen.insert(*item.sourceName).second) {
      apps.push_back({*item.sourceName, item.id});
    }
  }
  std::vector<ItemKind> kinds;
  for (ItemKind kind : ItemKinds::allCases) {
    if (present[static_cast<std::size_t>(kind)]) kinds.push_back(kind);
  }
  sortByName(apps);
  sidebarIsCurrent_ = true;
  if (kinds != kinds_.get()) kinds_.set(std::move(kinds));
  if (apps != apps_.get()) apps_.set(std::move(apps));
}

void HistoryPanelModel::keepVisibleSelection() {
  std::set<Uuid> selection = selection_.get();
  std::erase_if(selection, [&](const Uuid& id) { return !isVisible(id); });
  if (selection != selection_.get()) selection_.set(std::move(selection));
  if (focusID_.get() && !isVisible(*focusID_.get())) focusID_.set(std::nullopt);
  if (anchorID_ && !isVisible(*anchorID_)) anchorID_.reset();
  if (selection_.get().empty() && !visible_.get().empty()) selectOnly(visible_.get().front()->id);
}

// Search index.

void HistoryPanelModel::prepareSearchIndex() {
  if (!isActive_ || searchIndexIsCurrent_ || searchIndexInFlight_) return;
  searchIndexInFlight_ = true;
  // The items are immutable and shared, so the queue reads them while the main
  // thread goes on.
  handoff_.async(*searchIndexQueue_, [this, items = store_.get().items(), previous = searchIndex_,
                                      generation = storeGeneration_] {
    auto built = previous ? std::make_shared<const SearchIndex>(items, *previous)
                          : std::make_shared<const SearchIndex>(items);
    handoff_.post(environment_.mainLoop, [this, built = std::move(built), generation] {
      searchIndexInFlight_ = false;
      if (!isActive_ || searchIndexIsCurrent_) return;
      searchIndex_ = built;
      if (generation == storeGeneration_) {
        searchIndexIsCurrent_ = true;
      } else {
        prepareSearchIndex();
      }
    });
  });
}

const SearchIndex& HistoryPanelModel::currentSearchIndex() {
  if (!searchIndexIsCurrent_) {
    const HistoryItems& items = store_.get().items();
    searchIndex_ = searchIndex_ ? std::make_shared<const SearchIndex>(items, *searchIndex_)
                                : std::make_shared<const SearchIndex>(items);
    searchIndexIsCurrent_ = true;
  }
  return *searchIndex_;
}

// Selection and movement.

void HistoryPanelModel::selectOnly(const Uuid& id) {
  selection_.set({id});
  anchorID_ = id;
  focusID_.set(id);
}

std::optional<int> HistoryPanelModel::shortcutIndex(const Uuid& id) const {
  const auto found = shortcutIndexes_.find(id);
  if (found == shortcutIndexes_.end()) return std::nullopt;
  return found->second;
}

void HistoryPanelModel::click(const Uuid& id, bool command, bool shift) {
  if (searchField_) searchField_->resignFocus();
  if (shift && anchorID_) {
    selectRange(id);
  } else if (command) {
    std::set<Uuid> selection = selection_.get();
    if (!selection.erase(id)) selection.insert(id);
    selection_.set(std::move(selection));
    anchorID_ = id;
    focusID_.set(id);
  } else {
    selectOnly(id);
  }
}

void HistoryPanelModel::selectRange(const Uuid& to) {
  if (!anchorID_ || !isVisible(*anchorID_) || !isVisible(to)) return selectOnly(to);
  auto [first, last] = std::minmax(visiblePositions_.at(*anchorID_), visiblePositions_.at(to));
  std::set<Uuid> selection;
  for (std::size_t i = first; i <= last; ++i) selection.insert(visible_.get()[i]->id);
  selection_.set(std::move(selection));
  focusID_.set(to);
}

std::vector<Uuid> HistoryPanelModel::selectedIDs() const {
  std::vector<Uuid> ids;
  const std::set<Uuid>& selection = selection_.get();
  if (selection.empty()) return ids;
  for (const ItemPointer& item : visible_.get()) {
    if (selection.contains(item->id)) ids.push_back(item->id);
  }
  return ids;
}

void HistoryPanelModel::move(PanelDirection direction, bool extend) {
  const auto& visible = visible_.get();
  if (visible.empty()) return;
  const std::optional<Uuid> focus = focusID_.get();
  if (!focus) return selectOnly(visible.front()->id);
  std::optional<Uuid> target;
  switch (direction) {
    case PanelDirection::first:
      target = visible.front()->id;
      break;
    case PanelDirection::last:
      target = visible.back()->id;
      break;
    case PanelDirection::pageUp:
    case PanelDirection::pageDown: {
      int rows = 0;
      const auto step =
          direction == PanelDirection::pageUp ? PanelDirection::up : PanelDirection::down;
      for (auto at = neighbor(*focus, step); at && rows < rowsPerPage_; ++rows) {
        target = at;
        at = neighbor(*at, step);
      }
      break;
    }
    default:
      target = neighbor(*focus, direction);
      break;
  }
  if (!target || *target == *focus) return;
  if (!extend) return selectOnly(*target);
  if (!anchorID_) anchorID_ = focus;
  selectRange(*target);
}

std::optional<Uuid> HistoryPanelModel::neighbor(const Uuid& id, PanelDirection direction) const {
  const auto& visible = visible_.get();
  const auto at = visiblePositions_.find(id);
  if (at == visiblePositions_.end()) return std::nullopt;
  const std::size_t index = at->second;
  if (direction == PanelDirection::left) {
    if (index == 0) return std::nullopt;
    return visible[index - 1]->id;
  }
  if (direction == PanelDirection::right) {
    if (index + 1 >= visible.size()) return std::nullopt;
    return visible[index + 1]->id;
  }

  const auto& groups = groups_.get();
  const Place place = places_.at(id);
  const std::size_t c = static_cast<std::size_t>(std::max(columns_, 1));
  const std::size_t i = place.position;
  const auto& items = groups[place.group].items;
  const std::size_t n = items.size();
  if (direction == PanelDirection::down) {
    if (i + c < n) return items[i + c]->id;
    if (i / c < (n - 1) / c) return items.back()->id;
    if (place.group + 1 >= groups.size()) return std::nullopt;
    const auto& next = groups[place.group + 1].items;
    return next[std::min(i % c, next.size() - 1)]->id;
  }
  if (i >= c) return items[i - c]->id;
  if (place.group == 0) return std::nullopt;
  const auto& previous = groups[place.group - 1].items;
  const std::size_t last = previous.size() - 1;
  return previous[std::min((last / c) * c + i % c, last)]->id;
}

}  // namespace mirlet
