#include "app/ui/WelcomeView.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

#include "widgets/Widgets.h"

namespace mirlet {

using ui::label;
using ui::text;
using ui::TextStyle;

namespace {

// A centred column of texts with the buttons underneath.
QWidget* step(std::initializer_list<QLabel*> texts, std::initializer_list<QPushButton*> buttons) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(80, 40, 80, 40);
  layout->addStretch(1);
  for (QLabel* text : texts) {
    text->setAlignment(Qt::AlignHCenter);
    layout->addWidget(text);
  }
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  for (QPushButton* button : buttons) row->addWidget(button);
  row->addStretch(1);
  layout->addSpacing(16);
  layout->addLayout(row);
  layout->addStretch(1);
  return page;
}

}  // namespace

WelcomeView::WelcomeView(AppModel& model, QWidget* parent) : QWidget(parent), model_(model) {
  steps_ = new QStackedLayout(this);
  steps_->addWidget(welcomeStep());
  steps_->addWidget(finishStep());
  auto show = [this](AppModel::WelcomeStep current) {
    steps_->setCurrentIndex(current == AppModel::WelcomeStep::finish ? 1 : 0);
  };
  subscription_ = model_.welcomeStep().subscribe(show);
  show(model_.welcomeStep().get());
}

QWidget* WelcomeView::welcomeStep() {
  auto* start = new QPushButton(QStringLiteral("Empezar"));
  start->setDefault(true);
  start->setAutoDefault(true);
  connect(start, &QPushButton::clicked, this, [this] { model_.startWelcome(); });
  return step({label(QStringLiteral("Bienvenido a Mirlet"), TextStyle::largeTitle),
               label(text(std::string(model_.texts().welcomeTitle)), TextStyle::title),
               label(QStringLiteral("Activa solo los ajustes que quieras usar. Puedes "
                                    "desactivarlos cuando quieras desde esta ventana."))},
              {start});
}

QWidget* WelcomeView::finishStep() {
  auto* back = new QPushButton(QStringLiteral("Atrás"));
  auto* finish = new QPushButton(QStringLiteral("Ver mis mirlets"));
  finish->setDefault(true);
  finish->setAutoDefault(true);
  connect(back, &QPushButton::clicked, this, [this] { model_.backToWelcome(); });
  connect(finish, &QPushButton::clicked, this, [this] { model_.completeWelcome(); });
  return step({label(QStringLiteral("Elige tus mirlets"), TextStyle::largeTitle),
               label(QStringLiteral("Activa lo que necesites. Las opciones están desactivadas "
                                    "hasta que tú las actives.")),
               label(text(std::string(model_.texts().welcomePermissions))),
               label(text(std::string(model_.texts().keepsRunning)), TextStyle::secondary)},
              {back, finish});
}

}  // namespace mirlet
