#include "ui/QSettingsUserDefaults.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QVariant>

#include <array>
#include <utility>

#include "coordinator/LayoutCoordinator.h"
#include "coordinator/SettingsLog.h"
#include "ui/QtConversions.h"

namespace tessarapane::ui {

namespace {

const QString kStringGroup = QStringLiteral("string");
const QString kBoolGroup = QStringLiteral("bool");
const QString kDataGroup = QStringLiteral("data");

QString path(const QString& group, std::string_view key) { return group + QLatin1Char('/') + toQString(key); }

// Writes `value` under the group of its type and drops the key from the others.
void write(const QString& file, const QString& group, std::string_view key, const QVariant& value) {
  QSettings settings(file, QSettings::IniFormat);
  for (const QString& other : std::array{kStringGroup, kBoolGroup, kDataGroup}) {
    if (other != group) settings.remove(path(other, key));
  }
  settings.setValue(path(group, key), value);
  settings.sync();
}

std::optional<QVariant> read(const QString& file, const QString& group, std::string_view key) {
  QSettings settings(file, QSettings::IniFormat);
  const QString at = path(group, key);
  if (!settings.contains(at)) return std::nullopt;
  return settings.value(at);
}

}  // namespace

QSettingsUserDefaults::QSettingsUserDefaults(std::shared_ptr<Log> log)
    : QSettingsUserDefaults(defaultFilePath(), std::move(log)) {}

QSettingsUserDefaults::QSettingsUserDefaults(QString filePath, std::shared_ptr<Log> log)
    : file_(std::move(filePath)),
      log_(std::move(log), std::string(LayoutCoordinator::kLogSubsystem),
           std::string(kSettingsLogCategory)) {
  for (const std::string& note : file_.notes()) log_.write(note);
}

bool QSettingsUserDefaults::prepareWrite() {
  std::string note;
  const bool ready = file_.prepareWrite(&note);
  if (!note.empty()) log_.write(note);
  return ready;
}

QString QSettingsUserDefaults::defaultFilePath() {
  // Looked up every time: QStandardPaths reads XDG_CONFIG_HOME afresh.
  const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return QDir(config).filePath(QStringLiteral("tessarapane/tessarapane.conf"));
}

std::optional<std::string> QSettingsUserDefaults::stringValue(std::string_view key) {
  if (!file_.usable()) return std::nullopt;
  const std::optional<QVariant> value = read(filePath(), kStringGroup, key);
  if (!value) return std::nullopt;
  return toStdString(value->toString());
}

std::optional<bool> QSettingsUserDefaults::boolValue(std::string_view key) {
  if (!file_.usable()) return std::nullopt;
  const std::optional<QVariant> value = read(filePath(), kBoolGroup, key);
  if (!value) return std::nullopt;
  return value->toBool();
}

std::optional<std::vector<std::uint8_t>> QSettingsUserDefaults::dataValue(std::string_view key) {
  if (!file_.usable()) return std::nullopt;
  const std::optional<QVariant> value = read(filePath(), kDataGroup, key);
  if (!value) return std::nullopt;
  const QByteArray bytes = value->toByteArray();
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

void QSettingsUserDefaults::setString(std::string_view key, std::string_view value) {
  if (prepareWrite()) write(filePath(), kStringGroup, key, toQString(value));
}

void QSettingsUserDefaults::setBool(std::string_view key, bool value) {
  if (prepareWrite()) write(filePath(), kBoolGroup, key, value);
}

void QSettingsUserDefaults::setData(std::string_view key, const std::vector<std::uint8_t>& value) {
  if (!prepareWrite()) return;
  write(filePath(), kDataGroup, key,
        QByteArray(reinterpret_cast<const char*>(value.data()), static_cast<qsizetype>(value.size())));
}

void QSettingsUserDefaults::removeValue(std::string_view key) {
  // Nothing to remove from a file that is not there: it is not made for it.
  if (!QFileInfo::exists(filePath()) || !prepareWrite()) return;
  QSettings settings(filePath(), QSettings::IniFormat);
  for (const QString& group : std::array{kStringGroup, kBoolGroup, kDataGroup}) settings.remove(path(group, key));
  settings.sync();
}

}  // namespace tessarapane::ui
