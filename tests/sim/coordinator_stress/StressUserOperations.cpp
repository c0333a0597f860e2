// What users and applications do to windows, and the clicks and hot keys
// that reach the running tab layout.
#include <algorithm>
#include <cstddef>
#include <sstream>
#include <string>

#include "StressFixture.h"
#include "bento/BentoEngine.h"
#include "layout/PaneMoveDirection.h"
#include "windows/NativeFullScreen.h"
#include "windows/ScreenIdentity.h"

namespace tessarapane {

namespace {

std::string text(const Rect& rect) {
  std::ostringstream out;
  out << rect;
  return out.str();
}

std::string windowText(WindowID window) { return "window " + std::to_string(window); }

}  // namespace

// --- Helpers -------------------------------------------------------------------

std::optional<WindowID> CoordinatorStress::someWindow() {
  std::erase_if(windows, [this](WindowID window) { return !desktop->windowExists(window); });
  if (windows.empty()) return std::nullopt;
  return windows[static_cast<std::size_t>(below(static_cast<int>(windows.size())))];
}

Rect CoordinatorStress::someFrame() {
  Rect bounds(0, 25, 1440, 875);
  const auto& displays = desktop->displays();
  if (!displays.empty()) {
    const SimDisplay& display = displays[static_cast<std::size_t>(below(static_cast<int>(displays.size())))];
    if (display.frame.width() > 400) bounds = desktop->toAccessibilitySpace(display.visibleFrame);
  }
  const double width = between(300, std::min(900.0, bounds.width() - 100));
  const double height = between(200, std::min(600.0, bounds.height() - 100));
  const double x = between(bounds.minX(), bounds.maxX() - width);
  const double y = between(bounds.minY(), bounds.maxY() - height);
  // Whole points, as windows report them.
  return Rect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(width), static_cast<int>(height));
}

bool CoordinatorStress::isSteady(WindowID window) const {
  const SimWindowState* state = desktop->window(window);
  if (!state) return false;
  const SimWindowBehavior& behavior = state->desc.behavior;
  if (behavior.sizeIncrement || behavior.minimumSize || behavior.maximumSize || behavior.refusesMove ||
      behavior.ignoredFrameWrites > 0 || behavior.cannotCompleteCount > 0 || behavior.frameApplyDelay > 0) {
    return false;
  }
  if (!state->desc.positionSettable || !state->desc.sizeSettable) return false;
  const auto moves = selfMovesUntil.find(window);
  return moves == selfMovesUntil.end() || moves->second < scheduler->now();
}

bool CoordinatorStress::isPlainlyAdoptable(WindowID window) const {
  const SimWindowState* state = desktop->window(window);
  if (!state) return false;
  const SimWindowSpec& desc = state->desc;
  if (desc.role != "AXWindow" || desc.subrole != "AXStandardWindow" || desc.modal) return false;
  if (desc.minimized || desc.fullScreen || !desc.onScreen || !state->listed) return false;
  // The window list leaves out the smallest windows; one that covers a
  // display counts as full screen.
  if (desc.frame.width() < 120 || desc.frame.height() < 80) return false;
  if (NativeFullScreen::coversDisplay(desc.frame, coordinator->displayRects())) return false;
  const SimAppState* owner = desktop->app(state->owner());
  if (!owner || !owner->desc.answersAccessibility) return false;
  if (!desc.titleInWindowList || desc.title.empty()) return false;
  for (WindowID other : desktop->windowsOf(state->owner())) {
    const SimWindowState* sibling = desktop->window(other);
    if (!sibling->sheets.empty()) return false;
    if (other != window && sibling->desc.title == desc.title) return false;
  }
  return true;
}

std::shared_ptr<RecordingTabBarPanel> CoordinatorStress::someTabBar(int& pane) {
  if (!session()) return nullptr;
  std::vector<int> withBars;
  for (std::size_t index = 0; index < session()->panels.size(); ++index) {
    if (tabBar(static_cast<int>(index))) withBars.push_back(static_cast<int>(index));
  }
  if (withBars.empty()) return nullptr;
  pane = withBars[static_cast<std::size_t>(below(static_cast<int>(withBars.size())))];
  return tabBar(pane);
}

std::vector<WindowID> CoordinatorStress::managedIDs() const {
  std::vector<WindowID> ids;
  for (const ManagedWindow& window : coordinator->managedWindows()) ids.push_back(window.windowID);
  return ids;
}

const std::unordered_map<WindowID, Rect>* CoordinatorStress::originalFrames() const {
  if (coordinator->session) return &coordinator->session->originalFrames;
  if (coordinator->bentoSession) return &coordinator->bentoSession->originalFrames;
  return nullptr;
}

// --- Windows and applications ----------------------------------------------------

