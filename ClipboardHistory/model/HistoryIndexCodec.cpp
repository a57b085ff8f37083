#include "ClipboardHistory/model/HistoryIndexCodec.h"

#include <simdjson.h>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>

#include "core/UnicodeText.h"

namespace mirlet {

std::string_view errorName(IndexDecodingErrorCode code) {
  switch (code) {
    case IndexDecodingErrorCode::dataCorrupted:
      return "index: data corrupted";
    case IndexDecodingErrorCode::keyNotFound:
      return "index: key not found";
    case IndexDecodingErrorCode::typeMismatch:
      return "index: type mismatch";
    case IndexDecodingErrorCode::valueNotFound:
      return "index: value not found";
  }
  return "index";
}

namespace HistoryIndexCodec {
namespace {

using nlohmann::json;
using Code = IndexDecodingErrorCode;

// ---- Writing -------------------------------------------------------------

// Appends JSON text to one string; the shapes are written by hand so that the key
// order is the declaration order and nothing is built twice.
class Writer {
 public:
  std::string take() { return std::move(out_); }

  void raw(std::string_view text) { out_ += text; }

  void key(std::string_view name) {
    string(name);
    out_ += ':';
  }

  // Escapes what JSON requires; bytes that are not UTF-8 become U+FFFD so the
  // result always reads back.
  void string(std::string_view text) {
    out_ += '"';
    std::size_t i = 0;
    while (i < text.size()) {
      const auto byte = static_cast<unsigned char>(text[i]);
      if (byte >= 0x80) {
        const std::size_t length = UnicodeText::validSequenceLength(text, i);
        if (length == 0) {
          out_ += "\xEF\xBF\xBD";
          ++i;
        } else {
          out_.append(text, i, length);
          i += length;
        }
        continue;
      }
      switch (byte) {
        case '"':
          out_ += "\\\"";
          break;
        case '\\':
          out_ += "\\\\";
          break;
        case '\n':
          out_ += "\\n";
          break;
        case '\r':
          out_ += "\\r";
          break;
        case '\t':
          out_ += "\\t";
          break;
        case '\b':
          out_ += "\\b";
          break;
        case '\f':
          out_ += "\\f";
          break;
        default:
          if (byte < 0x20) {
            constexpr char kHex[] = "0123456789abcdef";
            out_ += "\\u00";
            out_ += kHex[byte >> 4];
            out_ += kHex[byte & 0x0F];
          } else {
            out_ += static_cast<char>(byte);
          }
      }
      ++i;
    }
    out_ += '"';
  }

  void integer(std::int64_t value) {
    std::array<char, 24> buffer;
    auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    out_.append(buffer.data(), end);
  }

  void real(double value) {
    if (!std::isfinite(value)) throw IndexEncodingError(IndexEncodingErrorCode::invalidValue);
    std::array<char, 32> buffer;
    auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    out_.append(buffer.data(), end);
  }

  void boolean(bool value) { out_ += value ? "true" : "false"; }

