// Linked into the test programs of sanitizer builds: Qt's platform plugins
// keep a few objects (screens, fonts) until the process ends, which
// LeakSanitizer would report for every program that opens a GUI application,
// even when listing its tests.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libQt5Gui.so\n"
           "leak:libqoffscreen.so\n"
           "leak:libfontconfig.so\n";
}
