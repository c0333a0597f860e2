#include "ui/QSettingsUserDefaults.h"

#include <QByteArray>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QVariant>

#include <array>
#include <utility>

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

QSettingsUserDefaults::QSettingsUserDefaults() : QSettingsUserDefaults(defaultFilePath()) {}

QSettingsUserDefaults::QSettingsUserDefaults(QString filePath) : filePath_(std::move(filePath)) {}

QString QSettingsUserDefaults::defaultFilePath() {
  // Looked up every time: QStandardPaths reads XDG_CONFIG_HOME afresh.
  const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return QDir(config).filePath(QStringLiteral("tessarapane/tessarapane.conf"));
}

std::optional<std::string> QSettingsUserDefaults::stringValue(std::string_view key) {
  const std::optional<QVariant> value = read(filePath_, kStringGroup, key);
  if (!value) return std::nullopt;
  return toStdString(value->toString());
}

std::optional<bool> QSettingsUserDefaults::boolValue(std::string_view key) {
  const std::optional<QVariant> value = read(filePath_, kBoolGroup, key);
  if (!value) return std::nullopt;
  return value->toBool();
}

std::optional<std::vector<std::uint8_t>> QSettingsUserDefaults::dataValue(std::string_view key) {
  const std::optional<QVariant> value = read(filePath_, kDataGroup, key);
  if (!value) return std::nullopt;
  const QByteArray bytes = value->toByteArray();
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

void QSettingsUserDefaults::setString(std::string_view key, std::string_view value) {
  write(filePath_, kStringGroup, key, toQString(value));
}

void QSettingsUserDefaults::setBool(std::string_view key, bool value) { write(filePath_, kBoolGroup, key, value); }

void QSettingsUserDefaults::setData(std::string_view key, const std::vector<std::uint8_t>& value) {
  write(filePath_, kDataGroup, key,
        QByteArray(reinterpret_cast<const char*>(value.data()), static_cast<qsizetype>(value.size())));
}

void QSettingsUserDefaults::removeValue(std::string_view key) {
  QSettings settings(filePath_, QSettings::IniFormat);
  for (const QString& group : std::array{kStringGroup, kBoolGroup, kDataGroup}) settings.remove(path(group, key));
  settings.sync();
}

}  // namespace tessarapane::ui
