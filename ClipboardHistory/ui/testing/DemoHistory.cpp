#include "ClipboardHistory/ui/testing/DemoHistory.h"

#include <QBuffer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QUrl>
#include <random>

#include "ClipboardHistory/service/HistoryDiskStore.h"
#include "widgets/PanelSymbols.h"

namespace mirlet::demo {
namespace {

Bytes png(const QImage& image) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return Bytes(data.begin(), data.end());
}

QColor colorFor(const std::string& key) {
  std::uint32_t hash = 2166136261u;
  for (const char c : key) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  return QColor::fromHsv(static_cast<int>(hash % 360), 150, 215);
}

}  // namespace

Bytes siteIcon(const std::string& url) {
  const QString host = QUrl(QString::fromStdString(url)).host();
  QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
  image.fill(siteColor(url));
  QPainter painter(&image);
  QFont font;
  font.setPixelSize(20);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(image.rect(), Qt::AlignCenter,
                   host.section(QLatin1Char('.'), -2, -2).left(1).toUpper());
  painter.end();
  return png(image);
}

QColor siteColor(const std::string& url) {
  return colorFor(QUrl(QString::fromStdString(url)).host().toStdString());
}

namespace {

struct Source {
  const char* bundleID;
  const char* name;
};
constexpr Source kNotes{"org.gnome.TextEditor", "Editor de texto"};
constexpr Source kBrowser{"org.mozilla.firefox", "Firefox"};
constexpr Source kScreenshot{"com.apple.screencaptureui", "Captura de pantalla"};
constexpr Source kCode{"com.visualstudio.code", "Code"};
constexpr Source kMail{"org.gnome.Evolution", "Evolution"};
constexpr Source kSheets{"org.libreoffice.calc", "LibreOffice Calc"};
constexpr Source kPasswords{"org.keepassxc.KeePassXC", "KeePassXC"};
constexpr Source kFiles{"org.gnome.Nautilus", "Archivos"};
constexpr Source kPhotos{"org.gnome.Loupe", "Imágenes"};
constexpr Source kChat{"org.telegram.desktop", "Telegram"};
constexpr Source kSlides{"org.libreoffice.impress", "LibreOffice Impress"};
constexpr Source kCalendar{"org.gnome.Calendar", "Calendario"};

struct Entry {
  double secondsAgo;
  Source source;
  ItemKind kind;
  std::string text;
  ItemDetail detail = ItemDetails::None{};
  bool isFavorite = false;
  std::optional<std::string> linkTitle = std::nullopt;
  bool isPrivate = false;
};

std::vector<Entry> handWritten() {
  constexpr double minute = 60;
  constexpr double hour = 3600;
  constexpr double day = 86400;
  return {
      {20, kNotes, ItemKind::text,
       "Reunión con el equipo de diseño el jueves a las 10:30 en la sala Miró.",
       ItemDetails::Lines{1}, true},
      {5 * minute, kBrowser, ItemKind::link,
       "https://www.ejemplo.es/tecnologia/2026/12/portatiles-mas-bateria", ItemDetails::None{},
       false, "Los portátiles de 2027 llegan con el doble de batería"},
      {12 * minute, kScreenshot, ItemKind::screenshot, "", ItemDetails::Pixels{1440, 900}},
      {40 * minute, kCode, ItemKind::code,
       "double total(const std::vector<Item>& items) {\n  double sum = 0;\n  for (const auto& "
       "item : items) sum += item.price;\n  return sum;\n}",
       ItemDetails::Lines{5}},
      {70 * minute, kBrowser, ItemKind::color, "#3A7BD5",
       ItemDetails::Color{{0.227, 0.482, 0.835, 1}}},
      {2 * hour, kMail, ItemKind::email, "ana.garcia@ejemplo.es"},
      {3 * hour, kSheets, ItemKind::table,
       "Producto\tUnidades\tPrecio\nCafé\t12\t3,50\nTé verde\t8\t2,80\nChocolate\t5\t4,10",
       ItemDetails::Table{4, 3}},
      {4 * hour, kPasswords, ItemKind::other, "", ItemDetails::None{}, false, std::nullopt, true},
      {day + 2 * hour, kFiles, ItemKind::files,
       "/home/ana/Documentos/Presupuesto 2027.pdf\n/home/ana/Documentos/Factura 0142.pdf",
       ItemDetails::FileCount{2}, true},
      {day + 5 * hour, kFiles, ItemKind::folder, "/home/ana/Proyectos/Mirlet",
       ItemDetails::FileCount{1}},
      {day + 6 * hour, kChat, ItemKind::text,
       "¡Hola! Te paso la dirección del restaurante: calle de Alcalá 42, Madrid. Hemos quedado "
       "a las nueve, pero si llegas antes pide una mesa junto a la ventana.",
       ItemDetails::Lines{2}},
      {3 * day, kPhotos, ItemKind::image, "", ItemDetails::Pixels{4032, 3024}, true},
      {4 * day, kBrowser, ItemKind::link, "https://github.com/ejemplo/proyecto/pull/128"},
      {5 * day, kMail, ItemKind::richText,
       "Querida Marta:\nGracias por el informe de ayer. He añadido mis notas en los márgenes; "
       "lo vemos con calma el lunes.",
       ItemDetails::Lines{3}},
      {9 * day, kFiles, ItemKind::audio, "/home/ana/Música/Entrevista radio.m4a",
       ItemDetails::FileCount{1}},
      {12 * day, kFiles, ItemKind::video, "/home/ana/Vídeos/Presentación del producto.mp4",
       ItemDetails::FileCount{1}},
      {15 * day, kCalendar, ItemKind::calendarEvent, "Cena de Navidad · 19 dic., 21:00",
       ItemDetails::Events{1}},
      {20 * day, kSlides, ItemKind::appContent, ""},
      {40 * day, kNotes, ItemKind::text, "Lista de la compra: leche, pan, tomates, aceite",
       ItemDetails::Lines{1}},
  };
}

ClipboardItem makeItem(const Entry& entry, Date now) {
  ClipboardItem item;
  item.id = Uuid::random();
  item.kind = entry.kind;
  item.detail = entry.detail;
  item.isPrivate = entry.isPrivate;
  item.text = entry.text;
  item.sourceBundleID = entry.source.bundleID;
  item.sourceName = entry.source.name;
  item.firstCopiedAt = item.lastUsedAt = Date{now.secondsSinceReferenceDate - entry.secondsAgo};
  item.fingerprint = item.id.toString();
  item.pasteboardTypes = {{"public.utf8-plain-text"}};
  item.byteCount = static_cast<std::int64_t>(item.text.size());
  item.isFavorite = entry.isFavorite;
  item.linkTitle = entry.linkTitle;
  return item;
}

// Older items: notes, messages and links every few minutes for weeks.
Entry generated(std::size_t index, std::mt19937& random, bool isImage) {
  static const std::vector<std::string> words{
      "canción", "reunión",   "presupuesto", "factura", "Madrid",  "proyecto", "cliente",
      "informe", "dirección", "teléfono",    "mañana",  "función", "código",   "equipo",
      "el",      "de",        "la",          "que",     "y",       "en",       "para"};
  static const Source sources[] = {kNotes, kBrowser, kChat, kMail, kCode};
  const double secondsAgo = 41 * 86400 + static_cast<double>(index) * 240;
  const Source source = sources[random() % std::size(sources)];
  if (isImage) {
    return {secondsAgo, kPhotos, ItemKind::image, "", ItemDetails::Pixels{1600, 1200}};
  }
  std::string text;
  const std::size_t length = 4 + random() % 24;
  for (std::size_t i = 0; i < length; ++i) text += (i ? " " : "") + words[random() % words.size()];
  if (source.bundleID == kBrowser.bundleID) {
    return {secondsAgo, source, ItemKind::link,
            "https://www.ejemplo.es/" + std::to_string(index) + "/" + words[random() % 8]};
  }
  return {secondsAgo, source, source.bundleID == kCode.bundleID ? ItemKind::code : ItemKind::text,
          text, ItemDetails::Lines{1}};
}

}  // namespace

