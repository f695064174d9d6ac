// The first code of both programs, run from their entry points before the C runtime starts: the
// DLL search is closed to the program's folder and the stack protector gets a random canary, so
// that every protected function, the C runtime's start included, checks against the final value.
#pragma once

namespace tessaro {

// Must not itself be protected: the canary changes while it runs. Call it only from an entry
// point, then hand over to the C runtime's.
void PrepareProcess();

}  // namespace tessaro

// For the entry points, which are called before any protected code and must not be protected.
#ifdef __i386__
// The loader aligns the stack to 4 bytes, the compiler assumes 16.
#define TESSARO_ENTRY extern "C" __attribute__((no_stack_protector, force_align_arg_pointer))
#else
#define TESSARO_ENTRY extern "C" __attribute__((no_stack_protector))
#endif
