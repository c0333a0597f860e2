#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/UserDefaults.h"

namespace tessarapane::ui {

// User defaults in an INI file under the XDG config folder
// ($XDG_CONFIG_HOME, else ~/.config): tessarapane/tessarapane.conf. INI files
// keep no types, so each value lives in the group of its type ([string],
// [bool], [data]); a key is in at most one of them, and reading it as another
// type gives nothing. Every write is flushed to disk at once.
class QSettingsUserDefaults final : public UserDefaults {
 public:
  // The file in the XDG config folder as it is now.
  QSettingsUserDefaults();
  explicit QSettingsUserDefaults(QString filePath);

  static QString defaultFilePath();
  const QString& filePath() const { return filePath_; }

  std::optional<std::string> stringValue(std::string_view key) override;
  std::optional<bool> boolValue(std::string_view key) override;
  std::optional<std::vector<std::uint8_t>> dataValue(std::string_view key) override;

  void setString(std::string_view key, std::string_view value) override;
  void setBool(std::string_view key, bool value) override;
  void setData(std::string_view key, const std::vector<std::uint8_t>& value) override;

  void removeValue(std::string_view key) override;

 private:
  QString filePath_;
};

}  // namespace tessarapane::ui
