#include "app/ui/SettingsPage.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/AppTexts.h"
#include "app/AppVersion.h"
#include "app/ui/ToggleSwitch.h"
#include "widgets/Widgets.h"

namespace mirlet {

using ui::label;
using ui::text;
using ui::TextStyle;

namespace {

const char* const kSupportAddress = "mailto:soporte@mirlet.app";

QGroupBox* section(const QString& title) {
  auto* box = new QGroupBox(title);
  new QVBoxLayout(box);
  return box;
}

// A line with a title on the left and a switch on the right.
QHBoxLayout* switchLine(const QString& title, ToggleSwitch* toggle) {
  auto* line = new QHBoxLayout;
  line->addWidget(label(title), 1);
  line->addWidget(toggle);
  toggle->setAccessibleName(title);
  return line;
}

}  // namespace

SettingsPage::SettingsPage(AppModel& model, UpdateSettings& updates, const BundleInfo& bundle,
                           QWidget* parent)
    : QWidget(parent), model_(model), updates_(updates) {
  QVBoxLayout* layout = ui::scrollingContent(this);
  layout->setSpacing(14);
  layout->addWidget(label(QStringLiteral("Ajustes"), TextStyle::title));
  layout->addWidget(generalSection());
  layout->addWidget(updatesSection());
  layout->addWidget(permissionSection());
  layout->addWidget(supportSection(bundle));
  layout->addStretch(1);

  SystemSettings& settings = model_.systemSettings();
  auto onChange = [this](const auto&) {
    refresh();
  };
  subscriptions_.push_back(settings.loginState().subscribe(onChange));
  subscriptions_.push_back(settings.error().subscribe(onChange));
  subscriptions_.push_back(settings.accessibility().subscribe(onChange));
  subscriptions_.push_back(model_.permissionCheck().subscribe(onChange));
  subscriptions_.push_back(updates_.changed.connect([this] { refresh(); }));
  refresh();
}

QWidget* SettingsPage::generalSection() {
  QGroupBox* box = section(QStringLiteral("General"));
  auto* layout = static_cast<QVBoxLayout*>(box->layout());
  loginSwitch_ = new ToggleSwitch;
  loginSwitch_->setObjectName(QStringLiteral("loginSwitch"));
  layout->addLayout(switchLine(QStringLiteral("Abrir Mirlet al iniciar sesión"), loginSwitch_));
  loginDescription_ = label({}, TextStyle::secondary);
  loginDescription_->setObjectName(QStringLiteral("loginDescription"));
  layout->addWidget(loginDescription_);

  approvalButtons_ = new QWidget;
  auto* buttons = new QHBoxLayout(approvalButtons_);
  buttons->setContentsMargins(0, 0, 0, 0);
  auto* openSettings = new QPushButton(QStringLiteral("Abrir ajustes de inicio…"));
  auto* cancelRequest = new QPushButton(QStringLiteral("Cancelar solicitud de inicio"));
  buttons->addWidget(openSettings);
  buttons->addWidget(cancelRequest);
  buttons->addStretch(1);
  layout->addWidget(approvalButtons_);

  error_ = label({});
  error_->setObjectName(QStringLiteral("settingsError"));
  layout->addWidget(error_);

  SystemSettings& settings = model_.systemSettings();
  connect(loginSwitch_, &QAbstractButton::clicked, this, [this, &settings](bool on) {
    settings.setStartAtLogin(on);
    refresh();
  });
  connect(openSettings, &QPushButton::clicked, this, [&settings] { settings.openLoginSettings(); });
  connect(cancelRequest, &QPushButton::clicked, this,
          [&settings] { settings.setStartAtLogin(false); });
  return box;
}

QWidget* SettingsPage::updatesSection() {
  QGroupBox* box = section(QStringLiteral("Actualizaciones"));
  auto* layout = static_cast<QVBoxLayout*>(box->layout());
  updatesSwitch_ = new ToggleSwitch;
  updatesSwitch_->setObjectName(QStringLiteral("updatesSwitch"));
  updatesSwitch_->setEnabled(updates_.hasUpdater());
  layout->addLayout(
      switchLine(QStringLiteral("Buscar actualizaciones automáticamente"), updatesSwitch_));
  layout->addWidget(label(
      updates_.hasUpdater()
          ? QStringLiteral("Al buscar actualizaciones, Mirlet se conecta al servidor de descargas. "
                           "No envía tus ajustes ni información sobre cómo usas las utilidades. "
                           "Tú decides cuándo instalar cada actualización.")
          : QStringLiteral("Las actualizaciones no están disponibles en esta copia de Mirlet."),
      TextStyle::secondary));
  connect(updatesSwitch_, &QAbstractButton::clicked, this,
          [this](bool on) { updates_.setAutomaticallyChecksForUpdates(on); });
  return box;
}

QWidget* SettingsPage::permissionSection() {
  QGroupBox* box = section(QStringLiteral("Permiso de Accesibilidad"));
  auto* layout = static_cast<QVBoxLayout*>(box->layout());
  permissionStatus_ = label({}, TextStyle::heading);
  permissionStatus_->setObjectName(QStringLiteral("permissionStatus"));
  layout->addWidget(permissionStatus_);
  auto* buttons = new QHBoxLayout;
  auto* grant = new QPushButton(text(std::string(model_.texts().openSystemSettings)));
  auto* check = new QPushButton(QStringLiteral("Comprobar permiso"));
  buttons->addWidget(grant);
  buttons->addWidget(check);
  buttons->addStretch(1);
  layout->addLayout(buttons);
  checkResult_ = label({});
  checkResult_->setObjectName(QStringLiteral("permissionCheckResult"));
  checkTime_ = label({}, TextStyle::secondary);
  checkTime_->setObjectName(QStringLiteral("permissionCheckTime"));
  layout->addWidget(checkResult_);
  layout->addWidget(checkTime_);
  connect(grant, &QPushButton::clicked, this, [this] { model_.grantAccessibility(); });
  connect(check, &QPushButton::clicked, this, [this] { model_.checkPermission(); });
  return box;
}

QWidget* SettingsPage::supportSection(const BundleInfo& bundle) {
  auto* box = new QGroupBox;
  auto* layout = new QVBoxLayout(box);
  auto* contact = new QPushButton(QStringLiteral("Contactar soporte…"));
  contact->setFlat(true);
  contact->setCursor(Qt::PointingHandCursor);
  connect(contact, &QPushButton::clicked, this,
          [] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kSupportAddress))); });
  layout->addWidget(contact, 0, Qt::AlignLeft);
  layout->addWidget(label(text(std::string(model_.texts().settingsStayHere))));
  auto* footer = label(text(AppVersion::settingsDescription(bundle.identifier, bundle.info)),
                       TextStyle::secondary);
  footer->setObjectName(QStringLiteral("versionFooter"));
  layout->addWidget(footer);
  return box;
}

