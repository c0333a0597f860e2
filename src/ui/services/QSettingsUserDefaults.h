#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "coordinator/LogChannel.h"
#include "platform/UserDefaults.h"
#include "ui/services/SettingsFile.h"

namespace tessarapane::ui {

// User defaults in an INI file under the XDG config folder
// ($XDG_CONFIG_HOME, else ~/.config): tessarapane/tessarapane.conf. INI files
// keep no types, so each value lives in the group of its type ([string],
// [bool], [data]); a key is in at most one of them, and reading it as another
// type gives nothing. Writes reach the disk on the event loop's next turn
// (at once without a running application, and when this goes). The file is
// looked at once, at construction (SettingsFile): what cannot be read or
// kept is logged then, and a file that cannot be used is left alone.
class QSettingsUserDefaults final : public UserDefaults {
 public:
  // The file in the XDG config folder as it is now.
  explicit QSettingsUserDefaults(std::shared_ptr<Log> log = nullptr);
  explicit QSettingsUserDefaults(QString filePath, std::shared_ptr<Log> log = nullptr);
  ~QSettingsUserDefaults() override;
  QSettingsUserDefaults(const QSettingsUserDefaults&) = delete;
  QSettingsUserDefaults& operator=(const QSettingsUserDefaults&) = delete;

  static QString defaultFilePath();
  const QString& filePath() const { return file_.path(); }

  std::optional<std::string> stringValue(std::string_view key) override;
  std::optional<bool> boolValue(std::string_view key) override;
  std::optional<std::vector<std::uint8_t>> dataValue(std::string_view key) override;

  void setString(std::string_view key, std::string_view value) override;
  void setBool(std::string_view key, bool value) override;
  void setData(std::string_view key, const std::vector<std::uint8_t>& value) override;

  void removeValue(std::string_view key) override;

 private:
  bool prepareWrite();

  SettingsFile file_;
  LogChannel log_;
};

}  // namespace tessarapane::ui
