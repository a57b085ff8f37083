#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace mirlet {

struct PropertyValue;
using PropertyArray = std::vector<PropertyValue>;
using PropertyDictionary = std::map<std::string, PropertyValue>;

// A property-list value as the user-defaults store keeps it: a bool, an integer, a
// real, a string, or an array or dictionary of such values.
struct PropertyValue {
  using Storage =
      std::variant<bool, std::int64_t, double, std::string, PropertyArray, PropertyDictionary>;
  Storage storage;

  PropertyValue() : storage(false) {}
  PropertyValue(bool value) : storage(value) {}
  PropertyValue(std::int64_t value) : storage(value) {}
  PropertyValue(int value) : storage(static_cast<std::int64_t>(value)) {}
  PropertyValue(double value) : storage(value) {}
  PropertyValue(std::string value) : storage(std::move(value)) {}
  PropertyValue(const char* value) : storage(std::string(value)) {}
  PropertyValue(PropertyArray value) : storage(std::move(value)) {}
  PropertyValue(PropertyDictionary value) : storage(std::move(value)) {}

  template <class T>
  const T* as() const {
    return std::get_if<T>(&storage);
  }

  friend bool operator==(const PropertyValue&, const PropertyValue&) = default;
};

}  // namespace mirlet
