#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;

namespace mirlet {

// The preview beside the panel: the selected items' files one at a time, an image
// as a picture, text as text, anything else by name with a button that opens it
// in its application. ← and → step through the files; Space and Escape close it.
class PreviewWindow : public QWidget {
 public:
  // `closed` runs whenever the preview goes away, however it was closed.
  explicit PreviewWindow(std::function<void()> closed, QWidget* parent = nullptr);

  void show(const std::vector<std::filesystem::path>& files);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void showCurrent();

  std::function<void()> closed_;
  std::vector<std::filesystem::path> files_;
  std::size_t current_ = 0;
  QLabel* title_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  QLabel* picture_ = nullptr;
  QPlainTextEdit* text_ = nullptr;
  QLabel* other_ = nullptr;
  QPushButton* open_ = nullptr;
};

}  // namespace mirlet