 private:
  std::string out_;
};

void writeDetail(Writer& w, const ItemDetail& detail) {
  std::visit(
      [&w](const auto& value) {
        using T = std::decay_t<decltype(value)>;
        w.raw("{");
        if constexpr (std::is_same_v<T, ItemDetails::None>) {
          w.raw("\"none\":{}");
        } else if constexpr (std::is_same_v<T, ItemDetails::Lines>) {
          w.raw("\"lines\":{\"_0\":");
          w.integer(value.count);
          w.raw("}");
        } else if constexpr (std::is_same_v<T, ItemDetails::Pixels>) {
          w.raw("\"pixels\":{\"width\":");
          w.integer(value.width);
          w.raw(",\"height\":");
          w.integer(value.height);
          w.raw("}");
        } else if constexpr (std::is_same_v<T, ItemDetails::FileCount>) {
          w.raw("\"fileCount\":{\"_0\":");
          w.integer(value.count);
          w.raw("}");
        } else if constexpr (std::is_same_v<T, ItemDetails::Table>) {
          w.raw("\"table\":{\"rows\":");
          w.integer(value.rows);
          w.raw(",\"columns\":");
          w.integer(value.columns);
          w.raw("}");
        } else if constexpr (std::is_same_v<T, ItemDetails::Events>) {
          w.raw("\"events\":{\"_0\":");
          w.integer(value.count);
          w.raw("}");
        } else {
          w.raw("\"color\":{\"_0\":{\"red\":");
          w.real(value.value.red);
          w.raw(",\"green\":");
          w.real(value.value.green);
          w.raw(",\"blue\":");
          w.real(value.value.blue);
          w.raw(",\"alpha\":");
          w.real(value.value.alpha);
          w.raw("}}");
        }
        w.raw("}");
      },
      detail);
}

void writeOptionalString(Writer& w, std::string_view name,
                         const std::optional<std::string>& value) {
  if (!value) return;
  w.raw(",");
  w.key(name);
  w.string(*value);
}

void writeItem(Writer& w, const ClipboardItem& item) {
  w.raw("{\"id\":");
  w.string(item.id.toString());
  w.raw(",\"kind\":");
  w.string(ItemKinds::rawValue(item.kind));
  w.raw(",\"detail\":");
  writeDetail(w, item.detail);
  w.raw(",\"isPrivate\":");
  w.boolean(item.isPrivate);
  w.raw(",\"text\":");
  w.string(item.text);
  writeOptionalString(w, "sourceBundleID", item.sourceBundleID);
  writeOptionalString(w, "sourceName", item.sourceName);
  writeOptionalString(w, "windowTitle", item.windowTitle);
  w.raw(",\"firstCopiedAt\":");
  w.real(item.firstCopiedAt.secondsSinceReferenceDate);
  w.raw(",\"lastUsedAt\":");
  w.real(item.lastUsedAt.secondsSinceReferenceDate);
  w.raw(",\"fingerprint\":");
  w.string(item.fingerprint);
  w.raw(",\"pasteboardTypes\":[");
  for (std::size_t i = 0; i < item.pasteboardTypes.size(); ++i) {
    if (i > 0) w.raw(",");
    w.raw("[");
    for (std::size_t j = 0; j < item.pasteboardTypes[i].size(); ++j) {
      if (j > 0) w.raw(",");
      w.string(item.pasteboardTypes[i][j]);
    }
    w.raw("]");
  }
  w.raw("],\"byteCount\":");
  w.integer(item.byteCount);
  w.raw(",\"isFavorite\":");
  w.boolean(item.isFavorite);
  writeOptionalString(w, "linkTitle", item.linkTitle);
  w.raw("}");
}

void writeList(Writer& w, const ItemList& list) {
  w.raw("{\"id\":");
  w.string(list.id.toString());
  w.raw(",\"name\":");
  w.string(list.name);
  w.raw(",\"itemIDs\":[");
  for (std::size_t i = 0; i < list.itemIDs.size(); ++i) {
    if (i > 0) w.raw(",");
    w.string(list.itemIDs[i].toString());
  }
  w.raw("]}");
}

// ---- Reading -------------------------------------------------------------

// The index is megabytes: it is parsed with simdjson, which reads it several times
// faster than a general JSON library, and the items are built from the parsed tape.
using Element = simdjson::dom::element;
using Object = simdjson::dom::object;
using Type = simdjson::dom::element_type;

[[noreturn]] void fail(Code code, std::string description) {
  throw IndexDecodingError(code, std::move(description));
}

std::string typeName(Element value) {
  switch (value.type()) {
    case Type::OBJECT:
      return "a dictionary";
    case Type::ARRAY:
      return "an array";
    case Type::STRING:
      return "a string";
    case Type::BOOL:
      return "a boolean";
    case Type::NULL_VALUE:
      return "null";
    default:
      return "a number";
  }
}

[[noreturn]] void mismatch(std::string_view expected, Element found) {
  fail(Code::typeMismatch, "Expected to decode " + std::string(expected) + " but found " +
                               typeName(found) + " instead.");
}

Object object(Element value) {
  if (value.type() != Type::OBJECT) mismatch("Dictionary<String, Any>", value);
  return value.get_object().value_unsafe();
}

std::optional<Element> field(Object container, std::string_view key) {
  Element found;
  if (container.at_key(key).get(found) != simdjson::SUCCESS) return std::nullopt;
  return found;
}

Element required(Object container, std::string_view key) {
  const auto found = field(container, key);
  if (!found) fail(Code::keyNotFound, "No value associated with key \"" + std::string(key) + "\".");
  if (found->is_null()) {
    fail(Code::valueNotFound,
         "Expected a value for key \"" + std::string(key) + "\" but found null.");
  }
  return *found;
}

std::string_view string(Element value) {
  if (value.type() != Type::STRING) mismatch("String", value);
  return value.get_string().value_unsafe();
}

std::optional<std::string> optionalString(Object container, std::string_view key) {
  const auto found = field(container, key);
  if (!found || found->is_null()) return std::nullopt;
  return std::string(string(*found));
}

bool boolean(Element value) {
  if (value.type() != Type::BOOL) mismatch("Bool", value);
  return value.get_bool().value_unsafe();
}

// A number as the error text shows it: the shortest text that reads back, with
// ".0" on a whole real so that it still reads as one.
std::string numberText(double number) {
  std::array<char, 32> buffer{};
  const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), number).ptr;
  std::string text(buffer.data(), end);
  if (text.find_first_of(".eEn") == std::string::npos) text += ".0";
  return text;
}

[[noreturn]] void doesNotFit(std::string_view number) {
  fail(Code::dataCorrupted,
       "Parsed JSON number <" + std::string(number) + "> does not fit in Int.");
}

std::int64_t integer(Element value) {
  switch (value.type()) {
    case Type::INT64:
      return value.get_int64().value_unsafe();
    case Type::UINT64: {
      const std::uint64_t number = value.get_uint64().value_unsafe();
      if (number <= static_cast<std::uint64_t>(INT64_MAX)) return static_cast<std::int64_t>(number);
      doesNotFit(std::to_string(number));
    }
    case Type::DOUBLE:
      doesNotFit(numberText(value.get_double().value_unsafe()));
    default:
      mismatch("Int", value);
  }
}

double real(Element value) {
  switch (value.type()) {
    case Type::INT64:
      return static_cast<double>(value.get_int64().value_unsafe());
    case Type::UINT64:
      return static_cast<double>(value.get_uint64().value_unsafe());
    case Type::DOUBLE:
      return value.get_double().value_unsafe();
    default:
      mismatch("Double", value);
  }
}

Uuid uuid(Element value) {
  auto parsed = Uuid::parse(string(value));
  if (!parsed) fail(Code::dataCorrupted, "Attempted to decode UUID from invalid UUID string.");
  return *parsed;
}

ColorValue color(Element value) {
  const Object fields = object(value);
  return ColorValue{real(required(fields, "red")), real(required(fields, "green")),
                    real(required(fields, "blue")), real(required(fields, "alpha"))};
}

constexpr std::array<std::string_view, 7> kDetailCases{"none",  "lines",  "pixels", "fileCount",
                                                       "table", "events", "color"};

ItemDetail detail(Element value) {
  const Object fields = object(value);
  Element payload;
  std::size_t caseIndex = 0;
  int recognised = 0;
  for (const auto [key, found] : fields) {
    const auto known = std::find(kDetailCases.begin(), kDetailCases.end(), key);
    if (known == kDetailCases.end()) continue;
    ++recognised;
    payload = found;
    caseIndex = static_cast<std::size_t>(known - kDetailCases.begin());
  }
  if (recognised != 1) fail(Code::typeMismatch, "Invalid number of keys found, expected one.");
  const Object values = object(payload);
  switch (caseIndex) {
    case 0:
      return ItemDetails::None{};
    case 1:
      return ItemDetails::Lines{integer(required(values, "_0"))};
    case 2:
      return ItemDetails::Pixels{integer(required(values, "width")),
                                 integer(required(values, "height"))};
    case 3:
      return ItemDetails::FileCount{integer(required(values, "_0"))};
    case 4:
      return ItemDetails::Table{integer(required(values, "rows")),
                                integer(required(values, "columns"))};
    case 5:
      return ItemDetails::Events{integer(required(values, "_0"))};
    default:
      return ItemDetails::Color{color(required(values, "_0"))};
  }
}

simdjson::dom::array array(Element value) {
  if (value.type() != Type::ARRAY) mismatch("Array<Any>", value);
  return value.get_array().value_unsafe();
}

ClipboardItem item(Element value) {
  const Object fields = object(value);
  ClipboardItem result;
  result.id = uuid(required(fields, "id"));
  const std::string_view kind = string(required(fields, "kind"));
  auto parsedKind = ItemKinds::fromRawValue(kind);
  if (!parsedKind) {
    fail(Code::dataCorrupted,
         "Cannot initialize ItemKind from invalid String value " + std::string(kind));
  }
  result.kind = *parsedKind;
  result.detail = detail(required(fields, "detail"));
  result.isPrivate = boolean(required(fields, "isPrivate"));
  result.text = string(required(fields, "text"));
  result.sourceBundleID = optionalString(fields, "sourceBundleID");
  result.sourceName = optionalString(fields, "sourceName");
  result.windowTitle = optionalString(fields, "windowTitle");
  result.firstCopiedAt = Date{real(required(fields, "firstCopiedAt"))};
  result.lastUsedAt = Date{real(required(fields, "lastUsedAt"))};
  result.fingerprint = string(required(fields, "fingerprint"));
  for (const Element group : array(required(fields, "pasteboardTypes"))) {
    auto& types = result.pasteboardTypes.emplace_back();
    for (const Element type : array(group)) types.emplace_back(string(type));
  }
  result.byteCount = integer(required(fields, "byteCount"));
  result.isFavorite = boolean(required(fields, "isFavorite"));
  result.linkTitle = optionalString(fields, "linkTitle");
  return result;
}

ItemList list(Element value) {
  const Object fields = object(value);
  ItemList result{uuid(required(fields, "id")), std::string(string(required(fields, "name"))), {}};
  for (const Element id : array(required(fields, "itemIDs"))) result.itemIDs.push_back(uuid(id));
  return result;
}

// The parser owns the parsed document, so it lives as long as the reading.
Element parse(simdjson::dom::parser& parser, std::string_view text) {
  Element document;
  if (parser.parse(text.data(), text.size()).get(document) != simdjson::SUCCESS) {
    fail(Code::dataCorrupted, "The given data was not valid JSON.");
  }
  return document;
}

}  // namespace

