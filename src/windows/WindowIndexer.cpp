#include "windows/WindowIndexer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "platform/Localizer.h"
#include "windows/AXHelpers.h"
#include "windows/NativeFullScreen.h"

namespace tessarapane {

namespace {

// Smaller windows are tool strips, badges and the like, not documents.
constexpr double kMinimumWidth = 120.0;
constexpr double kMinimumHeight = 80.0;

// Matching a window-list entry to an element: sizes must agree this well,
// and the frames must lie this close or overlap this much.
constexpr double kMinimumSizeRatio = 0.72;
constexpr double kMaximumDistance = 240.0;
constexpr double kMinimumOverlap = 0.65;
// An equal title outweighs any geometric difference that still qualifies.
constexpr double kTitleBonus = 1000.0;

bool isDialogSubrole(const std::string& subrole) {
  return subrole == "AXDialog" || subrole == "AXSystemDialog" || subrole == "AXFloatingWindow" ||
         subrole == "AXSystemFloatingWindow";
}

bool isSettable(Accessibility& accessibility, const AXElement& element, std::string_view attribute) {
  const AXSettableResult result = accessibility.isAttributeSettable(element, attribute);
  return result.error == AXError::success && result.settable;
}

bool hasValue(const AXCopyResult& result) {
  if (result.error != AXError::success || !result.value) return false;
  const auto* element = std::get_if<AXElement>(&*result.value);
  return !element || !element->isNull();
}

// Intersection over union; 0 when either frame has no area or they are apart.
double overlapRatio(const Rect& a, const Rect& b) {
  const double areaA = a.area();
  const double areaB = b.area();
  if (!(areaA > 0) || !(areaB > 0)) return 0.0;
  const Rect intersection = a.intersection(b);
  if (intersection.isNull()) return 0.0;
  const double shared = intersection.area();
  const double combined = areaA + areaB - shared;
  if (!(combined > 0)) return 0.0;
  return shared / combined;
}

}  // namespace

WindowIndexer::WindowIndexer(const Platform& platform)
    : accessibility_(platform.accessibility), windowServer_(platform.windowServer), workspace_(platform.workspace) {}

const std::optional<RunningApplication>& WindowIndexer::application(ProcessID pid, AppCache& cache) {
  auto found = cache.find(pid);
  if (found == cache.end()) found = cache.emplace(pid, workspace_->runningApplication(pid)).first;
  return found->second;
}

std::optional<WindowIndexer::CGWindowRecord> WindowIndexer::makeRecord(const WindowInfo& info, ProcessID self,
                                                                        AppCache& cache) {
  if (!info.number || !info.ownerPID || !info.layer || *info.layer != 0) return std::nullopt;
  if (!info.bounds) return std::nullopt;
  const Rect& bounds = *info.bounds;
  if (*info.ownerPID == self) return std::nullopt;
  if (!(bounds.width() >= kMinimumWidth) || !(bounds.height() >= kMinimumHeight)) return std::nullopt;
  if (info.alpha && !(*info.alpha > 0)) return std::nullopt;
  if (excludedOwnerNames.count(info.ownerName.value_or("")) != 0) return std::nullopt;
  const auto& app = application(*info.ownerPID, cache);
  if (!app || app->processIdentifier == self || app->activationPolicy != ActivationPolicy::regular) {
    return std::nullopt;
  }
  if (app->bundleIdentifier && excludedBundleIdentifiers.count(*app->bundleIdentifier) != 0) return std::nullopt;
  return CGWindowRecord{*info.number, *info.ownerPID, info.name.value_or(""), bounds};
}

std::vector<WindowIndexer::CGWindowRecord> WindowIndexer::records(std::optional<ProcessID> ownerPID,
                                                                   AppCache& cache) {
  std::vector<CGWindowRecord> result;
  auto list = windowServer_->onScreenWindowList();
  if (!list) return result;
  const ProcessID self = workspace_->currentProcessID();
  result.reserve(list->size());
  for (const WindowInfo& info : *list) {
    // Entries of other applications would be dropped anyway: skip their work.
    if (ownerPID && info.ownerPID != ownerPID) continue;
    if (auto record = makeRecord(info, self, cache)) result.push_back(std::move(*record));
  }
  return result;
}

bool WindowIndexer::isEligibleAXWindow(const AXElement& element, const std::vector<Rect>& displays, Rect& frame) {
  Accessibility& ax = *accessibility_;
  if (AXHelpers::string(ax, "AXRole", element) != "AXWindow") return false;
  const auto subrole = AXHelpers::string(ax, "AXSubrole", element);
  if (subrole && (isDialogSubrole(*subrole) || *subrole != "AXStandardWindow")) return false;
  if (AXHelpers::boolean(ax, "AXModal", element) == true) return false;
  if (AXHelpers::boolean(ax, "AXMinimized", element) == true) return false;
  const auto read = AXHelpers::frame(ax, element);
  if (!read) return false;
  if (AXHelpers::boolean(ax, "AXFullScreen", element) == true) return false;
  if (NativeFullScreen::coversDisplay(*read, displays)) return false;
  frame = *read;
  if (subrole) return true;
  // Without a subrole, only a movable window with a title-bar control counts.
  if (!isSettable(ax, element, "AXPosition") || !isSettable(ax, element, "AXSize")) return false;
  for (const char* control : {"AXCloseButton", "AXMinimizeButton", "AXZoomButton"}) {
    if (hasValue(ax.copyAttributeValue(element, control))) return true;
  }
  return false;
}

WindowIndexer::AppCandidates WindowIndexer::candidates(ProcessID pid, const std::vector<Rect>& displays) {
  AppCandidates result;
  const AXElement application = accessibility_->createApplication(pid);
  for (const AXElement& element : AXHelpers::windows(*accessibility_, application)) {
    Rect frame;
    if (!isEligibleAXWindow(element, displays, frame)) continue;
    result.elements.push_back(element);
    result.frames.push_back(frame);
  }
  result.titles.resize(result.elements.size());
  result.used.assign(result.elements.size(), false);
  return result;
}

const std::optional<std::string>& WindowIndexer::title(AppCandidates& candidates, std::size_t index) {
  auto& cached = candidates.titles[index];
  if (!cached) cached = AXHelpers::string(*accessibility_, "AXTitle", candidates.elements[index]);
  return *cached;
}

std::optional<std::size_t> WindowIndexer::bestMatch(const CGWindowRecord& record, AppCandidates& candidates) {
  // Where the platform names the elements' windows, the name decides: the
  // list and the frames are read a moment apart, and a window that moves in
  // between (the previous layout's moves still being carried out) would
  // match nothing.
  bool named = false;
  for (std::size_t index = 0; index < candidates.elements.size(); ++index) {
    const std::optional<WindowID> number = accessibility_->windowNumber(candidates.elements[index]);
    named = named || number.has_value();
    if (number == record.windowID && !candidates.used[index]) return index;
  }
  if (named) return std::nullopt;

  const Rect& r = record.frame;
  std::optional<std::size_t> best;
  double bestScore = 0.0;
  for (std::size_t index = 0; index < candidates.elements.size(); ++index) {
    if (candidates.used[index]) continue;
    const Rect& f = candidates.frames[index];
    if (!(f.width() > 0 && f.height() > 0 && r.width() > 0 && r.height() > 0)) continue;
    const double sizeRatio = std::min(std::min(f.width(), r.width()) / std::max(f.width(), r.width()),
                                      std::min(f.height(), r.height()) / std::max(f.height(), r.height()));
    if (!(sizeRatio >= kMinimumSizeRatio)) continue;
    const double distance = std::abs(f.minX() - r.minX()) + std::abs(f.minY() - r.minY()) +
                            std::abs(f.width() - r.width()) + std::abs(f.height() - r.height());
    // The overlap only matters for a candidate too far away.
    if (!(distance <= kMaximumDistance) && !(overlapRatio(f, r) >= kMinimumOverlap)) continue;
    double score = distance;
    if (!record.title.empty() && title(candidates, index) == record.title) score -= kTitleBonus;
    if (!best || score < bestScore) {
      best = index;
      bestScore = score;
    }
  }
  return best;
}

std::vector<ManagedWindow> WindowIndexer::currentSpaceWindows(std::optional<ProcessID> ownerPID) {
  AppCache apps;
  const std::vector<CGWindowRecord> list = records(ownerPID, apps);
  std::vector<ManagedWindow> windows;
  if (list.empty()) return windows;
  const std::vector<Rect> displays = NativeFullScreen::displayBounds(*windowServer_);
  std::unordered_map<ProcessID, AppCandidates> byApp;
  for (const CGWindowRecord& record : list) {
    const auto& app = application(record.ownerPID, apps);
    if (!app) continue;
    auto found = byApp.find(record.ownerPID);
    if (found == byApp.end()) found = byApp.emplace(record.ownerPID, candidates(record.ownerPID, displays)).first;
    AppCandidates& candidatesOfApp = found->second;
    const auto index = bestMatch(record, candidatesOfApp);
    if (!index) continue;
    const AXElement& element = candidatesOfApp.elements[*index];
    const auto frame = AXHelpers::frame(*accessibility_, element);
    if (!frame) continue;
    candidatesOfApp.used[*index] = true;
    ManagedWindow window;
    window.windowID = record.windowID;
    window.ownerPID = record.ownerPID;
    window.bundleIdentifier = app->bundleIdentifier;
    window.appName = app->localizedName.value_or(localized("应用"));
    window.title = title(candidatesOfApp, *index).value_or(record.title);
    window.frame = *frame;
    window.element = element;
    windows.push_back(std::move(window));
  }
  return windows;
}

std::vector<WindowStacking::StackEntry> WindowIndexer::onScreenWindowStack() {
  AppCache apps;
  std::vector<WindowStacking::StackEntry> stack;
  for (const CGWindowRecord& record : records(std::nullopt, apps)) {
    stack.push_back(WindowStacking::StackEntry{record.windowID, record.ownerPID, record.frame});
  }
  return stack;
}

}  // namespace tessarapane
