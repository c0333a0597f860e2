// The settings file as the program finds it at start: in the XDG config folder, damaged, too large, in a place
// that cannot be written, or not there yet.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <filesystem>
#include <memory>

#include "backends/sim/SimLog.h"
#include "ui/services/QSettingsUserDefaults.h"

namespace tessarapane::ui {
namespace {

class SettingsFileTest : public ::testing::Test {
 protected:
  QString path() const { return folder.filePath(QStringLiteral("tessarapane/tessarapane.conf")); }
  void store(const QByteArray& bytes) {
    QDir().mkpath(folder.filePath(QStringLiteral("tessarapane")));
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  static QByteArray contents(const QString& at) {
    QFile file(at);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  QStringList copies() const {
    return QDir(folder.filePath(QStringLiteral("tessarapane"))).entryList({QStringLiteral("tessarapane.conf.bad-*")});
  }
  static std::filesystem::perms mode(const QString& at) {
    return std::filesystem::status(QFile::encodeName(at).toStdString()).permissions();
  }
  std::size_t logged(std::string_view fragment) const { return log->count("Settings", fragment); }

  QTemporaryDir folder;
  std::shared_ptr<SimLog> log = std::make_shared<SimLog>();
};

TEST_F(SettingsFileTest, ADamagedFileIsCopiedOnceBeforeItIsWrittenALargeOneIsLeftAloneAndWhatWasIgnoredIsLogged) {
  const QByteArray damaged("[string]\nrememberedLayout=grid\n\x01\xFFjunk\n[da");
  store(damaged);
  QSettingsUserDefaults defaults(path(), log);
  EXPECT_EQ(defaults.stringValue("rememberedLayout"), "grid");
  EXPECT_EQ(logged("cannot be read in full: 2 line(s) are not understood, the first \"\x01\xEF\xBF\xBDjunk\""), 1u);
  EXPECT_TRUE(copies().isEmpty()) << "reading alone changes nothing";

  defaults.setString("rememberedLayout", "tabs:split2");
  defaults.setString("rememberedLayout", "grid");
  ASSERT_EQ(copies().size(), 1);
  EXPECT_EQ(contents(folder.filePath(QStringLiteral("tessarapane/")) + copies().front()), damaged);
  EXPECT_EQ(QSettingsUserDefaults(path()).stringValue("rememberedLayout"), "grid");

  // A file over one megabyte is neither read nor written over.
  const QByteArray large = "[string]\nrememberedLayout=grid\n;" + QByteArray(1024 * 1024, 'x');
  store(large);
  QSettingsUserDefaults tooLarge(path(), log);
  EXPECT_EQ(tooLarge.stringValue("rememberedLayout"), std::nullopt);
  tooLarge.setString("rememberedLayout", "tabs:split2");
  tooLarge.removeValue("rememberedLayout");
  EXPECT_EQ(contents(path()), large);
  EXPECT_EQ(logged("more than 1 MB"), 1u);
}

TEST_F(SettingsFileTest, NewFilesLiveInTheXdgConfigFolderArePrivateAndHoldOneTypePerKeyAndBadPlacesAreLogged) {
  const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", folder.path().toUtf8());
  const mode_t umask = ::umask(0);
  QSettingsUserDefaults defaults(log);
  EXPECT_EQ(defaults.filePath(), path());
  defaults.setString("layout", "{\"kind\":\"split3\"}");
  defaults.setData("bindings", {0x00, 0x7b, 0xff, 0x0a, 0x3d});
  defaults.setBool("flag", false);
  defaults.setString("flag", "true");  // the new type replaces the old
  defaults.setBool("saved", true);
  defaults.removeValue("saved");
  ::umask(umask);
  QSettingsUserDefaults reopened;
  qputenv("XDG_CONFIG_HOME", saved);
  EXPECT_EQ(std::tuple(reopened.stringValue("layout"), reopened.dataValue("bindings"), reopened.stringValue("flag"),
                       reopened.boolValue("flag"), reopened.boolValue("saved")),
            std::tuple(std::optional<std::string>("{\"kind\":\"split3\"}"), std::optional(std::vector<std::uint8_t>{0x00, 0x7b, 0xff, 0x0a, 0x3d}),
                       std::optional<std::string>("true"), std::optional<bool>(), std::optional<bool>()));
  using enum std::filesystem::perms;
  EXPECT_EQ(std::tuple(mode(folder.filePath(QStringLiteral("tessarapane"))), mode(path()), log->lines().size()),
            std::tuple(owner_all, owner_read | owner_write, std::size_t{0}));
  QSettingsUserDefaults folderInstead(folder.filePath(QStringLiteral("tessarapane")), log);
  QSettingsUserDefaults underAFile(path() + QStringLiteral("/tessarapane/tessarapane.conf"), log);
  EXPECT_EQ(std::pair(logged("is no file"), logged("cannot be written")), std::pair(std::size_t{1}, std::size_t{1}));
}

}  // namespace
}  // namespace tessarapane::ui
