#include "ClipboardHistory/model/HistorySearch.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <unordered_map>

#include "core/UnicodeText.h"

namespace mirlet::HistorySearch {
namespace {

// Width folding: the halfwidth and fullwidth forms and the ideographic space
// become their ordinary (compatibility) forms.
bool isWidthVariant(UChar32 c) { return c == 0x3000 || (c >= 0xFF00 && c <= 0xFFEF); }

// The folded form of one code point: width, then case (so that a folded letter's
// own marks go too: İ folds to i with a combining dot), then accents (nonspacing
// marks after canonical decomposition), recomposed.
std::string foldCodePoint(UChar32 c) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfkc = icu::Normalizer2::getNFKCInstance(status);
  const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  icu::UnicodeString folded;
  if (U_FAILURE(status) || !isWidthVariant(c) || !nfkc->getDecomposition(c, folded)) folded = c;
  folded.foldCase();
  const icu::UnicodeString decomposed = nfd->normalize(folded, status);
  icu::UnicodeString unmarked;
  for (int32_t i = 0; i < decomposed.length();) {
    const UChar32 part = decomposed.char32At(i);
    i += U16_LENGTH(part);
    if (u_charType(part) != U_NON_SPACING_MARK) unmarked += part;
  }
  const icu::UnicodeString composed = nfc->normalize(unmarked, status);
  std::string result;
  (U_FAILURE(status) ? icu::UnicodeString(c) : composed).toUTF8String(result);
  return result;
}

// Texts repeat the same few non-ASCII letters, so each code point is folded once
// per thread and remembered. Folding code point by code point gives the same text
// as folding the whole, except that decomposed Hangul stays decomposed; queries
// and haystacks are folded alike, so matching is unaffected.
const std::string& foldedCodePoint(UChar32 c) {
  thread_local std::unordered_map<UChar32, std::string> cache;
  auto found = cache.find(c);
  if (found == cache.end()) found = cache.emplace(c, foldCodePoint(c)).first;
  return found->second;
}

using Words = std::vector<std::string_view>;

}  // namespace

std::string normalize(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (int32_t i = 0; i < static_cast<int32_t>(text.size());) {
    const auto byte = static_cast<unsigned char>(text[static_cast<std::size_t>(i)]);
    if (byte < 0x80) {
      result += (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte - 'A' + 'a')
                                             : static_cast<char>(byte);
      ++i;
      continue;
    }
    UChar32 c = 0;
    U8_NEXT_OR_FFFD(reinterpret_cast<const uint8_t*>(text.data()), i,
                    static_cast<int32_t>(text.size()), c);
    result += foldedCodePoint(c);
  }
  return result;
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
