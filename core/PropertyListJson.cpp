#include "core/PropertyListJson.h"

#include <nlohmann/json.hpp>

namespace mirlet::PropertyListJson {
namespace {

using nlohmann::json;

constexpr int kMaxDepth = 64;

json toJson(const PropertyValue& value) {
  return std::visit(
      [](const auto& v) -> json {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, PropertyArray>) {
          json array = json::array();
          for (const auto& element : v) array.push_back(toJson(element));
          return array;
        } else if constexpr (std::is_same_v<T, PropertyDictionary>) {
          json object = json::object();
          for (const auto& [key, element] : v) object[key] = toJson(element);
          return object;
        } else {
          return json(v);
        }
      },
      value.storage);
}

std::optional<PropertyValue> fromJson(const json& value, int depth) {
  if (depth > kMaxDepth) return std::nullopt;
  switch (value.type()) {
    case json::value_t::boolean:
      return PropertyValue(value.get<bool>());
    case json::value_t::number_integer:
      return PropertyValue(value.get<std::int64_t>());
    case json::value_t::number_unsigned: {
      auto number = value.get<std::uint64_t>();
      if (number <= static_cast<std::uint64_t>(INT64_MAX)) {
        return PropertyValue(static_cast<std::int64_t>(number));
      }
      return PropertyValue(static_cast<double>(number));
    }
    case json::value_t::number_float:
      return PropertyValue(value.get<double>());
    case json::value_t::string:
      return PropertyValue(value.get<std::string>());
    case json::value_t::array: {
      PropertyArray array;
      for (const auto& element : value) {
        if (auto converted = fromJson(element, depth + 1)) array.push_back(std::move(*converted));
      }
      return PropertyValue(std::move(array));
    }
    case json::value_t::object: {
      PropertyDictionary dictionary;
      for (const auto& [key, element] : value.items()) {
        if (auto converted = fromJson(element, depth + 1)) {
          dictionary.emplace(key, std::move(*converted));
        }
      }
      return PropertyValue(std::move(dictionary));
    }
    default:
      return std::nullopt;
  }
}

}  // namespace

std::string encode(const PropertyDictionary& values) {
  return toJson(PropertyValue(values)).dump(2, ' ', false, json::error_handler_t::replace);
}

PropertyDictionary decode(std::string_view text) {
  json document = json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (document.is_discarded()) throw PropertyListJsonError(PropertyListJsonErrorCode::malformed);
  if (!document.is_object()) throw PropertyListJsonError(PropertyListJsonErrorCode::notADictionary);
  PropertyDictionary values;
  for (const auto& [key, element] : document.items()) {
    if (auto converted = fromJson(element, 1)) values.emplace(key, std::move(*converted));
  }
  return values;
}

}  // namespace mirlet::PropertyListJson
