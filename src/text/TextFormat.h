#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessarapane::TextFormat {

// Fills a localised format the way the platform's format strings work, for
// the two conversions the menu uses: "%@" (text) and "%ld" (a number, passed
// already as text) take the arguments in turn; "%1$@" / "%2$ld" take one by
// position, so a translation may reorder them; "%%" is a percent sign. A
// conversion without an argument and any other sequence are kept as written.
std::string format(std::string_view format, const std::vector<std::string>& arguments);

}  // namespace tessarapane::TextFormat
