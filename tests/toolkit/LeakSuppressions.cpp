// Fontconfig keeps a cache it never frees; the leak checker is told to look past it.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
