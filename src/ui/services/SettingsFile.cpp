#include "ui/services/SettingsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <cerrno>
#include <string_view>
#include <utility>

#include "text/Utf8Text.h"

namespace tessarapane::ui {

namespace {

std::string quotedPath(const QString& path) { return "\"" + path.toStdString() + "\""; }

// Lines the INI reader skips: neither blank, a ';' comment, a [section] nor
// a key=value line ('#' starts no comment there).
std::vector<std::string> unreadLines(const QByteArray& content) {
  std::vector<std::string> lines;
  for (const QByteArray& raw : content.split('\n')) {
    const QByteArray line = raw.trimmed();
    if (line.isEmpty() || line.startsWith(';') || line.contains('=')) continue;
    if (line.startsWith('[') && line.endsWith(']')) continue;
    lines.push_back(Utf8Text::valid(std::string_view(line.constData(), static_cast<std::size_t>(line.size()))));
  }
  return lines;
}

bool accessible(const QString& path, int mode) { return ::access(QFile::encodeName(path).constData(), mode) == 0; }

// Makes the missing folders of `folder`, each 0700 whatever the umask.
bool makeFolders(const QString& folder) {
  if (QFileInfo(folder).isDir()) return true;
  const QString parent = QFileInfo(folder).absolutePath();
  if (parent != folder && !makeFolders(parent)) return false;
  const QByteArray native = QFile::encodeName(folder);
  if (::mkdir(native.constData(), 0700) != 0) return errno == EEXIST && QFileInfo(folder).isDir();
  return ::chmod(native.constData(), 0700) == 0;
}

bool makeFile(const QString& path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return errno == EEXIST;
  const bool ok = ::fchmod(fd, 0600) == 0;
  ::close(fd);
  return ok;
}

}  // namespace

SettingsFile::SettingsFile(QString path) : path_(std::move(path)) {
  const QFileInfo info(path_);
  if (info.exists() && !info.isFile()) {
    usable_ = false;
    notes_.push_back("the settings path " + quotedPath(path_) + " is no file: settings are neither read nor kept");
    return;
  }
  if (info.exists() && info.size() > kMaxSize) {
    usable_ = false;
    notes_.push_back("the settings file " + quotedPath(path_) + " holds " + std::to_string(info.size()) +
                     " bytes, more than 1 MB: it is left untouched, and settings are neither read from it nor kept");
    return;
  }
  if (info.exists()) inspectContent();
  checkWritable();
}

void SettingsFile::inspectContent() {
  QFile file(path_);
  if (!file.open(QIODevice::ReadOnly)) {
    damaged_ = true;
    notes_.push_back("the settings file " + quotedPath(path_) + " cannot be read (" + file.errorString().toStdString() +
                     ")");
    return;
  }
  const QByteArray content = file.readAll();
  const std::vector<std::string> lines = unreadLines(content);
  const bool utf8 = Utf8Text::isValid(std::string_view(content.constData(), static_cast<std::size_t>(content.size())));
  const bool parsed = QSettings(path_, QSettings::IniFormat).status() == QSettings::NoError;
  if (lines.empty() && utf8 && parsed) return;
  damaged_ = true;
  std::string note = "the settings file " + quotedPath(path_) + " cannot be read in full";
  if (!lines.empty()) {
    note += ": " + std::to_string(lines.size()) + " line(s) are not understood, the first " +
            Utf8Text::quoted(lines.front(), 60);
  } else if (!utf8) {
    note += ": it is not UTF-8 text";
  }
  notes_.push_back(note + "; what is not understood is ignored, and a copy is kept before the file is next written");
}

void SettingsFile::checkWritable() {
  const QFileInfo info(path_);
  // A save writes a new file beside the old one and renames it, so the
  // folder must be writable too; a missing file needs its nearest existing
  // folder to be writable.
  QString folder = info.absolutePath();
  while (!QFileInfo::exists(folder) && QFileInfo(folder).absolutePath() != folder) {
    folder = QFileInfo(folder).absolutePath();
  }
  writable_ = QFileInfo(folder).isDir() && accessible(folder, W_OK | X_OK) &&
              (!info.exists() || accessible(path_, W_OK));
  if (!writable_) {
    notes_.push_back("the settings file " + quotedPath(path_) + " cannot be written: changes are not kept");
  }
}

bool SettingsFile::prepareWrite(std::string* note) {
  if (!usable_ || writeRefused_) return false;
  if (prepared_) return true;
  std::string problem;
  if (damaged_ && QFileInfo::exists(path_)) {
    const QString copy =
        path_ + QStringLiteral(".bad-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (!QFile::copy(path_, copy)) {
      problem = "cannot keep a copy of the settings file " + quotedPath(path_) + " at " + quotedPath(copy) +
                ": it is left untouched, and settings are not kept";
    } else if (note) {
      *note = "the settings file " + quotedPath(path_) + " could not be read in full: it was copied to " +
              quotedPath(copy) + " before being written";
    }
  } else if (!makeFolders(QFileInfo(path_).absolutePath()) || !makeFile(path_)) {
    problem = "cannot make the settings file " + quotedPath(path_) + ": settings are not kept";
  }
  if (!problem.empty()) {
    writeRefused_ = true;
    if (note) *note = problem;
    return false;
  }
  prepared_ = true;
  return true;
}

}  // namespace tessarapane::ui