std::string encode(const HistoryIndex& index) {
  Writer w;
  // The format written is version 1, whatever the value read from a file said.
  w.raw("{\"version\":");
  w.integer(HistoryIndex::currentVersion);
  w.raw(",\"items\":[");
  for (std::size_t i = 0; i < index.items.size(); ++i) {
    if (i > 0) w.raw(",");
    writeItem(w, index.items[i]);
  }
  w.raw("],\"lists\":[");
  for (std::size_t i = 0; i < index.lists.size(); ++i) {
    if (i > 0) w.raw(",");
    writeList(w, index.lists[i]);
  }
  w.raw("]}");
  return w.take();
}

HistoryIndex decode(std::string_view text) {
  simdjson::dom::parser parser;
  const Object fields = object(parse(parser, text));
  HistoryIndex index;
  index.version = integer(required(fields, "version"));
  const auto items = array(required(fields, "items"));
  index.items.reserve(items.size());
  for (const Element value : items) index.items.push_back(item(value));
  for (const Element value : array(required(fields, "lists"))) index.lists.push_back(list(value));
  return index;
}

namespace {

// Reads the top-level "version" without building the document: the index is
// megabytes, and the version comes first in what this program writes.
class VersionReader : public nlohmann::json_sax<json> {
 public:
  std::optional<std::int64_t> version;
  bool invalid = false;

