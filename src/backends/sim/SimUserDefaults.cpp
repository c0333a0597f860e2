#include "backends/sim/SimUserDefaults.h"

namespace tessarapane {

template <typename T>
std::optional<T> SimUserDefaults::read(std::string_view key) const {
  auto found = values_.find(key);
  if (found == values_.end()) return std::nullopt;
  if (const T* value = std::get_if<T>(&found->second)) return *value;
  return std::nullopt;
}

std::optional<std::string> SimUserDefaults::stringValue(std::string_view key) { return read<std::string>(key); }

std::optional<bool> SimUserDefaults::boolValue(std::string_view key) { return read<bool>(key); }

std::optional<std::vector<std::uint8_t>> SimUserDefaults::dataValue(std::string_view key) {
  return read<std::vector<std::uint8_t>>(key);
}

void SimUserDefaults::setString(std::string_view key, std::string_view value) {
  values_[std::string(key)] = std::string(value);
  ++writes_;
}

void SimUserDefaults::setBool(std::string_view key, bool value) {
  values_[std::string(key)] = value;
  ++writes_;
}

void SimUserDefaults::setData(std::string_view key, const std::vector<std::uint8_t>& value) {
  values_[std::string(key)] = value;
  ++writes_;
}

void SimUserDefaults::removeValue(std::string_view key) {
  auto found = values_.find(key);
  if (found != values_.end()) values_.erase(found);
  ++writes_;
}

}  // namespace tessarapane