std::optional<Bytes> DemoWorkspace::applicationIcon(const std::string& bundleIdentifier) const {
  QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor color = colorFor(bundleIdentifier);
  QLinearGradient gradient(0, 0, 0, 64);
  gradient.setColorAt(0, color.lighter(115));
  gradient.setColorAt(1, color.darker(115));
  painter.setBrush(gradient);
  painter.setPen(Qt::NoPen);
  painter.drawRoundedRect(QRectF(4, 4, 56, 56), 14, 14);
  const auto dot = bundleIdentifier.find_last_of('.');
  const std::string name = bundleIdentifier.substr(dot == std::string::npos ? 0 : dot + 1);
  QFont font;
  font.setPixelSize(30);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRectF(4, 4, 56, 56), Qt::AlignCenter,
                   QString::fromStdString(name).left(1).toUpper());
  painter.end();
  return png(image);
}

std::optional<Bytes> DemoWorkspace::fileIcon(const std::string& path) const {
  QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  const bool isFolder = std::filesystem::path(path).extension().empty();
  ui::drawSymbol(painter, QRectF(4, 4, 56, 56), isFolder ? "folder" : "doc",
                 isFolder ? QColor(0x4A, 0x90, 0xD9) : QColor(0x70, 0x70, 0x78));
  painter.end();
  return png(image);
}

