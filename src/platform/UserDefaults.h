#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessarapane {

// The persistent key-value store of user settings. A key holds one value of
// one type; reading it as another type gives nothing, as does a missing key.
// Writes are kept at once (a crash right after loses nothing).
class UserDefaults {
 public:
  virtual ~UserDefaults() = default;

  virtual std::optional<std::string> stringValue(std::string_view key) = 0;
  virtual std::optional<bool> boolValue(std::string_view key) = 0;
  virtual std::optional<std::vector<std::uint8_t>> dataValue(std::string_view key) = 0;

  virtual void setString(std::string_view key, std::string_view value) = 0;
  virtual void setBool(std::string_view key, bool value) = 0;
  virtual void setData(std::string_view key, const std::vector<std::uint8_t>& value) = 0;

  // Forgets the key; a later read gives nothing.
  virtual void removeValue(std::string_view key) = 0;
};

}  // namespace tessarapane
