// One entry per reader of untrusted input. libFuzzer drives them (fuzz/Driver.cpp) and the
// regression tests replay saved inputs through the very same functions (tests/regression/).
//
// Each entry returns an empty string when the reader behaved, or what went wrong when a result
// breaks a property the reader promises (a crash or sanitizer report is a failure by itself).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// A .res image: parse it as a module, then enumerate, find, load and lock what it holds and read
// every string-table entry of it.
std::string ResourceImage(const std::uint8_t* data, std::size_t size);
// Arbitrary UTF-16 (little-endian byte pairs) split by CommandLineToArgvW; the arguments must
// survive QuoteArgument and a second split unchanged.
std::string CommandLineSplit(const std::uint8_t* data, std::size_t size);
// NUL-separated UTF-8 arguments handed to the launcher's ParseCommandLine.
std::string ParseCommandLine(const std::uint8_t* data, std::size_t size);
// Arbitrary UTF-16 through ParseVersion; a well-formed version text must come back as written.
std::string ParseVersion(const std::uint8_t* data, std::size_t size);
// Installed and target versions from the first 16 bytes, the candidate list from the rest,
// checked against a plain restatement of the walk.
std::string CandidateWalk(const std::uint8_t* data, std::size_t size);
// The bytes as a package file: MsiGetSummaryInformationW, the template (PID 7) read with a small
// and a large buffer, MsiCloseHandle.
std::string SummaryInfo(const std::uint8_t* data, std::size_t size);
// The bytes as a summary information stream, decoded without the compound file around it.
std::string SummaryStream(const std::uint8_t* data, std::size_t size);

// The entries by the names the fuzz targets and saved inputs carry ("resource-image", ...).
using Entry = std::string (*)(const std::uint8_t*, std::size_t);
Entry EntryByName(const std::string& name);

} // namespace fuzz
