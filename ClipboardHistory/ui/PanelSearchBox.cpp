#include "ClipboardHistory/ui/PanelSearchBox.h"

#include <QAction>
#include "ClipboardHistory/panel/HistoryPanelModel.h"

#include "widgets/PanelSymbols.h"

namespace mirlet {

PanelSearchBox::PanelSearchBox(HistoryPanelModel& model, QWidget* parent)
    : QLineEdit(parent), model_(model) {
  setObjectName(QStringLiteral("searchField"));
  setPlaceholderText(QStringLiteral("Buscar en el historial"));
  setAccessibleName(QStringLiteral("Buscar en el historial"));
  setClearButtonEnabled(true);
  // Qt's clear button is the named action; screen readers say its text.
  if (auto* clear = findChild<QAction*>(QStringLiteral("_q_qlineeditclearaction"))) {
    clear->setText(QStringLiteral("Borrar la búsqueda"));
  }
  addAction(ui::symbolIcon("magnifyingglass"), QLineEdit::LeadingPosition)
      ->setText(QStringLiteral("Buscar"));
  setMinimumWidth(220);
  setFocusPolicy(Qt::ClickFocus);
  setText(QString::fromStdString(model_.query().get()));
  attachment_ = model_.attachSearchField(*this);
  connect(this, &QLineEdit::textEdited, this,
          [this](const QString& query) { model_.setQuery(query.toStdString()); });
  // The model may change the query itself (a section change, a reset).
  query_ = model_.query().subscribe([this](const std::string& query) {
    const QString shown = QString::fromStdString(query);
    if (text() != shown) setText(shown);
  });
}

void PanelSearchBox::focus(bool selectAll) {
  setFocus(Qt::OtherFocusReason);
  if (selectAll) {
    this->selectAll();
  } else {
    deselect();
    end(false);
  }
}

void PanelSearchBox::resignFocus() {
  if (hasFocus() && window()) window()->setFocus(Qt::OtherFocusReason);
}

}  // namespace mirlet
