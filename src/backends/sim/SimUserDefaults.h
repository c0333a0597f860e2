#pragma once

#include <map>
#include <string>
#include <variant>
#include <vector>

#include "platform/UserDefaults.h"

namespace tessarapane {

// User defaults kept in memory for the life of the desktop. A key holds one
// value of one type; reading it as another type gives nothing.
class SimUserDefaults final : public UserDefaults {
 public:
  using Value = std::variant<std::string, bool, std::vector<std::uint8_t>>;

  std::optional<std::string> stringValue(std::string_view key) override;
  std::optional<bool> boolValue(std::string_view key) override;
  std::optional<std::vector<std::uint8_t>> dataValue(std::string_view key) override;
  void setString(std::string_view key, std::string_view value) override;
  void setBool(std::string_view key, bool value) override;
  void setData(std::string_view key, const std::vector<std::uint8_t>& value) override;
  void removeValue(std::string_view key) override;

  bool contains(std::string_view key) const { return values_.count(std::string(key)) != 0; }
  std::size_t writeCount() const { return writes_; }

 private:
  template <typename T>
  std::optional<T> read(std::string_view key) const;

  std::map<std::string, Value, std::less<>> values_;
  std::size_t writes_ = 0;
};

}  // namespace tessarapane
