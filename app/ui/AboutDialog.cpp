#include "app/ui/AboutDialog.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "app/AppVersion.h"
#include "widgets/Widgets.h"

namespace mirlet {

using ui::label;
using ui::TextStyle;

AboutDialog::AboutDialog(const PropertyDictionary& info, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Acerca de Mirlet"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(28, 24, 28, 20);
  for (QLabel* line :
       {label(QStringLiteral("Mirlet"), TextStyle::title),
        label(ui::text(AppVersion::description(info)), TextStyle::secondary),
        label(QStringLiteral("Activa solo los ajustes que quieras usar. Puedes desactivarlos "
                             "cuando quieras desde esta ventana.\n\nTodas las funciones son "
                             "gratis. Podrás apoyar la app con una donación voluntaria."))}) {
    line->setAlignment(Qt::AlignHCenter);
    layout->addWidget(line);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  setFixedWidth(360);
}

}  // namespace mirlet
