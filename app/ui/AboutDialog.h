#pragma once

#include <QDialog>

#include "core/PropertyValue.h"

namespace mirlet {

// The about panel: name, version and credits.
class AboutDialog : public QDialog {
 public:
  explicit AboutDialog(const PropertyDictionary& info, QWidget* parent = nullptr);
};

}  // namespace mirlet
