#pragma once

#include <string>
#include <string_view>

#include "ClipboardHistory/model/ClipboardItem.h"
#include "core/Error.h"

namespace mirlet {

// Why stored JSON could not be read; the error's detail is the text the platform's
// decoder gives.
enum class IndexDecodingErrorCode {
  dataCorrupted,  // not JSON, or a value that cannot be what it should
  keyNotFound,    // a required key is missing
  typeMismatch,   // a value of the wrong type
  valueNotFound,  // null where a value is required
};

std::string_view errorName(IndexDecodingErrorCode code);

using IndexDecodingError = ErrorOf<IndexDecodingErrorCode>;

// A value that has no JSON form (a date or colour component that is not finite).
enum class IndexEncodingErrorCode { invalidValue };

constexpr std::string_view errorName(IndexEncodingErrorCode) { return "index: invalid value"; }

using IndexEncodingError = ErrorOf<IndexEncodingErrorCode>;

// The JSON form of the history index: compact, keys in declaration order, dates as
// seconds since 2001 in shortest round-trip form, identifiers as upper-case UUIDs.
// The decoder also reads JSON that escapes "/" as "\/", takes unknown keys as
// absent, and treats null optional values as absent.
namespace HistoryIndexCodec {

// Always writes version 1, the format this encoder writes. Throws IndexEncodingError.
std::string encode(const HistoryIndex& index);
// Throws IndexDecodingError.
HistoryIndex decode(std::string_view json);
// The top-level "version", or nothing when it cannot be read.
std::optional<std::int64_t> decodeVersion(std::string_view json);

// One detail alone, as it is stored inside an item.
std::string encodeDetail(const ItemDetail& detail);
ItemDetail decodeDetail(std::string_view json);

}  // namespace HistoryIndexCodec
}  // namespace mirlet
