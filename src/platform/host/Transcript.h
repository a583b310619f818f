// The transcript: what a host run showed and how it ended, for tests that run the executable
// as a process. Written only when the environment variable SP_HOST_TRANSCRIPT names a file.
//
// One record per line, UTF-8, fields separated by a TAB, appended with O_APPEND in one write
// so that processes sharing the file do not interleave:
//   box <TAB> flags <TAB> locale <TAB> caption <TAB> text     a message box
//   exit <TAB> code                                           the end of the run
// flags is 8 hex digits ("00050010"), locale and code are decimal (the thread locale when the
// box was shown; the full exit code, e.g. 3010). In caption and text a backslash, line feed,
// carriage return and TAB are written as \\, \n, \r and \t.
#pragma once

#include <string>
#include <string_view>

namespace host {

// "\\", "\n", "\r" and "\t" for those characters; everything else as it is.
std::string EscapeTranscriptField(std::string_view text);
// Appends one record (the line without its line feed). Reports a failure on standard error.
void AppendTranscriptRecord(const std::string& record);

} // namespace host
