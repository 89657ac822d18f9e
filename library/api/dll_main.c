/* The library keeps no work for attach or detach: the options load on first use, outside
 * the loader lock (the registry and font calls may load other libraries), and every
 * options export asks for them before it answers. */
#include <windows.h>

#include "library/api/QuorelApi.h" /* the public header must compile as C */

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}