std::string CoordinatorStress::openWindow() {
  std::erase_if(apps, [this](ProcessID pid) { return !desktop->isRunning(pid); });
  if (apps.empty() || (apps.size() < 8 && chance(0.25))) {
    const ProcessID pid = launch("App" + std::to_string(nextName++));
    if (pid != 0) apps.push_back(pid);
    // Some processes cannot be observed: only the sweep sees their windows.
    if (pid != 0 && chance(0.1)) desktop->setObserverCreationFails(pid, true);
  }
  if (apps.empty()) return "open: no application";
  const ProcessID owner = apps[static_cast<std::size_t>(below(static_cast<int>(apps.size())))];

  SimWindowSpec desc;
  desc.owner = owner;
  desc.title = "Doc " + std::to_string(nextName++);
  desc.frame = someFrame();
  desc.focused = chance(0.8);
  std::string quirks;
  if (chance(0.05)) {
    desc.subrole = std::string("AXDialog");
    quirks += " dialog";
  }
  if (chance(0.08)) {
    desc.listedAfter = between(0.02, 0.6);
    quirks += " listedLate";
  }
  if (chance(0.1)) desc.titleInWindowList = false;
  SimWindowBehavior& behavior = desc.behavior;
  double lastSelfMove = -1.0;
  if (chance(0.35)) {
    for (int count = 1 + below(2); count > 0; --count) {
      switch (below(9)) {
        case 0:
          behavior.sizeIncrement = Size{7, 13};
          behavior.baseSize = Size{3, 22};
          quirks += " sizeIncrement";
          break;
        case 1:
          behavior.minimumSize = Size{between(600, 1000), between(450, 800)};
          quirks += " minimumSize";
          break;
        case 2:
          behavior.refusesMove = true;
          behavior.moveRefusalError = chance(0.5) ? AXError::success : AXError::cannotComplete;
          quirks += " refusesMove";
          break;
        case 3:
          behavior.ignoredFrameWrites = 1 + below(4);
          quirks += " ignoresWrites";
          break;
        case 4:
          behavior.cannotCompleteCount = 1 + below(6);
          quirks += " cannotComplete";
          break;
        case 5:
          behavior.frameApplyDelay = between(0.02, 0.4);
          quirks += " slowFrames";
          break;
        case 6:
          for (int moves = 1 + below(3); moves > 0; --moves) {
            const double delay = between(0.01, 0.5);
            behavior.selfMoves.push_back(SimSelfMove{delay, someFrame()});
            lastSelfMove = std::max(lastSelfMove, delay);
          }
          quirks += " selfMoves";
          break;
        case 7:
          behavior.closeResponse =
              chance(0.5) ? SimCloseResponse::asksConfirmation : SimCloseResponse::closesAfterDelay;
          behavior.closeDelay = between(0.05, 1.0);
          quirks += " closeResponse";
          break;
        default:
          behavior.sheetBlocking = SimSheetBlocking::disablesCloseButton;
          quirks += " sheetDisablesClose";
          break;
      }
    }
  }
  const Rect frame = desc.frame;
  const WindowID id = desktop->createWindow(std::move(desc));
  if (id == 0) return "open: refused";
  windows.push_back(id);
  everOpened.push_back(id);
  if (lastSelfMove >= 0) selfMovesUntil[id] = scheduler->now() + lastSelfMove;
  return "open " + windowText(id) + " of " + std::to_string(owner) + " at " + text(frame) + quirks;
}

std::string CoordinatorStress::closeWindow() {
  const std::optional<WindowID> window = someWindow();
  if (!window) return "close: no window";
  desktop->closeWindow(*window);
  return "close " + windowText(*window);
}

std::string CoordinatorStress::moveWindow() {
  const std::optional<WindowID> window = someWindow();
  if (!window) return "move: no window";
  Rect frame = someFrame();
  const int how = below(10);
  if (how < 3) {
    // A small drag of where it is now.
    const Rect now = frameOf(*window);
    frame = Rect(now.x() + below(81) - 40, now.y() + below(81) - 40, now.width(), now.height());
  } else if (how < 5 && session() && !session()->panes.empty()) {
    // Dropped onto another pane.
    const int pane = below(static_cast<int>(session()->panes.size()));
    const Rect target = paneWindowFrame(pane);
    frame = Rect(target.x() + below(41) - 20, target.y() + below(41) - 20, target.width(), target.height());
  }
  desktop->moveWindow(*window, frame);
  touched.insert(*window);
  return "move " + windowText(*window) + " to " + text(frame);
}

std::string CoordinatorStress::toggleMinimised() {
  const std::optional<WindowID> window = someWindow();
  if (!window) return "minimise: no window";
  const bool minimised = !desktop->window(*window)->desc.minimized;
  desktop->setMinimized(*window, minimised);
  return (minimised ? "minimise " : "unminimise ") + windowText(*window);
}

