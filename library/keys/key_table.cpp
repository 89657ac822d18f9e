#include "library/keys/key_table.h"

namespace quorel {

namespace {

// The vocabulary of special keys, in lookup order. The picker group is the heading under
// which the special key picker offers the key; null where it does not offer it.
constexpr SpecialKey kSpecialKeys[] = {
    {u"<acute>", 1, 0, 0, u"panel key"},
    {u"<add>", 2, 0, 0, u"panel key"},
    {u"<alt>", 3, 0, 0, u"state key"},
    {u"<back>", 4, 0, 0, u"special character"},
    {u"<browser back>", 5, 1, 0, u"browser key"},
    {u"<browser favorites>", 5, 2, 0, u"browser key"},
    {u"<browser forward>", 5, 3, 0, u"browser key"},
    {u"<browser home>", 5, 4, 0, u"browser key"},
    {u"<browser refresh>", 5, 5, 0, u"browser key"},
    {u"<browser search>", 5, 6, 0, u"browser key"},
    {u"<browser stop>", 5, 7, 0, u"browser key"},
    {u"<caps>", 6, 0, 0, u"state key"},
    {u"<capitalize>", 7, 1, 0, u"metakey"},
    {u"<lowercase>", 7, 2, 0, u"metakey"},
    {u"<uppercase>", 7, 3, 0, u"metakey"},
    {u"<circum>", 9, 0, 0, u"panel key"},
    {u"<close>", 10, 0, 0, nullptr},
    {u"<control>", 12, 0, 0, u"state key"},
    {u"<context menu>", 11, 0, 0, u"metakey"},
    {u"<delete>", 13, 0, 0, u"special character"},
    {u"<dock>", 14, 0, 0, u"positioning key"},
    {u"<down>", 15, 0, 0, u"direction key"},
    {u"<duo>", 17, 0, 0, u"positioning key"},
    {u"<end>", 18, 0, 0, u"direction key"},
    {u"<enter>", 19, 0, 0, u"special character"},
    {u"<esc>", 20, 0, 0, u"special character"},
    {u"<expand>", 21, 0, 0, nullptr},
    {u"<expansion toggle>", 22, 1, 0, u"option key"},
    {u"<expansion on>", 22, 2, 0, u"option key"},
    {u"<expansion off>", 22, 3, 0, u"option key"},
    {u"<f1>", 26, 1, 0, u"function key"},
    {u"<f2>", 26, 2, 0, u"function key"},
    {u"<f3>", 26, 3, 0, u"function key"},
    {u"<f4>", 26, 4, 0, u"function key"},
    {u"<f5>", 26, 5, 0, u"function key"},
    {u"<f6>", 26, 6, 0, u"function key"},
    {u"<f7>", 26, 7, 0, u"function key"},
    {u"<f8>", 26, 8, 0, u"function key"},
    {u"<f9>", 26, 9, 0, u"function key"},
    {u"<f10>", 26, 10, 0, u"function key"},
    {u"<f11>", 26, 11, 0, u"function key"},
    {u"<f12>", 26, 12, 0, u"function key"},
    {u"<f13>", 26, 13, 0, u"function key"},
    {u"<f14>", 26, 14, 0, u"function key"},
    {u"<f15>", 26, 15, 0, u"function key"},
    {u"<f16>", 26, 16, 0, u"function key"},
    {u"<f17>", 26, 17, 0, u"function key"},
    {u"<f18>", 26, 18, 0, u"function key"},
    {u"<f19>", 26, 19, 0, u"function key"},
    {u"<f20>", 26, 20, 0, u"function key"},
    {u"<f21>", 26, 21, 0, u"function key"},
    {u"<f22>", 26, 22, 0, u"function key"},
    {u"<f23>", 26, 23, 0, u"function key"},
    {u"<f24>", 26, 24, 0, u"function key"},
    {u"<quorel>", 23, 0, 0, nullptr},
    {u"<smallsize>", 25, 1, 0, u"option key"},
    {u"<mediumsize>", 25, 2, 0, u"option key"},
    {u"<largesize>", 25, 3, 0, u"option key"},
    {u"<fingersize>", 25, 4, 0, u"option key"},
    {u"<grave>", 27, 0, 0, u"panel key"},
    {u"<hide>", 28, 0, 0, nullptr},
    {u"<home>", 29, 0, 0, u"direction key"},
    {u"<info>", 30, 0, 0, u"panel key"},
    {u"<insert>", 31, 0, 0, u"special character"},
    {u"<launch>", 32, 0, 1, u"metakey"},
    {u"<left>", 33, 0, 0, u"direction key"},
    {u"<load glossary>", 34, 0, 1, u"metakey"},
    {u"<load slides>", 36, 0, 1, u"metakey"},
    {u"<longdate>", 38, 0, 0, u"metakey"},
    {u"<longtime>", 39, 0, 0, u"metakey"},
    {u"<maxiclient>", 40, 0, 0, u"positioning key"},
    {u"<miniclient>", 41, 0, 0, u"positioning key"},
    {u"<mini>", 42, 0, 0, u"positioning key"},
    {u"<move keyboard>", 43, 0, 1, u"positioning key"},
    {u"<no action>", 44, 0, 0, u"metakey"},
    {u"<numlock>", 45, 0, 0, u"state key"},
    {u"<numpad 0>", 46, 0, 0, u"numpad key"},
    {u"<numpad 1>", 46, 1, 0, u"numpad key"},
    {u"<numpad 2>", 46, 2, 0, u"numpad key"},
    {u"<numpad 3>", 46, 3, 0, u"numpad key"},
    {u"<numpad 4>", 46, 4, 0, u"numpad key"},
    {u"<numpad 5>", 46, 5, 0, u"numpad key"},
    {u"<numpad 6>", 46, 6, 0, u"numpad key"},
    {u"<numpad 7>", 46, 7, 0, u"numpad key"},
    {u"<numpad 8>", 46, 8, 0, u"numpad key"},
    {u"<numpad 9>", 46, 9, 0, u"numpad key"},
    {u"<pagedown>", 48, 0, 0, u"direction key"},
    {u"<pageup>", 49, 0, 0, u"direction key"},
    {u"<pause>", 50, 0, 0, u"special character"},
    {u"<print screen>", 52, 0, 0, u"special character"},
    {u"<right>", 53, 0, 0, u"direction key"},
    {u"<rotate>", 54, 1, 0, u"metakey"},
    {u"<portrait>", 54, 2, 0, nullptr},
    {u"<landscape right>", 54, 3, 0, nullptr},
    {u"<portrait upside down>", 54, 4, 0, nullptr},
    {u"<landscape left>", 54, 5, 0, nullptr},
    {u"<scroll lock>", 55, 0, 0, u"state key"},
    {u"<shift>", 56, 0, 0, u"state key"},
    {u"<shortdate>", 57, 0, 0, u"metakey"},
    {u"<shorttime>", 58, 0, 0, u"metakey"},
    {u"<123>", 59, 0, 0, u"panel key"},
    {u"<abc>", 60, 0, 0, u"panel key"},
    {u"<accents>", 61, 0, 0, u"panel key"},
    {u"<arrows>", 62, 0, 0, u"panel key"},
    {u"<show>", 63, 0, 0, u"positioning key"},
    {u"<space>", 64, 0, 0, u"special character"},
    {u"<symbols halfcells>", 65, 1, 0, u"option key"},
    {u"<symbols digits>", 65, 2, 0, u"option key"},
    {u"<symbols punctuation>", 65, 3, 0, u"option key"},
    {u"<sysmenu>", 66, 0, 0, nullptr},
    {u"<tab>", 67, 0, 0, u"special character"},
    {u"<tap>", 68, 0, 1, u"metakey"},
    {u"<umlaut>", 69, 0, 0, u"panel key"},
    {u"<up>", 70, 0, 0, u"direction key"},
    {u"<volume down>", 71, 1, 0, u"volume key"},
    {u"<volume mute>", 71, 2, 0, u"volume key"},
    {u"<volume up>", 71, 3, 0, u"volume key"},
    {u"<wait>", 72, 0, 1, u"metakey"},
    {u"<wideleft>", 73, 0, 0, u"direction key"},
    {u"<wideright>", 74, 0, 0, u"direction key"},
    {u"<windows key>", 75, 0, 0, u"state key"},
    {nullptr, 0, 0, 0, nullptr},
};

// Stored N, S, E, W, NE, NW, SE, SW; looked up by code.
constexpr Direction kDirections[] = {
    {1, u"N", u"North", u"[NORTH]"},          {5, u"S", u"South", u"[SOUTH]"},
    {3, u"E", u"East", u"[EAST]"},            {7, u"W", u"West", u"[WEST]"},
    {2, u"NE", u"North east", u"[NORTHEAST]"}, {8, u"NW", u"North west", u"[NORTHWEST]"},
    {4, u"SE", u"South east", u"[SOUTHEAST]"}, {6, u"SW", u"South west", u"[SOUTHWEST]"},
    {0, nullptr, nullptr, nullptr},
};

bool Equal(const char16_t* a, const char16_t* b) {
  while (*a != 0 && *a == *b) {
    ++a;
    ++b;
  }
  return *a == *b;
}

}  // namespace

const SpecialKey* SpecialKeyTable() { return kSpecialKeys; }

const char16_t* GetSpecialKeyName(int kind, int parameter) {
  const auto wanted_kind = static_cast<std::uint16_t>(kind);
  const auto wanted_parameter = static_cast<std::uint16_t>(parameter);
  if (wanted_kind == kCharacterKind) return nullptr;
  for (const SpecialKey* key = kSpecialKeys; key->name != nullptr; ++key) {
    if (key->kind == wanted_kind && key->parameter == wanted_parameter) return key->name;
  }
  return nullptr;
}

bool GetSpecialKey(const char16_t* name, std::uint16_t* kind, std::uint16_t* parameter) {
  if (name != nullptr) {
    for (const SpecialKey* key = kSpecialKeys; key->name != nullptr; ++key) {
      if (Equal(key->name, name)) {
        *kind = key->kind;
        *parameter = key->parameter;
        return true;
      }
    }
  }
  *kind = 0;
  *parameter = 0;
  return false;
}

const Direction* FindDirection(int code) {
  for (const Direction* direction = kDirections; direction->code != 0; ++direction) {
    if (direction->code == code) return direction;
  }
  return nullptr;
}

}  // namespace quorel
