// Under a real window manager (Xvfb and openbox, from the x11 tests'
// harness): the floating panels never take the focus, so clicking a tab
// strip leaves _NET_ACTIVE_WINDOW on the window the user works in.
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QWindow>

#include <memory>
#include <string>
#include <vector>

#include "X11Test.h"
#include "ui/overlay/ApplicationIcons.h"
#include "ui/tabstrip/PaneTabChromeButton.h"
#include "ui/tabstrip/PaneTabItemView.h"
#include "ui/tabstrip/PaneTabSelectButton.h"
#include "ui/tabstrip/QtPaneTabBarPanel.h"

// libdbus, which Qt's desktop integration loads on xcb, keeps a buffer for
// the life of the process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

namespace tessarapane::ui {
namespace {

using x11test::Subprocess;

class PanelFocusTest : public x11test::X11Test {
 protected:
  static void SetUpTestSuite() {
    // The harness has pointed DISPLAY at its private desktop by now.
    qputenv("QT_QPA_PLATFORM", "xcb");
    const QString runtime = QDir::temp().filePath(QStringLiteral("tessarapane-ui-focus-runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    static int argc = 1;
    static char name[] = "test_ui_focus";
    static char* argv[] = {name, nullptr};
    application_ = new QApplication(argc, argv);
  }
  static void TearDownTestSuite() {
    delete application_;
    application_ = nullptr;
  }

  void SetUp() override {
    X11Test::SetUp();
    client_ = startClient({"--title", "Working window"});
    ASSERT_TRUE(client_);
    const auto activated =
        Subprocess::run({"xdotool", "windowactivate", "--sync", std::to_string(client_->window)}, 5.0);
    ASSERT_TRUE(activated && activated->status == 0);
    ASSERT_TRUE(waitUntil([&] { return witnessActiveWindow() == client_->window; }));
  }

  // Runs Qt's loop as well as the harness's.
  bool waitFor(const std::function<bool()>& condition) {
    return waitUntil([&] { return QCoreApplication::processEvents(QEventLoop::AllEvents, 10), condition(); });
  }
  bool waitUntilExposed(QWidget& window) { return waitFor([&] { return window.windowHandle() && window.windowHandle()->isExposed(); }); }

  // Clicks the middle of a widget, placed relative to its X window, whose
  // position Qt may learn only after the window manager framed it.
  bool click(QWidget& widget) {
    const QPoint at = widget.mapTo(widget.window(), widget.rect().center());
    const auto result = Subprocess::run({"xdotool", "mousemove", "--sync", "--window", std::to_string(widget.window()->winId()),
                                         std::to_string(at.x()), std::to_string(at.y()), "click", "1"}, 5.0);
    return result && result->status == 0;
  }

  // The active window once the window manager has answered everything sent.
  std::optional<xcb_window_t> activeWindowAfterSettling() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    settle();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return witnessActiveWindow();
  }

  static QApplication* application_;
  std::unique_ptr<x11test::TestClient> client_;
};

QApplication* PanelFocusTest::application_ = nullptr;

TEST_F(PanelFocusTest, ClickingATabStripLeavesTheActiveWindowAlone) {
  std::vector<int> selections, closes;
  PaneTabBarHandlers handlers;
  handlers.selection = [&](int index) { selections.push_back(index); };
  handlers.close = [&](int index) { closes.push_back(index); };
  QtPaneTabBarPanel panel({{"One", 1}, {"Two", 2}, {"Three", 3}}, {PaneMoveDirection::left, PaneMoveDirection::right},
                        Rect(200, 600, 700, 32), std::move(handlers), std::make_shared<ApplicationIcons>(nullptr), ToolkitSpace());
  panel.orderFrontRegardless();
  ASSERT_TRUE(waitUntilExposed(panel));
  EXPECT_EQ(activeWindowAfterSettling(), client_->window) << "showing the panel activated it";

  ASSERT_TRUE(click(*panel.tabItemViews().at(1)->selectButton()));
  ASSERT_TRUE(waitFor([&] { return !selections.empty(); }));
  EXPECT_EQ(selections, std::vector<int>{1});
  EXPECT_EQ(activeWindowAfterSettling(), client_->window) << "a click on a tab took the focus";

  ASSERT_TRUE(click(*panel.tabItemViews().at(2)->closeButton()));
  ASSERT_TRUE(waitFor([&] { return !closes.empty(); }));
  EXPECT_EQ(activeWindowAfterSettling(), client_->window) << "a click on a close button took the focus";
}

// The control: the same kind of window without WindowDoesNotAcceptFocus is
// activated by a click, so the check above can fail.
TEST_F(PanelFocusTest, AFocusableToolWindowIsActivatedByAClick) {
  QWidget window(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  window.setAttribute(Qt::WA_ShowWithoutActivating);
  window.setGeometry(200, 200, 200, 40);
  auto* button = new QPushButton(QStringLiteral("Click"), &window);
  button->setGeometry(window.rect());
  int clicks = 0;
  QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
  window.show();
  ASSERT_TRUE(waitUntilExposed(window));
  ASSERT_TRUE(click(*button));
  ASSERT_TRUE(waitFor([&] { return clicks > 0; }));
  EXPECT_NE(activeWindowAfterSettling(), client_->window);
}

}  // namespace
}  // namespace tessarapane::ui
