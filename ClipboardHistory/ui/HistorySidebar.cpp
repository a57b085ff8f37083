#include "ClipboardHistory/ui/HistorySidebar.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "widgets/AccessibleRole.h"
#include "widgets/PanelSymbols.h"
#include "widgets/Widgets.h"

namespace mirlet {

using ui::text;

namespace {

// Dropped data, copied when it arrives: the drag's own data is gone once the
// drop returns.
class MimeDropProvider : public DropProvider {
 public:
  explicit MimeDropProvider(const QMimeData& mime) {
    for (const QString& format : mime.formats()) {
      const QByteArray data = mime.data(format);
      data_.emplace(format.toStdString(), Bytes(data.begin(), data.end()));
    }
  }
  bool declares(const std::string& type) const override { return data_.contains(type); }
  void load(const std::string& type,
            std::function<void(std::optional<Bytes>)> done) const override {
    const auto found = data_.find(type);
    done(found == data_.end() ? std::nullopt : std::optional(found->second));
  }

 private:
  std::map<std::string, Bytes> data_;
};

// One entry: an icon and a title, highlighted when it is the section shown or a
// drag hovers it.
class SidebarButton : public QPushButton {
 public:
  SidebarButton(const QString& title, const QIcon& icon, bool isSelected)
      : QPushButton(icon, title) {
    setCheckable(true);
    setChecked(isSelected);
    setFlat(true);
    setFocusPolicy(Qt::TabFocus);
    setIconSize(QSize(16, 16));
    setCursor(Qt::PointingHandCursor);
    // One section of several is shown: screen readers say which, as of radio buttons.
    ui::setAccessibleRole(this, QAccessible::RadioButton);
    setStyleSheet(QStringLiteral(
        "QPushButton { text-align: left; padding: 5px 10px; border: none; border-radius: 6px; }"
        "QPushButton:hover { background: palette(midlight); }"
        "QPushButton:checked { background: palette(highlight); color: palette(highlighted-text); }"
        "QPushButton[dropTarget=\"true\"] { background: palette(mid); }"
        // Reached with Tab: a ring, white inside the highlight of the section shown.
        "QPushButton:focus { border: 2px solid palette(highlight); padding: 3px 8px; }"
        "QPushButton:focus:checked { border-color: palette(highlighted-text); }"));
  }

  void setDropTarget(bool on) {
    setProperty("dropTarget", on);
    style()->unpolish(this);
    style()->polish(this);
  }
};

// A user list: takes dropped history items and offers renaming and deletion.
class ListRow : public SidebarButton {
 public:
  ListRow(HistoryPanelModel& model, const ItemList& list, bool isSelected)
      : SidebarButton(ui::text(list.name), ui::symbolIcon("list.bullet"), isSelected),
        model_(model),
        listID_(list.id) {
    setAcceptDrops(true);
    setObjectName(QStringLiteral("list-") + ui::text(list.id.toString()));
  }

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override {
    if (!event->mimeData()->hasFormat(QString::fromLatin1(HistoryPanelModel::kItemIDType))) return;
    setDropTarget(true);
    event->acceptProposedAction();
  }
  void dragLeaveEvent(QDragLeaveEvent*) override { setDropTarget(false); }
  void dropEvent(QDropEvent* event) override {
    setDropTarget(false);
    const auto provider = std::make_shared<const MimeDropProvider>(*event->mimeData());
    if (model_.handleDrop({provider}, listID_)) event->acceptProposedAction();
  }
  void contextMenuEvent(QContextMenuEvent* event) override {
    QMenu menu(this);
    const Uuid id = listID_;
    HistoryPanelModel& model = model_;
    menu.addAction(QStringLiteral("Renombrar"), [&model, id] { model.beginRenaming(id); });
    menu.addAction(QStringLiteral("Eliminar lista"), [&model, id] { model.deleteList(id); });
    menu.exec(event->globalPos());
  }

 private:
  HistoryPanelModel& model_;
  Uuid listID_;
};

// A list's name while it is renamed: Return or leaving the field keeps the name,
// Escape keeps the old one.
class ListNameField : public QLineEdit {
 public:
  ListNameField(HistoryPanelModel& model, const ItemList& list)
      : QLineEdit(ui::text(list.name)), model_(model), listID_(list.id) {
    setObjectName(QStringLiteral("listNameField"));
    setPlaceholderText(QStringLiteral("Nombre de la lista"));
    setAccessibleName(QStringLiteral("Nombre de la lista"));
    selectAll();
    connect(this, &QLineEdit::editingFinished, this, [this] { finish(text().toStdString()); });
  }

  const Uuid& listID() const { return listID_; }
  // Its replacement carries the name on: this one, going, finishes nothing.
  void handOver() { finished_ = true; }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape) {
      finish({});
      return;
    }
    QLineEdit::keyPressEvent(event);
  }

 private:
  void finish(const std::string& name) {
    if (finished_) return;
    finished_ = true;
    model_.finishRenaming(listID_, name);
  }

  HistoryPanelModel& model_;
  Uuid listID_;
  bool finished_ = false;
};

}  // namespace

