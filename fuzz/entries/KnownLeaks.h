// Leaks of system libraries that our code cannot free, kept out of LeakSanitizer's reports.
// Include in exactly one file of a program that reaches libgsf (the summary-info fuzzer, the
// regression tests).
#pragma once

// libgsf 1.14.50 loses a directory entry (156 bytes) in gsf_infile_msole_new when a damaged
// compound file's root entry is not marked as the root; the caller never sees the object.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:gsf_infile_msole_new\n";
}

// glib is built without frame pointers: only the slow unwinder gets from g_malloc back to the
// libgsf function that the suppression names.
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }
