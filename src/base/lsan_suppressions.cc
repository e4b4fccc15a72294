// Linked into every executable of the project (see the top CMakeLists), so
// that a sanitizer build reports only leaks of our own.
//
// Fontconfig, which both the window (FLTK) and the rasteriser (librsvg and
// pango) load, keeps its font pattern caches until the process ends without
// freeing them; LeakSanitizer would report them at every exit that followed
// a shown window or a drawn picture. Only stacks through fontconfig itself
// are exempt.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
// Without the table of used suppressions that would follow on stderr.
extern "C" const char* __lsan_default_options() {
  return "print_suppressions=0";
}
#endif