HistorySidebar::HistorySidebar(HistoryPanelModel& model, QWidget* parent)
    : QScrollArea(parent), model_(model) {
  setObjectName(QStringLiteral("sidebar"));
  setAccessibleName(QStringLiteral("Barra lateral"));
  setFixedWidth(kWidth);
  setFrameShape(QFrame::NoFrame);
  setWidgetResizable(true);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  rebuildSoon_.setSingleShot(true);
  rebuildSoon_.setInterval(0);
  connect(&rebuildSoon_, &QTimer::timeout, this, [this] {
    // Hidden, it is rebuilt when it shows again.
    if (isVisible()) {
      rebuild();
    } else {
      isStale_ = true;
    }
  });
  const auto later = [this](const auto&) {
    rebuildSoon_.start();
  };
  subscriptions_.push_back(model_.apps().subscribe(later));
  subscriptions_.push_back(model_.kinds().subscribe(later));
  subscriptions_.push_back(model_.section().subscribe(later));
  subscriptions_.push_back(model_.editingList().subscribe(later));
  subscriptions_.push_back(
      model_.store().subscribe([this](const HistoryStore&) { rebuildSoon_.start(); }));
  rebuild();
}

void HistorySidebar::showEvent(QShowEvent* event) {
  QScrollArea::showEvent(event);
  if (isStale_) rebuild();
}

void HistorySidebar::addHeader(const QString& title, QWidget* accessory) {
  auto* row = new QHBoxLayout;
  row->setContentsMargins(10, 12, 4, 2);
  auto* label = new QLabel(title);
  QFont font = label->font();
  font.setPointSizeF(font.pointSizeF() * 0.85);
  font.setBold(true);
  label->setFont(font);
  label->setForegroundRole(QPalette::PlaceholderText);
  row->addWidget(label, 1);
  if (accessory) row->addWidget(accessory);
  rows_->addLayout(row);
}

void HistorySidebar::addSection(const QString& title, const QIcon& icon,
                                const HistorySection& section) {
  auto* button = new SidebarButton(title, icon, model_.section().get() == section);
  connect(button, &QPushButton::clicked, this, [this, section] {
    model_.setSection(section);
    rebuildSoon_.start();
  });
  rows_->addWidget(button);
}

void HistorySidebar::addList(const ItemList& list) {
  if (model_.editingList().get() == list.id) {
    auto* field = new ListNameField(model_, list);
    rows_->addWidget(field);
    const bool carriesOn = typed_ && typed_->listID == list.id;
    if (carriesOn) {
      field->setText(typed_->text);
      field->setCursorPosition(typed_->cursor);
    }
    if (!carriesOn || typed_->focused) {
      QTimer::singleShot(0, field, [field] { field->setFocus(); });
    }
    return;
  }
  auto* row = new ListRow(model_, list,
                          model_.section().get() == HistorySection(HistorySections::List{list.id}));
  connect(row, &QPushButton::clicked, this, [this, id = list.id] {
    model_.setSection(HistorySections::List{id});
    rebuildSoon_.start();
  });
  rows_->addWidget(row);
}

void HistorySidebar::rebuild() {
  isStale_ = false;
  typed_.reset();
  if (auto* field = content_ ? content_->findChild<ListNameField*>() : nullptr) {
    typed_ = TypedName{field->listID(), field->text(), field->cursorPosition(), field->hasFocus()};
    field->handOver();
  }
  // A row reached with the keyboard keeps the keyboard in its successor.
  auto* focusedRow =
      content_ ? qobject_cast<QAbstractButton*>(QApplication::focusWidget()) : nullptr;
  const QString focusedTitle =
      focusedRow && content_->isAncestorOf(focusedRow) ? focusedRow->text() : QString();
  const int scrolled = verticalScrollBar()->value();
  content_ = new QWidget;
  content_->setObjectName(QStringLiteral("sidebarContent"));
  rows_ = new QVBoxLayout(content_);
  rows_->setContentsMargins(8, 4, 8, 12);
  rows_->setSpacing(1);

  addSection(QStringLiteral("Historial"), ui::symbolIcon("clock"), HistorySections::History{});
  addSection(QStringLiteral("Favoritos"), ui::symbolIcon("star"), HistorySections::Favorites{});
  if (!model_.apps().get().empty()) {
    addHeader(QStringLiteral("Por app"));
    for (const HistoryAppEntry& app : model_.apps().get()) {
      QIcon icon = ui::symbolIcon("app.dashed");
      if (const auto png = model_.sourceIcon(app.itemID)) {
        QPixmap pixmap;
        if (pixmap.loadFromData(reinterpret_cast<const uchar*>(png->data()),
                                static_cast<uint>(png->size()))) {
          icon = QIcon(pixmap);
        }
      }
      addSection(text(app.name), icon, HistorySections::App{app.name});
    }
  }
  if (!model_.kinds().get().empty()) {
    addHeader(QStringLiteral("Por tipo"));
    for (const ItemKind kind : model_.kinds().get()) {
      addSection(text(std::string(ItemKinds::title(kind))), ui::symbolIcon(ItemKinds::symbol(kind)),
                 HistorySections::Kind{kind});
    }
  }
  auto* add = new QToolButton;
  add->setObjectName(QStringLiteral("newListButton"));
  add->setIcon(ui::symbolIcon("plus"));
  add->setAutoRaise(true);
  add->setFocusPolicy(Qt::TabFocus);
  add->setToolTip(QStringLiteral("Nueva lista"));
  add->setAccessibleName(QStringLiteral("Nueva lista"));
  connect(add, &QToolButton::clicked, this, [this] { model_.newList(); });
  addHeader(QStringLiteral("Listas"), add);
  for (const ItemList& list : model_.store().get().lists()) addList(list);
  rows_->addStretch(1);

  setWidget(content_);  // deletes the previous content
  verticalScrollBar()->setValue(scrolled);
  typed_.reset();
  if (focusedTitle.isEmpty()) return;
  for (auto* row : content_->findChildren<QAbstractButton*>()) {
    if (row->text() == focusedTitle) return row->setFocus(Qt::TabFocusReason);
  }
}

}  // namespace mirlet
