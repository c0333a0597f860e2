#include "backends/x11/X11KeyCodes.h"

#include <array>
#include <utility>

namespace tessarapane::X11KeyCodes {

namespace {

struct Entry {
  std::uint16_t virtualKey;
  std::uint32_t keysym;
};

// Virtual key codes of the ANSI layout and the X keysyms printed on those keys.
constexpr std::array kTable = {
    // Letters.
    Entry{0, 'a'}, Entry{11, 'b'}, Entry{8, 'c'}, Entry{2, 'd'}, Entry{14, 'e'}, Entry{3, 'f'}, Entry{5, 'g'},
    Entry{4, 'h'}, Entry{34, 'i'}, Entry{38, 'j'}, Entry{40, 'k'}, Entry{37, 'l'}, Entry{46, 'm'}, Entry{45, 'n'},
    Entry{31, 'o'}, Entry{35, 'p'}, Entry{12, 'q'}, Entry{15, 'r'}, Entry{1, 's'}, Entry{17, 't'}, Entry{32, 'u'},
    Entry{9, 'v'}, Entry{13, 'w'}, Entry{7, 'x'}, Entry{16, 'y'}, Entry{6, 'z'},
    // Digits.
    Entry{29, '0'}, Entry{18, '1'}, Entry{19, '2'}, Entry{20, '3'}, Entry{21, '4'}, Entry{23, '5'}, Entry{22, '6'},
    Entry{26, '7'}, Entry{28, '8'}, Entry{25, '9'},
    // Punctuation.
    Entry{24, '='}, Entry{27, '-'}, Entry{30, ']'}, Entry{33, '['}, Entry{39, '\''}, Entry{41, ';'},
    Entry{42, '\\'}, Entry{43, ','}, Entry{44, '/'}, Entry{47, '.'}, Entry{50, '`'},
    // Editing and navigation.
    Entry{36, 0xff0d} /* Return */, Entry{48, 0xff09} /* Tab */, Entry{49, ' '} /* space */,
    Entry{51, 0xff08} /* BackSpace */, Entry{53, 0xff1b} /* Escape */, Entry{117, 0xffff} /* Delete */,
    Entry{114, 0xff63} /* Help: Insert */, Entry{115, 0xff50} /* Home */, Entry{119, 0xff57} /* End */,
    Entry{116, 0xff55} /* Prior */, Entry{121, 0xff56} /* Next */, Entry{123, 0xff51} /* Left */,
    Entry{124, 0xff53} /* Right */, Entry{125, 0xff54} /* Down */, Entry{126, 0xff52} /* Up */,
    // Function keys F1 to F20 (keysyms 0xffbe onwards).
    Entry{122, 0xffbe}, Entry{120, 0xffbf}, Entry{99, 0xffc0}, Entry{118, 0xffc1}, Entry{96, 0xffc2},
    Entry{97, 0xffc3}, Entry{98, 0xffc4}, Entry{100, 0xffc5}, Entry{101, 0xffc6}, Entry{109, 0xffc7},
    Entry{103, 0xffc8}, Entry{111, 0xffc9}, Entry{105, 0xffca}, Entry{107, 0xffcb}, Entry{113, 0xffcc},
    Entry{106, 0xffcd}, Entry{64, 0xffce}, Entry{79, 0xffcf}, Entry{80, 0xffd0}, Entry{90, 0xffd1},
    // Keypad.
    Entry{65, 0xffae} /* KP_Decimal */, Entry{67, 0xffaa} /* KP_Multiply */, Entry{69, 0xffab} /* KP_Add */,
    Entry{71, 0xff7f} /* Clear: Num_Lock */, Entry{75, 0xffaf} /* KP_Divide */, Entry{76, 0xff8d} /* KP_Enter */,
    Entry{78, 0xffad} /* KP_Subtract */, Entry{81, 0xffbd} /* KP_Equal */, Entry{82, 0xffb0}, Entry{83, 0xffb1},
    Entry{84, 0xffb2}, Entry{85, 0xffb3}, Entry{86, 0xffb4}, Entry{87, 0xffb5}, Entry{88, 0xffb6},
    Entry{89, 0xffb7}, Entry{91, 0xffb8}, Entry{92, 0xffb9},
};

}  // namespace

std::optional<std::uint32_t> keysymForVirtualKey(std::uint32_t keyCode) {
  for (const Entry& entry : kTable) {
    if (entry.virtualKey == keyCode) return entry.keysym;
  }
  return std::nullopt;
}

std::optional<std::uint16_t> virtualKeyForKeysym(std::uint32_t keysym) {
  if (keysym >= 'A' && keysym <= 'Z') keysym += 'a' - 'A';
  for (const Entry& entry : kTable) {
    if (entry.keysym == keysym) return entry.virtualKey;
  }
  return std::nullopt;
}

}  // namespace tessarapane::X11KeyCodes
