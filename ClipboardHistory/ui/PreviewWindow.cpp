#include "ClipboardHistory/ui/PreviewWindow.h"

#include <QDesktopServices>
#include <QFile>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace mirlet {
namespace {

// More text than anyone reads in a preview; the rest stays in the file.
constexpr qint64 kMaximumText = 1 << 20;

QString displayPath(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

}  // namespace

PreviewWindow::PreviewWindow(std::function<void()> closed, QWidget* parent)
    : QWidget(parent, Qt::Tool), closed_(std::move(closed)) {
  setObjectName(QStringLiteral("previewWindow"));
  setWindowTitle(QStringLiteral("Vista previa"));
  resize(560, 420);
  auto* layout = new QVBoxLayout(this);
  title_ = new QLabel;
  title_->setAlignment(Qt::AlignCenter);
  title_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(title_);

  pages_ = new QStackedWidget;
  picture_ = new QLabel;
  picture_->setAlignment(Qt::AlignCenter);
  picture_->setMinimumSize(1, 1);
  text_ = new QPlainTextEdit;
  text_->setReadOnly(true);
  text_->setFocusPolicy(Qt::NoFocus);
  auto* otherPage = new QWidget;
  auto* otherLayout = new QVBoxLayout(otherPage);
  other_ = new QLabel;
  other_->setAlignment(Qt::AlignCenter);
  other_->setWordWrap(true);
  open_ = new QPushButton(QStringLiteral("Abrir"));
  connect(open_, &QPushButton::clicked, this, [this] {
    QDesktopServices::openUrl(QUrl::fromLocalFile(displayPath(files_.at(current_))));
  });
  otherLayout->addStretch(1);
  otherLayout->addWidget(other_);
  otherLayout->addWidget(open_, 0, Qt::AlignHCenter);
  otherLayout->addStretch(1);
  pages_->addWidget(picture_);
  pages_->addWidget(text_);
  pages_->addWidget(otherPage);
  layout->addWidget(pages_, 1);
}

void PreviewWindow::show(const std::vector<std::filesystem::path>& files) {
  files_ = files;
  current_ = 0;
  showCurrent();
  QWidget::show();
  raise();
  activateWindow();
}

void PreviewWindow::showCurrent() {
  if (files_.empty()) return;
  const std::filesystem::path& file = files_[current_];
  QString title = QString::fromStdString(file.filename().string());
  if (files_.size() > 1) {
    title += QStringLiteral("  ·  %1 de %2").arg(current_ + 1).arg(files_.size());
  }
  title_->setText(title);
  const QString path = displayPath(file);
  const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
  if (type.name().startsWith(QLatin1String("image/"))) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (!image.isNull()) {
      const QSize box = pages_->size().isEmpty() ? QSize(540, 360) : pages_->size();
      picture_->setPixmap(
          QPixmap::fromImage(image.width() > box.width() || image.height() > box.height()
                                 ? image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                                 : image));
      pages_->setCurrentWidget(picture_);
      return;
    }
  }
  if (type.inherits(QStringLiteral("text/plain"))) {
    QFile contents(path);
    if (contents.open(QIODevice::ReadOnly)) {
      text_->setPlainText(QString::fromUtf8(contents.read(kMaximumText)));
      pages_->setCurrentWidget(text_);
      return;
    }
  }
  other_->setText(type.comment().isEmpty() ? path : type.comment() + QStringLiteral("\n") + path);
  pages_->setCurrentIndex(2);
}

void PreviewWindow::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Escape:
      close();
      return;
    case Qt::Key_Left:
    case Qt::Key_Up:
      if (current_ > 0) --current_, showCurrent();
      return;
    case Qt::Key_Right:
    case Qt::Key_Down:
      if (current_ + 1 < files_.size()) ++current_, showCurrent();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void PreviewWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous() && !files_.empty()) {
    files_.clear();
    closed_();
  }
}

}  // namespace mirlet
