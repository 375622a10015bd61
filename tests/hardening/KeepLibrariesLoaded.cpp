// Linked into every executable of a sanitized build (ORBIVISTA_SANITIZE):
// a dlclose that leaves the library loaded.
//
// LeakSanitizer looks for leaks at exit and names each frame of a leak's
// allocation stack by the library it lies in.  The GL driver (Mesa's
// swrast_dri.so, reached through libglvnd's libGLX) is unloaded when Qt
// closes the X display, before that check, so the blocks it keeps to the end
// showed as frames of no library and no suppression by library name could
// match them.  Defined in the executable, this dlclose takes precedence over
// libc's for every library of the process, so the driver stays mapped to
// the end and tests/hardening/lsan.supp names it like any other library.
// Nothing of ours unloads libraries; the program's normal builds do not
// have this file.
extern "C" int dlclose(void*) {
    return 0; // success: the handle stays valid, the library loaded
}