  bool null() override { return value(); }
  bool boolean(bool) override { return value(); }
  bool number_integer(number_integer_t number) override { return integer(number); }
  bool number_unsigned(number_unsigned_t number) override {
    if (number > static_cast<number_unsigned_t>(INT64_MAX)) return value();
    return integer(static_cast<std::int64_t>(number));
  }
  bool number_float(number_float_t, const string_t&) override { return value(); }
  bool string(string_t&) override { return value(); }
  bool binary(binary_t&) override { return value(); }
  bool start_object(std::size_t) override { return open(); }
  bool key(string_t& name) override {
    atVersion_ = depth_ == 1 && name == "version";
    return true;
  }
  bool end_object() override { return close(); }
  bool start_array(std::size_t) override {
    if (depth_ == 0) invalid = true;  // not an object
    return open() && !invalid;
  }
  bool end_array() override { return close(); }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
    invalid = true;
    return false;
  }

 private:
  bool value() {
    if (depth_ == 0) invalid = true;
    // A version that is no integer reads as none.
    return !(atVersion_ && depth_ == 1) && !invalid;
  }
  bool integer(std::int64_t number) {
    if (depth_ == 0) {
      invalid = true;
      return false;
    }
    if (!atVersion_ || depth_ != 1) return true;
    version = number;
    return false;  // found: the rest is not read
  }
  bool open() {
    // A value under "version" that is an object or array is no version.
    if (atVersion_ && depth_ == 1) return false;
    ++depth_;
    return true;
  }
  bool close() {
    --depth_;
    atVersion_ = false;
    return true;
  }

  int depth_ = 0;
  bool atVersion_ = false;
};

}  // namespace

std::optional<std::int64_t> decodeVersion(std::string_view text) {
  VersionReader reader;
  json::sax_parse(text, &reader, nlohmann::json::input_format_t::json, /*strict=*/false);
  if (reader.invalid) return std::nullopt;
  return reader.version;
}

std::string encodeDetail(const ItemDetail& value) {
  Writer w;
  writeDetail(w, value);
  return w.take();
}

ItemDetail decodeDetail(std::string_view text) {
  simdjson::dom::parser parser;
  return detail(parse(parser, text));
}

}  // namespace HistoryIndexCodec
}  // namespace mirlet
