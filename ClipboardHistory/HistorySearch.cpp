#include "ClipboardHistory/HistorySearch.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <array>

#include "ClipboardHistory/UnicodeText.h"

namespace mirlet::HistorySearch {
namespace {

bool isAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Width folding: the halfwidth and fullwidth forms and the ideographic space
// become their ordinary (compatibility) forms.
bool isWidthVariant(UChar32 c) { return c == 0x3000 || (c >= 0xFF00 && c <= 0xFFEF); }

std::string foldUnicode(std::string_view text) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfkc = icu::Normalizer2::getNFKCInstance(status);
  const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  if (U_FAILURE(status)) return std::string(text);

  const icu::UnicodeString source = icu::UnicodeString::fromUTF8(
      icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
  icu::UnicodeString widened;
  for (int32_t i = 0; i < source.length();) {
    const UChar32 c = source.char32At(i);
    i += U16_LENGTH(c);
    icu::UnicodeString decomposition;
    if (isWidthVariant(c) && nfkc->getDecomposition(c, decomposition)) {
      widened += decomposition;
    } else {
      widened += c;
    }
  }
  // Case first, so that a folded letter's own marks are removed too (İ folds to
  // i with a combining dot).
  widened.foldCase();
  icu::UnicodeString decomposed = nfd->normalize(widened, status);
  icu::UnicodeString unmarked;
  for (int32_t i = 0; i < decomposed.length();) {
    const UChar32 c = decomposed.char32At(i);
    i += U16_LENGTH(c);
    if (u_charType(c) != U_NON_SPACING_MARK) unmarked += c;
  }
  icu::UnicodeString composed = nfc->normalize(unmarked, status);
  if (U_FAILURE(status)) return std::string(text);
  std::string result;
  composed.toUTF8String(result);
  return result;
}

using Words = std::vector<std::string_view>;

}  // namespace

std::string normalize(std::string_view text) {
  if (isAscii(text)) {
    std::string lower(text);
    for (char& c : lower) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
  }
  return foldUnicode(text);
}

const std::vector<std::string_view>& synonyms(ItemKind kind) {
  // In the order of the kinds.
  static const std::array<Words, 17> kWords{{
      {"texto", "palabras", "nota"},
      {"texto", "formato", "estilo", "enriquecido"},
      {"enlace", "enlaces", "url", "web", "link", "pagina", "sitio"},
      {"correo", "email", "mail", "direccion"},
      {"color", "colores", "tono", "muestra"},
      {"codigo", "programa", "script", "terminal"},
      {"tabla", "tablas", "celdas", "filas", "columnas", "hoja"},
      {"imagen", "imagenes", "foto", "fotos", "grafico", "dibujo"},
      {"captura", "capturas", "pantalla", "foto", "imagen"},
      {"archivo", "archivos", "documento", "fichero"},
      {"archivos", "documentos", "varios", "ficheros"},
      {"carpeta", "carpetas", "directorio"},
      {"audio", "sonido", "musica", "cancion"},
      {"video", "videos", "pelicula", "clip"},
      {"evento", "eventos", "calendario", "cita", "reunion"},
      {"contenido", "objeto", "app"},
      {"otro", "otros"},
  }};
  return kWords[static_cast<std::size_t>(kind)];
}

const std::vector<std::string_view>& privateWords() {
  static const Words kWords{"privado", "privados", "oculto", "secreto", "contrasena"};
  return kWords;
}

std::string haystack(const ClipboardItem& item) {
  std::string joined;
  auto add = [&joined, first = true](std::string_view part) mutable {
    if (!first) joined += '\n';
    joined += part;
    first = false;
  };
  if (item.sourceName) add(*item.sourceName);
  if (item.windowTitle) add(*item.windowTitle);
  if (item.isPrivate) {
    for (std::string_view word : privateWords()) add(word);
  } else {
    add(UnicodeText::prefixOfCharacters(item.text, maximumSearchedTextLength));
    add(item.linkTitle.value_or(""));
    for (std::string_view word : synonyms(item.kind)) add(word);
  }
  return normalize(joined);
}

}  // namespace mirlet::HistorySearch
