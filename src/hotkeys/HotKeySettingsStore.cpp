#include "hotkeys/HotKeySettingsStore.h"

#include <utility>
#include <vector>

#include "hotkeys/HotKeyBindingsCoding.h"

namespace tessarapane {

HotKeySettingsStore::HotKeySettingsStore(std::shared_ptr<UserDefaults> defaults, Report report)
    : defaults_(std::move(defaults)) {
  if (defaults_) bindings_ = load(*defaults_, report);
}

HotKeyBindings HotKeySettingsStore::load(UserDefaults& defaults, const Report& report) {
  std::vector<std::string> ignored;
  const HotKeyBindings bindings = HotKeyBindingsCoding::load(defaults.boolValue(kSavedKey).value_or(false),
                                                             defaults.dataValue(kBindingsKey), &ignored);
  if (report) {
    for (const std::string& line : ignored) {
      report(line + "; left out (the stored text stays as it is until a hot key is changed)");
    }
  }
  return bindings;
}

std::optional<KeyChord> HotKeySettingsStore::chord(HotKeyAction action) const {
  const auto found = bindings_.find(action);
  if (found == bindings_.end()) return std::nullopt;
  return found->second;
}

std::optional<std::string> HotKeySettingsStore::setChord(const std::optional<KeyChord>& chord, HotKeyAction action) {
  if (chord) {
    if (const auto holder = KeyChord::conflictingAction(*chord, action, bindings_)) return conflictMessage(*holder);
    bindings_[action] = *chord;
  } else {
    bindings_.erase(action);
  }
  notifyObservers();
  persist();
  if (onChange) {
    auto call = onChange;
    call(bindings_);
  }
  return std::nullopt;
}

void HotKeySettingsStore::persist() {
  if (!defaults_) return;
  defaults_->setData(kBindingsKey, HotKeyBindingsCoding::encode(bindings_));
  defaults_->setBool(kSavedKey, true);
}

Subscription HotKeySettingsStore::observe(std::function<void()> observer) {
  const std::uint64_t id = observers_->nextID++;
  observers_->entries.emplace(id, std::move(observer));
  std::weak_ptr<Observers> weak = observers_;
  return Subscription([weak, id] {
    if (const auto observers = weak.lock()) observers->entries.erase(id);
  });
}

void HotKeySettingsStore::notifyObservers() {
  // Copied: an observer may cancel itself or others.
  const auto entries = observers_->entries;
  for (const auto& [id, observer] : entries) {
    if (observers_->entries.count(id) != 0) observer();
  }
}

}  // namespace tessarapane
