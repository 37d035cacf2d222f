// Export and calling-convention details of the gauge module ABI, in one place.
// The modules and the gauge host include this header; nothing else decides
// how the two exported symbols are made visible.
#pragma once

#if defined(_WIN32)
// The .def file of each module exports ImportTable and Linkage by name;
// nothing else is exported, so no attribute is needed on the symbols.
#define GAUGE_EXPORT
#else
// Native modules are built with hidden visibility; only the two module
// symbols are made visible.
#define GAUGE_EXPORT __attribute__((visibility("default")))
#endif

// Every callback between host and module uses the platform's default C
// calling convention (cdecl on 32-bit Windows).
#define GAUGE_CALL
