#include "text/EnglishTexts.h"

#include <algorithm>
#include <array>

namespace tessarapane {

namespace {

// Title case for titles, menu entries and buttons; sentence case for
// messages, notes and tips, as desktop programs write them. Sorted by the
// keys' bytes (checked below when compiled).
constexpr std::array kEnglish = std::to_array<EnglishTexts::Entry>({
    {"%@（%@）", "%@ (%@)"},
    {"%ld 格", "%ld panes"},
    {"1 格", "1 pane"},
    {"1+2", "1+2"},
    {"2+1", "2+1"},
    {"Tessarapane", "Tessarapane"},
    {"Tessarapane 仍可管理它的位置和大小，但该窗口没有提供系统关闭按钮。为避免误关窗口或退出整个 App，请使用该 App 自己的关闭按钮。",
     "Tessarapane can still manage its position and size, but the window has no standard close button. To avoid closing the wrong window or quitting the whole application, use the application's own close button."},
    {"Tessarapane 未找到可用显示器。", "Tessarapane found no usable display."},
    {"Tessarapane 正在运行，但这个桌面没有能显示它图标的系统托盘（StatusNotifier 或 XEmbed 托盘）。",
     "Tessarapane is running, but this desktop has no system tray to show its icon (a StatusNotifier host or an XEmbed tray)."},
    {"macOS 拒绝了这次关闭请求。请先切换到该窗口并处理其中的提示，然后重试。",
     "The window manager refused to close the window. Switch to the window, answer any prompt it shows, then try again."},
    {"macOS 辅助功能服务暂时没有响应。Tessarapane 已自动重试，请稍后再试。",
     "The window manager is not responding right now. Tessarapane has already retried; please try again in a moment."},
    {"“%@”当前有一个打开、保存或确认对话框正在等待处理。请先完成或取消该对话框，再关闭窗口；窗口布局管理不受影响。",
     "“%@” has an open, save or confirmation dialog waiting. Finish or cancel that dialog first, then close the window; the layout is not affected."},
    {"一切就绪", "All set"},
    {"上下二分", "Two Rows"},
    {"仅在 Tab Mode 中生效，效果与 Tab 栏箭头相同。全屏 1 格时，左右快捷键会切换到左右二分。",
     "Works in Tab Mode only, like the arrows on a tab strip. In Full Screen (1 pane), the left and right shortcuts switch to Two Columns."},
    {"全屏", "Full Screen"},
    {"关闭窗口", "Close window"},
    {"取消", "Cancel"},
    {"可以在快捷键设置中为这些操作另选快捷键，或在窗口管理器的设置中解除这些快捷键。",
     "Choose other shortcuts for these actions in Keyboard Shortcuts, or unbind them in the window manager's settings."},
    {"四等分", "Four Quarters"},
    {"在 GNOME 中请安装并启用 AppIndicator 扩展（软件包 gnome-shell-extension-appindicator）；在其他桌面请在面板上添加“系统托盘”或“通知区域”。",
     "On GNOME, install and enable the AppIndicator extension (package gnome-shell-extension-appindicator); on other desktops, add a “System Tray” or “Notification Area” item to a panel."},
    {"好", "OK"},
    {"左右三等分", "Three Columns"},
    {"左右二分", "Two Columns"},
    {"已被窗口管理器占用", "used by the window manager"},
    {"布局", "Layout"},
    {"应用", "Application"},
    {"开启以下权限后即可使用", "Tessarapane needs the following to work"},
    {"开始使用", "Get Started"},
    {"快捷键和“tessarapane ctl”命令照常可用。",
     "The keyboard shortcuts and the “tessarapane ctl” command work as usual."},
    {"快捷键已被「%@」占用", "This shortcut is already used by “%@”"},
    {"快捷键已被占用", "Shortcuts Already in Use"},
    {"快捷键设置", "Keyboard Shortcuts"},
    {"快捷键设置…", "Keyboard Shortcuts…"},
    {"打开帮助", "Open Help"},
    {"找不到系统托盘", "No System Tray"},
    {"按下快捷键…", "Press a shortcut…"},
    {"无法关闭窗口", "Cannot Close the Window"},
    {"无法开始布局", "Cannot Start the Layout"},
    {"无法打开帮助", "Cannot Open the Help"},
    {"暂时无法关闭窗口", "The Window Cannot Be Closed Right Now"},
    {"未命名", "unnamed"},
    {"未设置", "Not set"},
    {"没有可管理窗口", "No Windows to Arrange"},
    {"没有检测到支持 EWMH 的窗口管理器。请启动一个窗口管理器（例如 openbox、xfwm4 或 KWin），Tessarapane 会自动继续。",
     "No EWMH window manager is running. Start one (for example openbox, xfwm4 or KWin); Tessarapane carries on by itself."},
    {"移到上方", "Move Up"},
    {"移到下方", "Move Down"},
    {"移到右侧", "Move Right"},
    {"移到左侧", "Move Left"},
    {"移动和调整其他 App 的窗口", "Move and resize other applications' windows"},
    {"移动窗口", "Move Window"},
    {"移除快捷键", "Remove shortcut"},
    {"稍后", "Later"},
    {"空格", "Space"},
    {"窗口管理器", "Window Manager"},
    {"窗口管理器「%@」不支持 %@。请换用支持 EWMH 的窗口管理器（例如 openbox、xfwm4 或 KWin）。",
     "The window manager “%@” does not support %@. Switch to a window manager that supports EWMH (for example openbox, xfwm4 or KWin)."},
    {"窗口管理器「%@」会自己平铺窗口，不接受 Tessarapane 的摆放。请换用堆叠式窗口管理器（例如 openbox、xfwm4 或 KWin）。",
     "The window manager “%@” tiles windows itself and does not let Tessarapane place them. Switch to a stacking window manager (for example openbox, xfwm4 or KWin)."},
    {"窗口管理器「%@」已就绪。", "The window manager “%@” is ready."},
    {"窗口管理器已在使用以下快捷键，Tessarapane 不会响应它们：",
     "The window manager already uses these shortcuts, so Tessarapane leaves them to it:"},
    {"窗口管理器状态…", "Window Manager Status…"},
    {"网格", "Grid"},
    {"设置", "Set"},
    {"设置 Tessarapane", "Set Up Tessarapane"},
    {"请先处理对话框", "Finish the Dialog First"},
    {"请先打开至少一个普通 App 窗口；最小化、全屏和不可缩放窗口会被跳过。",
     "Open at least one ordinary application window first. Minimized, full-screen and fixed-size windows are skipped."},
    {"请在浏览器中打开：%@", "Open it in a web browser: %@"},
    {"还有 %ld 个窗口", "%ld more windows"},
    {"还有 1 个窗口", "1 more window"},
    {"这个窗口不提供关闭控制", "This Window Has No Close Control"},
    {"退出 Tessarapane", "Quit Tessarapane"},
    {"退出当前布局", "Leave Current Layout"},
    {"重新检查", "Check Again"},
});

constexpr bool keysBefore(const EnglishTexts::Entry& a, const EnglishTexts::Entry& b) { return a.first < b.first; }
static_assert(std::is_sorted(kEnglish.begin(), kEnglish.end(), keysBefore), "keep the table sorted by key bytes");
static_assert(std::adjacent_find(kEnglish.begin(), kEnglish.end(),
                                 [](const auto& a, const auto& b) { return a.first == b.first; }) == kEnglish.end(),
              "one entry per key");

bool isChinese(std::string_view locale) { return locale.starts_with("zh"); }

}  // namespace

Language chooseLanguage(const EnvironmentLookup& environment) {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = environment ? environment(name) : nullptr;
    if (value && *value) return isChinese(value) ? Language::chinese : Language::english;
  }
  return Language::english;
}

