#include "ui/services/QSettingsUserDefaults.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QVariant>

#include <array>
#include <map>
#include <utility>

#include "coordinator/SettingsLog.h"
#include "platform/Log.h"
#include "ui/services/QtConversions.h"

namespace tessarapane::ui {

namespace {

const QString kStringGroup = QStringLiteral("string");
const QString kBoolGroup = QStringLiteral("bool");
const QString kDataGroup = QStringLiteral("data");

QString path(const QString& group, std::string_view key) { return group + QLatin1Char('/') + toQString(key); }

// Changes not yet in the file, per file: a value, or none for a removal.
// A change is written on the event loop's next turn, so whoever asked for it
// (a layout start, a hot-key press) does not wait for the disk; the file is
// still replaced whole and synced (QSettings saves through a new file and a
// rename). Every reader of the file sees the changes at once.
using Changes = std::map<QString, std::optional<QVariant>>;
std::map<QString, Changes>& pendingChanges() {
  static std::map<QString, Changes> pending;
  return pending;
}

void writePending(const QString& file) {
  const auto found = pendingChanges().find(file);
  if (found == pendingChanges().end()) return;
  const Changes changes = std::move(found->second);
  pendingChanges().erase(found);
  QSettings settings(file, QSettings::IniFormat);
  for (const auto& [at, value] : changes) {
    if (value) settings.setValue(at, *value);
    else settings.remove(at);
  }
  settings.sync();
}

void change(const QString& file, const QString& at, std::optional<QVariant> value) {
  auto& pending = pendingChanges();
  const bool first = pending.count(file) == 0;
  pending[file][at] = std::move(value);
  if (!first) return;
  // Without an event loop (a command-line tool) the write happens at once.
  if (QCoreApplication* application = QCoreApplication::instance()) {
    QMetaObject::invokeMethod(application, [file] { writePending(file); }, Qt::QueuedConnection);
  } else {
    writePending(file);
  }
}

// Writes `value` under the group of its type and drops the key from the others.
void write(const QString& file, const QString& group, std::string_view key, const QVariant& value) {
  for (const QString& other : std::array{kStringGroup, kBoolGroup, kDataGroup}) {
    if (other != group) change(file, path(other, key), std::nullopt);
  }
  change(file, path(group, key), value);
}

std::optional<QVariant> read(const QString& file, const QString& group, std::string_view key) {
  const QString at = path(group, key);
  if (const auto pending = pendingChanges().find(file); pending != pendingChanges().end()) {
    if (const auto changed = pending->second.find(at); changed != pending->second.end()) return changed->second;
  }
  QSettings settings(file, QSettings::IniFormat);
  if (!settings.contains(at)) return std::nullopt;
  return settings.value(at);
}

}  // namespace

QSettingsUserDefaults::QSettingsUserDefaults(std::shared_ptr<Log> log)
    : QSettingsUserDefaults(defaultFilePath(), std::move(log)) {}

QSettingsUserDefaults::QSettingsUserDefaults(QString filePath, std::shared_ptr<Log> log)
    : file_(std::move(filePath)),
      log_(std::move(log), std::string(kLogSubsystem),
           std::string(kSettingsLogCategory)) {
  for (const std::string& note : file_.notes()) log_.write(note);
}

QSettingsUserDefaults::~QSettingsUserDefaults() { writePending(filePath()); }

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
  const bool pending = pendingChanges().count(filePath()) != 0;
  if ((!pending && !QFileInfo::exists(filePath())) || !prepareWrite()) return;
  for (const QString& group : std::array{kStringGroup, kBoolGroup, kDataGroup}) {
    change(filePath(), path(group, key), std::nullopt);
  }
}

}  // namespace tessarapane::ui
