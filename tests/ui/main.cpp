#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>

#include <cstdlib>

// One QApplication for every test, on the offscreen platform unless the
// environment names another, with a private runtime folder.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
    qputenv("XDG_RUNTIME_DIR", QDir::temp().filePath(QStringLiteral("tessarapane-ui-runtime")).toUtf8());
  }
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  QDir().mkpath(runtime);
  QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

  ::testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tessarapane"));
  return RUN_ALL_TESTS();
}
