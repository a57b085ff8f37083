#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "ClipboardHistory/model/ClipboardItem.h"

namespace mirlet::bench {

// A realistic history, the same for a given seed: short and long texts with
// accents, links with titles, code, tables, files, images and private items,
// copied from a handful of applications.
inline std::vector<ClipboardItem> makeHistory(std::size_t count, std::uint32_t seed = 42) {
  std::mt19937 random(seed);
  const std::vector<std::string> words{
      "canción", "reunión", "presupuesto", "factura",  "Madrid", "niño",    "árbol",  "proyecto",
      "cliente", "informe", "dirección",   "teléfono", "mañana", "función", "código", "el",
      "de",      "la",      "que",         "y",        "en",     "un",      "para",   "con"};
  const std::vector<std::pair<std::string, std::string>> sources{
      {"com.apple.Safari", "Safari"},   {"com.apple.Notes", "Notas"},
      {"com.microsoft.VSCode", "Code"}, {"com.apple.mail", "Mail"},
      {"com.apple.finder", "Finder"},   {"com.tinyspeck.slackmacgap", "Slack"}};
  auto pick = [&](std::size_t n) {
    return static_cast<std::size_t>(random() % n);
  };
  auto sentence = [&](std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
      if (i > 0) text += i % 12 == 0 ? "\n" : " ";
      text += words[pick(words.size())];
    }
    return text;
  };

  std::vector<ClipboardItem> items;
  items.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    ClipboardItem item;
    item.id = Uuid::random();
    item.fingerprint = std::to_string(i) + "-" + std::to_string(random());
    item.firstCopiedAt = item.lastUsedAt = Date{800000000.0 - static_cast<double>(i) * 37.5};
    const auto& [bundle, name] = sources[pick(sources.size())];
    item.sourceBundleID = bundle;
    item.sourceName = name;
    if (pick(3) == 0) item.windowTitle = sentence(4);
    switch (pick(10)) {
      case 0:
        item.kind = ItemKind::link;
        item.text =
            "https://www.example.com/" + std::to_string(i) + "/articulo-sobre-" + words[pick(8)];
        item.linkTitle = sentence(6);
        break;
      case 1:
        item.kind = ItemKind::files;
        item.text = "/Users/ana/Documents/" + sentence(2) + ".pdf\n/Users/ana/Desktop/" +
                    sentence(1) + ".key";
        item.detail = ItemDetails::FileCount{2};
        break;
      case 2:
        item.kind = ItemKind::image;
        item.detail = ItemDetails::Pixels{1280, 800};
        break;
      case 3:
        item.isPrivate = true;
        break;
      case 4:
        item.kind = ItemKind::code;
        item.text = "for (auto& x : items) {\n    total += x.price;\n}\n" + sentence(30);
        item.detail = ItemDetails::Lines{4};
        break;
      case 5:
        item.kind = ItemKind::text;
        item.text = sentence(900);  // a long text, cut at 5000 characters for search
        item.detail = ItemDetails::Lines{75};
        break;
      default:
        item.kind = ItemKind::text;
        item.text = sentence(3 + pick(40));
        item.detail = ItemDetails::Lines{1};
    }
    item.pasteboardTypes = {{"public.utf8-plain-text"}};
    item.byteCount = static_cast<std::int64_t>(item.text.size());
    items.push_back(std::move(item));
  }
  return items;
}

}  // namespace mirlet::bench
