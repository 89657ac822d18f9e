// Special keys and directions.
#include "library/api/api_support.h"
#include "library/keys/key_table.h"

using quorel::api::Guarded;
using quorel::api::In;
using quorel::api::Out;

namespace {

int DirectionName(int direction, const QUOREL_CHAR** name, bool long_name) {
  if (name == nullptr) return 0;
  *name = nullptr;
  const quorel::Direction* found = quorel::FindDirection(direction);
  if (found == nullptr) return 0;
  *name = Out(long_name ? found->long_name : found->short_name);
  return 1;
}

}  // namespace

extern "C" {

int KEYDEF_GetSpecialKeyName(int kind, int parameter, const QUOREL_CHAR** name) {
  return Guarded([&] {
    const char16_t* found = quorel::GetSpecialKeyName(kind, parameter);
    if (name != nullptr) *name = Out(found);
    return found != nullptr ? 1 : 0;
  });
}

int KEYDEF_GetSpecialKey(const QUOREL_CHAR* name, unsigned short* kind,
                         unsigned short* parameter) {
  return Guarded([&] {
    std::uint16_t found_kind = 0;
    std::uint16_t found_parameter = 0;
    bool found = quorel::GetSpecialKey(In(name), &found_kind, &found_parameter);
    if (kind != nullptr) *kind = found_kind;
    if (parameter != nullptr) *parameter = found_parameter;
    return found ? 1 : 0;
  });
}

int SLIDES_GetDirectionShortName(int direction, const QUOREL_CHAR** name) {
  return Guarded([&] { return DirectionName(direction, name, false); });
}

int SLIDES_GetDirectionLongName(int direction, const QUOREL_CHAR** name) {
  return Guarded([&] { return DirectionName(direction, name, true); });
}

}  // extern "C"