void SettingsPage::refresh() {
  SystemSettings& settings = model_.systemSettings();
  const LoginState login = settings.loginState().get();
  loginSwitch_->setChecked(login == LoginState::enabled);
  loginDescription_->setText(text(AppTexts::loginDescription(login, model_.texts())));
  approvalButtons_->setVisible(login == LoginState::requiresApproval);
  const auto& error = settings.error().get();
  error_->setVisible(error.has_value());
  if (error) error_->setText(text(AppTexts::systemSettingsError(*error, model_.texts())));

  updatesSwitch_->setChecked(updates_.automaticallyChecksForUpdates());

  permissionStatus_->setText(text(AppTexts::permissionStatus(settings.accessibility().get())));
  const auto& check = model_.permissionCheck().get();
  checkResult_->setVisible(check.has_value());
  checkTime_->setVisible(check.has_value());
  if (check) {
    checkResult_->setText(text(AppTexts::permissionCheckResult(check->permission, model_.texts())));
    const auto millis = static_cast<qint64>(check->checkedAt.unixSeconds() * 1000.0);
    const QString time =
        QDateTime::fromMSecsSinceEpoch(millis).toString(QStringLiteral("HH:mm:ss"));
    checkTime_->setText(QStringLiteral("Última comprobación: ") + time);
  }
}

}  // namespace mirlet
