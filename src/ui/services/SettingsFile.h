#pragma once

#include <QString>

#include <string>
#include <vector>

namespace tessarapane::ui {

// The settings file as the program finds it at start, and the care taken
// before each write: what the user stored is never dropped silently.
//  - A file larger than kMaxSize, or a path that is no file, is neither read
//    nor written (a 52 MB file once cost 381 MB and a 52 MB rewrite per
//    change).
//  - A file with lines the INI reader does not understand (or that is not
//    UTF-8) would lose them at the first write: a copy is kept beside it,
//    "<file>.bad-<time>", before that write; without the copy nothing is
//    written.
//  - A missing folder is made 0700 and a missing file 0600, whatever the
//    umask.
// `notes` holds one log line for each of these and for a file that cannot be
// written.
class SettingsFile {
 public:
  static constexpr qint64 kMaxSize = 1024 * 1024;

  explicit SettingsFile(QString path);

  const QString& path() const { return path_; }
  bool usable() const { return usable_; }
  const std::vector<std::string>& notes() const { return notes_; }

  // True when the file may be written now. The first call makes what is
  // missing and keeps the copy of a damaged file; what it did or why it
  // refuses comes back in `*note` (the refusal then holds for good).
  bool prepareWrite(std::string* note);

 private:
  void inspectContent();
  void checkWritable();

  QString path_;
  bool usable_ = true;
  bool damaged_ = false;
  bool prepared_ = false;
  bool writeRefused_ = false;
  bool writable_ = false;
  std::vector<std::string> notes_;
};

}  // namespace tessarapane::ui
