// Version tag of the engine library.
extern "C" const char *RwLibraryTag(void) { return "rwsdk"; }