std::string CoordinatorStress::toggleFullScreen() {
  std::optional<WindowID> window = someWindow();
  // Windows also come back from full screen, not only go there.
  std::vector<WindowID> inFullScreen;
  for (WindowID candidate : windows) {
    if (desktop->window(candidate)->desc.fullScreen) inFullScreen.push_back(candidate);
  }
  if (!inFullScreen.empty() && chance(0.5)) {
    window = inFullScreen[static_cast<std::size_t>(below(static_cast<int>(inFullScreen.size())))];
  }
  if (!window) return "full screen: no window";
  const bool fullScreen = !desktop->window(*window)->desc.fullScreen;
  desktop->setFullScreen(*window, fullScreen);
  touched.insert(*window);
  return (fullScreen ? "enter full screen " : "leave full screen ") + windowText(*window);
}

std::string CoordinatorStress::quitApplication() {
  std::erase_if(apps, [this](ProcessID pid) { return !desktop->isRunning(pid); });
  if (apps.empty()) return "quit: no application";
  const std::size_t index = static_cast<std::size_t>(below(static_cast<int>(apps.size())));
  const ProcessID pid = apps[index];
  apps.erase(apps.begin() + static_cast<std::ptrdiff_t>(index));
  desktop->quitApplication(pid);
  return "quit application " + std::to_string(pid);
}

std::string CoordinatorStress::focusWindow() {
  const std::optional<WindowID> window = someWindow();
  if (!window) return "focus: no window";
  if (chance(0.3)) {
    const ProcessID owner = desktop->window(*window)->owner();
    desktop->activateApplication(owner);
    return "activate application " + std::to_string(owner);
  }
  desktop->focusWindow(*window);
  return "click " + windowText(*window);
}

std::string CoordinatorStress::retitleWindow() {
  const std::optional<WindowID> window = someWindow();
  if (!window) return "retitle: no window";
  static const std::vector<std::string> titles = {"", "   ", "Report", "报告 — 草稿", "A much longer title than most"};
  const std::string& title = titles[static_cast<std::size_t>(below(static_cast<int>(titles.size())))];
  desktop->setTitle(*window, title);
  return "retitle " + windowText(*window) + " '" + title + "'";
}

std::string CoordinatorStress::attachOrCloseSheet() {
  std::erase_if(sheets, [this](WindowID sheet) { return !desktop->windowExists(sheet); });
  if (!sheets.empty() && chance(0.5)) {
    const WindowID sheet = sheets.back();
    sheets.pop_back();
    desktop->closeWindow(sheet);
    return "close sheet " + std::to_string(sheet);
  }
  const std::optional<WindowID> window = someWindow();
  if (!window) return "sheet: no window";
  const Rect parent = frameOf(*window);
  const WindowID sheet = desktop->attachSheet(*window, Rect(parent.x() + 40, parent.y() + 22, 300, 160));
  if (sheet != 0) sheets.push_back(sheet);
  return "attach sheet " + std::to_string(sheet) + " to " + windowText(*window);
}

std::string CoordinatorStress::hangOrWakeApplication() {
  std::erase_if(apps, [this](ProcessID pid) { return !desktop->isRunning(pid); });
  if (apps.empty()) return "hang: no application";
  const ProcessID pid = apps[static_cast<std::size_t>(below(static_cast<int>(apps.size())))];
  const bool answers = !desktop->app(pid)->desc.answersAccessibility;
  desktop->setAnswersAccessibility(pid, answers);
  return (answers ? "application answers again " : "application hangs ") + std::to_string(pid);
}

// --- The tab strips and hot keys ---------------------------------------------------

std::string CoordinatorStress::clickTab() {
  int pane = 0;
  const auto bar = someTabBar(pane);
  if (!bar || bar->tabs.empty()) return "click tab: no strip";
  const int tab = below(static_cast<int>(bar->tabs.size()));
  bar->clickTab(tab);
  return "click tab " + std::to_string(tab) + " of pane " + std::to_string(pane);
}

std::string CoordinatorStress::clickClose() {
  int pane = 0;
  const auto bar = someTabBar(pane);
  if (!bar || bar->tabs.empty()) return "click close: no strip";
  const int tab = below(static_cast<int>(bar->tabs.size()));
  bar->clickClose(tab);
  return "click close of tab " + std::to_string(tab) + " of pane " + std::to_string(pane);
}

std::string CoordinatorStress::clickMove() {
  int pane = 0;
  const auto bar = someTabBar(pane);
  if (!bar || bar->tabs.empty() || bar->moveDirections.empty()) return "click move: no strip or arrows";
  const int tab = below(static_cast<int>(bar->tabs.size()));
  const PaneMoveDirection direction =
      bar->moveDirections[static_cast<std::size_t>(below(static_cast<int>(bar->moveDirections.size())))];
  bar->clickMove(tab, direction);
  return "click move " + std::string(rawValue(direction)) + " of tab " + std::to_string(tab) + " of pane " +
         std::to_string(pane);
}

std::string CoordinatorStress::hotKeyMove() {
  const PaneMoveDirection direction = kAllPaneMoveDirections[static_cast<std::size_t>(below(4))];
  coordinator->moveFocusedTab(direction);
  return "moveFocusedTab(" + std::string(rawValue(direction)) + ")";
}

}  // namespace tessarapane
