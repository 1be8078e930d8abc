// Stands in for the Windows loader inside the plugin's shared object: dlopen calls DllMain with
// the attach reason and the module's base address as its handle, dlclose with the detach reason.
#include <dlfcn.h>
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved);

namespace {

HINSTANCE ownModule() {
  Dl_info info{};
  dladdr(reinterpret_cast<void*>(&DllMain), &info);
  return static_cast<HINSTANCE>(info.dli_fbase);
}

__attribute__((constructor)) void loaderAttach() {
  DllMain(ownModule(), DLL_PROCESS_ATTACH, nullptr);
}

__attribute__((destructor)) void loaderDetach() {
  DllMain(ownModule(), DLL_PROCESS_DETACH, nullptr);
}

}  // namespace
