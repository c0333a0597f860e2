#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "hotkeys/HotKeyAction.h"
#include "hotkeys/KeyChord.h"
#include "platform/Subscription.h"
#include "platform/UserDefaults.h"

namespace tessarapane {

// The user's hot-key bindings: loaded from the user defaults at construction,
// changed one action at a time, written back at once on every change. No two
// actions hold equal chords: loading keeps the earlier action's binding of a
// repeated chord, and setChord refuses one. Main thread only.
class HotKeySettingsStore {
 public:
  static constexpr std::string_view kBindingsKey = "hotKeyBindings";
  static constexpr std::string_view kSavedKey = "hotKeyBindingsSaved";

  // Where loading tells what it left out of the stored data.
  using Report = std::function<void(std::string_view)>;

  explicit HotKeySettingsStore(std::shared_ptr<UserDefaults> defaults, Report report = {});

  HotKeySettingsStore(const HotKeySettingsStore&) = delete;
  HotKeySettingsStore& operator=(const HotKeySettingsStore&) = delete;

  // The default chords until the bindings were saved once; afterwards what
  // can be read of the stored data (one bad entry costs only itself), and no
  // bindings at all when that is missing or no JSON object. Unreadable data
  // stays stored as it is until the next change.
  static HotKeyBindings load(UserDefaults& defaults, const Report& report = {});

  const HotKeyBindings& bindings() const { return bindings_; }
  std::optional<KeyChord> chord(HotKeyAction action) const;

  // Binds the chord to the action, or removes the action's binding when there
  // is no chord. A chord another action holds is refused: the conflict
  // message comes back and nothing changes, is written or reported.
  std::optional<std::string> setChord(const std::optional<KeyChord>& chord, HotKeyAction action);

  // Called with the whole bindings after every accepted change.
  std::function<void(const HotKeyBindings&)> onChange;

  // Observers of the bindings (the settings view), called after every
  // accepted change, before onChange. Cancel the handle to stop.
  Subscription observe(std::function<void()> observer);

 private:
  struct Observers {
    std::map<std::uint64_t, std::function<void()>> entries;
    std::uint64_t nextID = 1;
  };

  void persist();
  void notifyObservers();

  std::shared_ptr<UserDefaults> defaults_;
  HotKeyBindings bindings_;
  std::shared_ptr<Observers> observers_ = std::make_shared<Observers>();
};

}  // namespace tessarapane
