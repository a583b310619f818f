// The libFuzzer driver of one entry; SP_FUZZ_ENTRY names it.
#include <cstdio>
#include <cstdlib>

#include "FuzzEntries.h"
#ifdef SP_FUZZ_REACHES_LIBGSF
#include "KnownLeaks.h"
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem = fuzz::SP_FUZZ_ENTRY(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "broken property: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
