// Linked into every executable of a sanitized build (ORBIVISTA_SANITIZE):
// a dlclose that leaves the library loaded.
//
// LeakSanitizer looks for leaks at exit, after Qt has closed the X display,
// and closing it unloads the GL driver (Mesa's swrast_dri.so, opened
// through libglvnd's libGLX).  Blocks the driver still held in its globals
// then counted as leaked, and their allocation stacks showed frames of a
// library no longer there, which no suppression by library name can match.
// Defined in the executable, this dlclose takes precedence over libc's for
// every library of the process: the driver stays mapped to the end, its
// globals are scanned like any other and what they hold is not reported,
// while a block of ours that nothing points to still is.  Nothing of ours
// unloads libraries; the program's normal builds do not have this file.
extern "C" int dlclose(void*) {
    return 0; // success: the handle stays valid, the library loaded
}
