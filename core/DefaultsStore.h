#pragma once

#include <optional>
#include <string>

#include "core/PropertyValue.h"

namespace mirlet {

// A string-keyed store of property-list values that survives restarts (the user
// defaults). Writes are visible to the next read at once.
class DefaultsStore {
 public:
  virtual ~DefaultsStore() = default;

  virtual std::optional<PropertyValue> object(const std::string& key) const = 0;
  virtual void set(const std::string& key, PropertyValue value) = 0;
  virtual void remove(const std::string& key) = 0;

  // Typed reads: the value when the key holds that type, otherwise nothing.
  std::optional<bool> boolean(const std::string& key) const { return typed<bool>(key); }
  std::optional<std::string> string(const std::string& key) const {
    return typed<std::string>(key);
  }

 private:
  template <class T>
  std::optional<T> typed(const std::string& key) const {
    auto value = object(key);
    if (!value) return std::nullopt;
    if (const T* typedValue = value->as<T>()) return *typedValue;
    return std::nullopt;
  }
};

// A defaults store held in memory, for tests and for a store that cannot be saved.
class MemoryDefaultsStore : public DefaultsStore {
 public:
  MemoryDefaultsStore() = default;
  explicit MemoryDefaultsStore(PropertyDictionary values) : values_(std::move(values)) {}

  std::optional<PropertyValue> object(const std::string& key) const override {
    auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    return it->second;
  }
  void set(const std::string& key, PropertyValue value) override {
    values_[key] = std::move(value);
  }
  void remove(const std::string& key) override { values_.erase(key); }

  const PropertyDictionary& values() const { return values_; }

 private:
  PropertyDictionary values_;
};

}  // namespace mirlet
