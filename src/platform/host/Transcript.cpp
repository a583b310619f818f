#include "platform/host/Transcript.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "platform/host/HostPlatform.h"

namespace host {
namespace {

constexpr const char* kTranscriptVariable = "SP_HOST_TRANSCRIPT";
constexpr mode_t kTranscriptMode = 0644;

} // namespace

std::string EscapeTranscriptField(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: out += c; break;
        }
    }
    return out;
}

void AppendTranscriptRecord(const std::string& record) {
    const char* path = std::getenv(kTranscriptVariable);
    if (path == nullptr || *path == '\0')
        return;
    const int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, kTranscriptMode);
    if (fd < 0) {
        std::fprintf(stderr, "%s: cannot open %s: %s\n", kTranscriptVariable, path,
                     std::strerror(errno));
        return;
    }
    const std::string line = record + "\n";
    ssize_t written = 0;
    do {
        written = write(fd, line.data(), line.size());
    } while (written < 0 && errno == EINTR);
    if (written != static_cast<ssize_t>(line.size())) {
        std::fprintf(stderr, "%s: cannot append to %s: %s\n", kTranscriptVariable, path,
                     written < 0 ? std::strerror(errno) : "short write");
    }
    close(fd);
}

void RecordExitCode(int exitCode) {
    std::fprintf(stderr, "exit code: %d\n", exitCode);
    AppendTranscriptRecord("exit\t" + std::to_string(exitCode));
}

} // namespace host
