#pragma once

#include <QLabel>
#include <QString>
#include <QVBoxLayout>
#include <string>

namespace mirlet::ui {

// Small helpers for the texts of the window.
inline QString text(const std::string& utf8) { return QString::fromStdString(utf8); }

// A label that wraps, in one of the window's text styles.
enum class TextStyle { body, secondary, heading, title, largeTitle };
QLabel* label(const QString& text, TextStyle style = TextStyle::body, QWidget* parent = nullptr);
void applyStyle(QLabel* label, TextStyle style);

// Fills `page` with a frameless scroll area and returns the layout of the content
// that scrolls, with the window's page margins.
QVBoxLayout* scrollingContent(QWidget* page);

}  // namespace mirlet::ui
