#include "program/TrayProgram.h"

#include <QApplication>
#include <QGuiApplication>
#include <QSessionManager>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "app/AppDelegate.h"
#include "backends/x11/X11Platform.h"
#include "coordinator/LayoutCoordinator.h"
#include "program/ControlService.h"
#include "program/DBusSystemEvents.h"
#include "program/ProgramLog.h"
#include "program/SingleInstance.h"
#include "program/TerminationSignals.h"
#include "program/XConnectionLoss.h"
#include "text/EnglishTexts.h"
#include "ui/overlay/ApplicationIconProvider.h"
#include "ui/overlay/ApplicationIcons.h"
#include "ui/tray/LayoutKindIconEngine.h"
#include "ui/services/QSettingsUserDefaults.h"
#include "ui/windows/QtAlerts.h"
#include "ui/overlay/QtChromeFactory.h"
#include "ui/services/ScaledScreens.h"
#include "ui/windows/QtHotKeySettingsWindow.h"
#include "ui/services/QtHotKeys.h"
#include "ui/windows/QtPermissionGuideWindow.h"
#include "ui/services/QtScheduler.h"
#include "ui/tray/QtStatusBar.h"
#include "ui/services/ToolkitSpace.h"

namespace tessarapane::program {

namespace {

constexpr std::string_view kProgramLogCategory = "Program";

void printLine(const std::string& text) {
  const std::string line = text + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

// Everything that lives while the event loop runs; made once the
// application object exists and gone before it.
class TrayProgram {
 public:
  TrayProgram(QApplication& application, X11Backend& backend, std::shared_ptr<ui::QtScheduler> scheduler)
      : application_(application), backend_(backend), scheduler_(std::move(scheduler)) {}

  ~TrayProgram() {
    terminate();
    control_.reset();
    delegate_.reset();
    readable_.cancel();
    beforeWait_.cancel();
    // The backend outlives this object and may still notice the loss while
    // it is taken apart; the process is ending anyway.
    backend_.connection->setConnectionLostHandler([](const std::string&) {});
  }

  int run() {
    // Before any text is built: the locale picks Chinese or English.
    const Language language = chooseLanguage([](const char* name) { return std::getenv(name); });
    localization::install(makeLocalizer(language, log_, std::string(LayoutCoordinator::kLogSubsystem)));
    Platform platform = backend_.platform;
    platform.log = log_;
    platform.userDefaults = std::make_shared<ui::QSettingsUserDefaults>(log_);
    platform.alerts = std::make_shared<ui::QtAlerts>();
    platform.hotKeys = std::make_shared<ui::QtHotKeys>(backend_.platform.hotKeys);
    platform.systemEvents = std::make_shared<DBusSystemEvents>(log_);
    platform.screens = std::make_shared<ui::ScaledScreens>(platform.screens);
    watchConnection();

    const ui::ToolkitSpace space(platform.screens);
    auto icons = std::make_shared<ui::ApplicationIcons>(std::make_shared<ui::WorkspaceIconProvider>(platform.workspace));
    settingsWindow_ = std::make_shared<ui::QtHotKeySettingsWindow>();
    guideWindow_ = std::make_shared<ui::QtPermissionGuideWindow>(ui::bentoIcon());
    AppDelegate::Views views;
    views.chromeFactory = std::make_shared<ui::QtChromeFactory>(icons, space, log_);
    views.statusBar = std::make_shared<ui::QtStatusBar>(space);
    views.hotKeySettingsWindow = settingsWindow_;
    views.permissionGuideWindow = guideWindow_;
    views.quitEventLoop = [] { QCoreApplication::quit(); };
    delegate_ = AppDelegate::create(platform, std::move(views));

    const std::weak_ptr<AppDelegate> delegate = delegate_;
    control_ = std::make_unique<ControlService>(ControlRequests([delegate]() -> std::shared_ptr<LayoutCoordinator> {
      const auto live = delegate.lock();
      if (!live || live->isTerminated()) return nullptr;
      return live->layoutCoordinator();
    }));

    // The loop ending for any reason is the termination notice; terminate()
    // runs it once. The session's end comes that way too: the session
    // manager's Die quits the loop.
    QObject::connect(&application_, &QCoreApplication::aboutToQuit, &application_, [this] { terminate(); });
    watchSessionSaves();
    TerminationSignals signalPipe([this](int signalNumber) {
      write(std::string("received ") + (signalNumber == SIGINT ? "SIGINT" : "SIGTERM") + ": quitting");
      QCoreApplication::quit();
    });
    if (!signalPipe.isInstalled()) write("cannot watch SIGTERM and SIGINT");

    QTimer::singleShot(0, &application_, [this] { launch(); });
    const int status = QApplication::exec();
    terminate();
    return lostConnection_ ? 1 : status;
  }

 private:
  void write(std::string_view text) {
    log_->write(LayoutCoordinator::kLogSubsystem, kProgramLogCategory, text);
  }

  // A save the session manager asks for is a checkpoint, or the first step of
  // a logout that may yet be cancelled: the program runs on. Its settings
  // reach the disk at every change, so there is nothing left to save, and it
  // never asks to interact. The autostart entry starts it at login; a
  // restart by the session manager would add a second start, with an
  // argument it refuses.
  void watchSessionSaves() {
    const auto onSave = [this](QSessionManager& manager) {
      manager.setRestartHint(QSessionManager::RestartNever);
      write("the session manager saves the session; the settings are on disk");
    };
    QObject::connect(&application_, &QGuiApplication::commitDataRequest, &application_, onSave);
    QObject::connect(&application_, &QGuiApplication::saveStateRequest, &application_,
                     [](QSessionManager& manager) { manager.setRestartHint(QSessionManager::RestartNever); });
  }

  // X events are read whenever the socket has data and before the loop
  // waits, since replies awaited in between may have queued some.
  void watchConnection() {
    const std::weak_ptr<X11Connection> weak = backend_.connection;
    const auto dispatch = [weak] {
      if (const auto connection = weak.lock()) connection->dispatchPendingEvents();
    };
    readable_ = scheduler_->watchFileDescriptor(backend_.connection->fileDescriptor(), dispatch);
    beforeWait_ = scheduler_->addBeforeWaitHook(dispatch);
    backend_.connection->setConnectionLostHandler([this](const std::string& reason) {
      reportLostXConnection(reason);
      lostConnection_ = true;
      readable_.cancel();
      beforeWait_.cancel();
      QCoreApplication::exit(1);
    });
  }

  void launch() {
    if (delegate_->isTerminated()) return;
    delegate_->applicationDidFinishLaunching();
    settingsWindow_->setController(delegate_->hotKeySettingsWindowController());
    guideWindow_->setController(delegate_->permissionGuideWindowController());
    QString error;
    if (!control_->registerOnSessionBus(&error)) {
      write("the control interface is not available: " + error.toStdString());
    }
  }

  void terminate() {
    if (terminated_ || !delegate_) return;
    terminated_ = true;
    if (control_) control_->unregister();
    delegate_->applicationWillTerminate();
  }

  QApplication& application_;
  X11Backend& backend_;
  std::shared_ptr<ui::QtScheduler> scheduler_;
  std::shared_ptr<ProgramLog> log_ = std::make_shared<ProgramLog>();
  std::shared_ptr<ui::QtHotKeySettingsWindow> settingsWindow_;
  std::shared_ptr<ui::QtPermissionGuideWindow> guideWindow_;
  std::shared_ptr<AppDelegate> delegate_;
  std::unique_ptr<ControlService> control_;
  Subscription readable_;
  Subscription beforeWait_;
  bool terminated_ = false;
  bool lostConnection_ = false;
};

}  // namespace

int runTrayProgram(int& argc, char** argv) {
  // The panels must be X11 windows on the display the backend manages.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");

  takeOverToolkitXConnectionLoss();
  // Opened before the application object, whose own failure to reach the
  // display would abort the process.
  auto scheduler = std::make_shared<ui::QtScheduler>();
  std::string error;
  std::optional<X11Backend> backend = makeX11Backend(std::nullopt, scheduler, &error);
  if (!backend) {
    printLine("tessarapane: cannot open the X display: " + error);
    return 1;
  }
  auto instance = std::make_unique<SingleInstance>(backend->connection);
  switch (instance->acquire(&error)) {
    case SingleInstance::Outcome::acquired:
      break;
    case SingleInstance::Outcome::alreadyRunning:
      printLine("Tessarapane is already running on this display.");
      return 1;
    case SingleInstance::Outcome::failed:
      printLine("tessarapane: cannot claim this display: " + error);
      return 1;
  }

  int status = 0;
  {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessarapane"));
    QApplication::setDesktopFileName(QStringLiteral("org.tessarapane.Tessarapane"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(ui::bentoIcon());
    {
      TrayProgram program(application, *backend, scheduler);
      status = program.run();
    }
    // The backend's timers and watches belong to the loop: they go before
    // the application object.
    instance.reset();
    backend.reset();
    scheduler.reset();
  }
  return status;
}

}  // namespace tessarapane::program
