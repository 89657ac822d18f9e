// What every export needs: the library's UTF-16 type seen as char16_t, and a guard that
// keeps any exception from crossing into the caller.
#pragma once

#include <cstdint>

#include "library/api/QuorelApi.h"

namespace quorel::api {

static_assert(sizeof(QUOREL_CHAR) == sizeof(char16_t), "the library's text is UTF-16");

inline const char16_t* In(const QUOREL_CHAR* text) {
  return reinterpret_cast<const char16_t*>(text);
}
inline char16_t* InOut(QUOREL_CHAR* text) { return reinterpret_cast<char16_t*>(text); }
inline const QUOREL_CHAR* Out(const char16_t* text) {
  return reinterpret_cast<const QUOREL_CHAR*>(text);
}

// Window handles are kept in 32 bits, as 64-bit Windows promises they fit, and widened
// back with their sign.
inline std::uint32_t WindowToField(QUOREL_WINDOW window) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window));
}
inline QUOREL_WINDOW FieldToWindow(std::uint32_t field) {
  return reinterpret_cast<QUOREL_WINDOW>(
      static_cast<std::intptr_t>(static_cast<std::int32_t>(field)));
}

template <typename Body>
int Guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return 0;
  }
}

}  // namespace quorel::api