Bytes picture(std::size_t index, int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const int hue = static_cast<int>((index * 47) % 360);
  QLinearGradient sky(0, 0, 0, height);
  sky.setColorAt(0, QColor::fromHsv(hue, 90, 250));
  sky.setColorAt(1, QColor::fromHsv((hue + 30) % 360, 60, 255));
  painter.fillRect(image.rect(), sky);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor::fromHsv((hue + 180) % 360, 40, 255, 220));
  painter.drawEllipse(QPointF(width * 0.75, height * 0.28), height * 0.11, height * 0.11);
  for (int layer = 0; layer < 3; ++layer) {
    QPainterPath hills;
    hills.moveTo(0, height);
    const double base = height * (0.55 + layer * 0.12);
    for (int x = 0; x <= width; x += width / 8) {
      hills.lineTo(x, base - std::sin((x + layer * 90 + index * 13) * 0.01) * height * 0.08);
    }
    hills.lineTo(width, height);
    painter.setBrush(
        QColor::fromHsv((hue + 100 + layer * 20) % 360, 90 + layer * 40, 200 - layer * 40));
    painter.drawPath(hills);
  }
  painter.end();
  return png(image);
}

DemoHistory::DemoHistory(sim::SimDesktop& desktop, std::size_t count, std::size_t imageEvery)
    : workspace_(desktop.time, desktop.time), keys_(desktop.keychain, "app.mirlet") {
  const auto root = folder_ / "ClipboardHistory";
  const Date now = desktop.time.now();
  std::mt19937 random(7);
  std::vector<Entry> entries = handWritten();
  for (std::size_t i = entries.size(); i < count; ++i) {
    entries.push_back(generated(i, random, imageEvery > 0 && i % imageEvery == 0));
  }
  entries.resize(std::min(entries.size(), std::max<std::size_t>(count, 1)));
  {
    HistoryDiskStore store({files_, desktop.time, desktop.time, desktop.time}, root,
                           PrivateItemCipher(keys_), {});
    store.start();
    // The key exists once a private item has been kept: the history's private item was.
    PrivateItemCipher(keys_).keyedFingerprint("demo");
    HistoryIndex index;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      ClipboardItem item = makeItem(entries[i], now);
      if (item.kind == ItemKind::image || item.kind == ItemKind::screenshot) {
        const auto& pixels = std::get<ItemDetails::Pixels>(item.detail);
        const double scale = 480.0 / static_cast<double>(std::max(pixels.width, pixels.height));
        store.writeFile(picture(i, static_cast<int>(pixels.width * scale),
                                static_cast<int>(pixels.height * scale)),
                        store.thumbnailPath(item.id));
      }
      if (item.kind == ItemKind::link && item.linkTitle) {
        store.writeFile(siteIcon(item.text), store.thumbnailPath(item.id));
      }
      index.items.push_back(std::move(item));
    }
    index.lists.push_back(
        ItemList{Uuid::random(), "Trabajo", {index.items[1].id, index.items[8].id}});
    index.lists.push_back(ItemList{Uuid::random(), "Recetas", {}});
    store.write(index);
  }
  std::filesystem::create_directories(folder_ / "tmp");
  feature_ = std::make_unique<ClipboardHistoryFeature>(
      preferences_,
      ClipboardHistoryServices{desktop.pasteboard, workspace_, desktop.accessibility,
                               desktop.events, desktop.hotKeys, desktop.keyboardLayout, images_,
                               desktop.fileURLs, files_, keys_, links_, desktop.time, desktop.time,
                               desktop.time, root, folder_ / "tmp", "app.mirlet"},
      [](const Uuid&) {});
  feature_->update([](ClipboardHistorySettings& settings) {
    settings.limit = HistoryLimit::count(HistoryLimits::hardCap);
  });
  feature_->start(Uuid::random());
}

DemoHistory::~DemoHistory() { feature_->stop(); }

DemoPanel::DemoPanel(sim::SimDesktop& desktop, ClipboardHistoryFeature& feature) {
  controller_ = std::make_unique<HistoryPanelController>(
      feature,
      HistoryPanelControllerServices{desktop.workspace, desktop.screens, desktop.events,
                                     desktop.accessibility, desktop.time, desktop.time,
                                     desktop.time, CalendarSettings{}},
      [this, &feature, &desktop](HistoryPanelModel& model, HistoryPanelController& owner) {
        auto made =
            std::make_unique<HistoryPanelWindow>(model, owner, feature, desktop.time, defaults_);
        window_ = made.get();
        return made;
      },
      HistoryPanelRequests{[] {},
                           [] {
                           }});
}

}  // namespace mirlet::demo
