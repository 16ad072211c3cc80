// The X display that FLTK opens stays open for the life of the process, and
// the X and font libraries keep what they allocated for it: not leaks of
// ours. LeakSanitizer reads these suppressions in the sanitizer build.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libX11.so\n"
         "leak:libfontconfig.so\n"
         "leak:libXft.so\n"
         "leak:libXrender.so\n";
}
