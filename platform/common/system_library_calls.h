// SDL opens system libraries (the system bus, the X libraries, device monitors) that keep
// process-wide allocations for good and are unloaded before the sanitizer build's leak
// check can name them; SDL calls that may load or start them are kept out of that check.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define RW_SYSTEM_LIBRARY_CALLS __lsan::ScopedDisabler systemLibrariesAreNotOurLeaks
#else
#define RW_SYSTEM_LIBRARY_CALLS (void)0
#endif