std::span<const EnglishTexts::Entry> EnglishTexts::table() { return kEnglish; }

TableLocalizer::TableLocalizer(std::span<const EnglishTexts::Entry> table, std::shared_ptr<Log> log,
                               std::string subsystem)
    : table_(table), log_(std::move(log)), subsystem_(std::move(subsystem)) {}

std::string TableLocalizer::localized(std::string_view key) const {
  const auto found = std::lower_bound(table_.begin(), table_.end(), key,
                                      [](const EnglishTexts::Entry& entry, std::string_view k) { return entry.first < k; });
  if (found != table_.end() && found->first == key) return std::string(found->second);
  bool first = false;
  {
    const std::lock_guard lock(mutex_);
    first = missing_.emplace(key).second;
  }
  if (first && log_) log_->write(subsystem_, "Localization", "no English text for \"" + std::string(key) + "\"");
  return std::string(key);
}

std::set<std::string> TableLocalizer::missingKeys() const {
  const std::lock_guard lock(mutex_);
  return {missing_.begin(), missing_.end()};
}

std::shared_ptr<const Localizer> makeLocalizer(Language language, std::shared_ptr<Log> log, std::string subsystem) {
  if (language == Language::chinese) return std::make_shared<IdentityLocalizer>();
  return std::make_shared<TableLocalizer>(EnglishTexts::table(), std::move(log), std::move(subsystem));
}

}  // namespace tessarapane
