// fontconfig drops a few bytes of its own while it parses its configuration
// files; that is not ours to free, so the leak checker is told to pass over it.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
