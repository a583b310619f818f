// The host executable's entry: records the arguments, hands the embedded resource image to
// WinMain as the module, and reports the full exit code, which a Linux exit status (8 bits)
// cannot carry: on standard error and in the transcript.
#include <string>
#include <vector>

#include "platform/Entry.h"
#include "platform/host/HostPlatform.h"

int main(int argc, char** argv) {
    host::SetCommandLineArguments(std::vector<std::string>(argv, argv + argc));
    char emptyCommandLine[] = "";
    const int exitCode = WinMain(host::MainModule(), nullptr, emptyCommandLine, 1);
    host::RecordExitCode(exitCode);
    return exitCode;
}
