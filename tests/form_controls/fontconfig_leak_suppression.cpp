// Fontconfig keeps its pattern caches until FcFini, which Qt never calls; LeakSanitizer would
// report them at the end of every test that draws text. Only that library is excused.

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
