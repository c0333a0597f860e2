#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "platform/Localizer.h"
#include "platform/Log.h"

namespace tessarapane {

enum class Language { chinese, english };

// The language of the user-visible texts from the locale variables, read
// through `environment` (null or empty when unset): the first non-empty of
// LC_ALL, LC_MESSAGES, LANG decides; a value starting with "zh" is Chinese,
// anything else (also "C", "POSIX" and nothing at all) English.
using EnvironmentLookup = std::function<const char*(const char* name)>;
Language chooseLanguage(const EnvironmentLookup& environment);

namespace EnglishTexts {

using Entry = std::pair<std::string_view, std::string_view>;

// Every key (the Chinese text) with its English text, sorted by key bytes.
std::span<const Entry> table();

}  // namespace EnglishTexts

// Looks keys up in a sorted {key → text} table. A key the table lacks is
// shown unchanged and reported once: to `log` when there is one, and in
// missingKeys() always.
class TableLocalizer final : public Localizer {
 public:
  TableLocalizer(std::span<const EnglishTexts::Entry> table, std::shared_ptr<Log> log = nullptr,
                 std::string subsystem = {});

  std::string localized(std::string_view key) const override;
  std::set<std::string> missingKeys() const;

 private:
  std::span<const EnglishTexts::Entry> table_;
  std::shared_ptr<Log> log_;
  std::string subsystem_;
  mutable std::mutex mutex_;
  mutable std::set<std::string, std::less<>> missing_;
};

// The identity localizer for Chinese, the English table otherwise.
std::shared_ptr<const Localizer> makeLocalizer(Language language, std::shared_ptr<Log> log = nullptr,
                                               std::string subsystem = {});

}  // namespace tessarapane
