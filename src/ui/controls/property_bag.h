#pragma once
// Saved properties of a control: name to value. A value equal to its default
// is not stored, and reading a missing name gives the default.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <variant>

namespace orvane::ui {

using PropertyValue = std::variant<std::uint32_t, bool, std::string>;

class PropertyBag {
 public:
  void WriteProperty(std::string_view name, PropertyValue value, const PropertyValue& fallback) {
    if (value == fallback) {
      values_.erase(std::string(name));
    } else {
      values_.insert_or_assign(std::string(name), std::move(value));
    }
  }

  // The stored value if it has the default's type, otherwise the default.
  template <class T>
  T ReadProperty(std::string_view name, const T& fallback) const {
    auto it = values_.find(name);
    if (it == values_.end()) return fallback;
    if (const T* stored = std::get_if<T>(&it->second)) return *stored;
    return fallback;
  }

  bool Contains(std::string_view name) const { return values_.find(name) != values_.end(); }
  std::size_t Size() const { return values_.size(); }
  const std::map<std::string, PropertyValue, std::less<>>& Values() const { return values_; }

 private:
  std::map<std::string, PropertyValue, std::less<>> values_;
};

}  // namespace orvane::ui
