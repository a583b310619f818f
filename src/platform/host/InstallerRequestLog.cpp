#include "platform/host/InstallerRequestLog.h"

#include <cerrno>
#include <cstring>
#include <string_view>

#include <fcntl.h>
#include <unistd.h>

namespace host {
namespace {

constexpr std::size_t kMaxLogBytes = 16 << 20;
constexpr std::size_t kFieldCount = 5;

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool Unescape(std::string_view text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return false;
        switch (text[i]) {
        case '\\':
            out += '\\';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case 'n':
            out += '\n';
            break;
        default:
            return false;
        }
    }
    return true;
}

bool ParseNumber(std::string_view text, long long& value) {
    if (text.empty() || text.size() > 11)
        return false;
    const bool negative = text[0] == '-';
    if (negative && text.size() == 1)
        return false;
    long long number = 0;
    for (std::size_t i = negative ? 1 : 0; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        number = number * 10 + (text[i] - '0');
    }
    value = negative ? -number : number;
    return true;
}

bool ParseLine(std::string_view line, InstallerRequest& request) {
    std::string_view fields[kFieldCount];
    for (std::size_t i = 0; i + 1 < kFieldCount; ++i) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos)
            return false;
        fields[i] = line.substr(0, tab);
        line.remove_prefix(tab + 1);
    }
    fields[kFieldCount - 1] = line;
    long long result = 0, level = 0, state = 0;
    if (!ParseNumber(fields[0], result) || !ParseNumber(fields[2], level) ||
        !ParseNumber(fields[3], state) || !Unescape(fields[4], request.commandLine))
        return false;
    request.result = static_cast<win::UINT>(result);
    request.product = std::string(fields[1]);
    request.installLevel = static_cast<int>(level);
    request.installState = static_cast<int>(state);
    return true;
}

} // namespace

std::string InstallerRequestLogPath(const std::string& registryPath) {
    return registryPath + ".requests";
}

bool AppendInstallerRequest(const std::string& registryPath, const InstallerRequest& request,
                            std::string& error) {
    const std::string path = InstallerRequestLogPath(registryPath);
    const std::string line = std::to_string(request.result) + '\t' + Escape(request.product) +
                             '\t' + std::to_string(request.installLevel) + '\t' +
                             std::to_string(request.installState) + '\t' +
                             Escape(request.commandLine) + '\n';
    const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    // One write of the whole line, so that lines of concurrent writers do not interleave.
    const ssize_t written = write(fd, line.data(), line.size());
    const bool ok = written == static_cast<ssize_t>(line.size());
    if (!ok)
        error = "cannot append to " + path + ": " + std::strerror(errno);
    close(fd);
    return ok;
}

bool ReadInstallerRequests(const std::string& registryPath, std::vector<InstallerRequest>& requests,
                           std::string& error) {
    const std::string path = InstallerRequestLogPath(registryPath);
    requests.clear();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return true;
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    std::string text(kMaxLogBytes + 1, '\0');
    std::size_t size = 0;
    while (size < text.size()) {
        const ssize_t n = read(fd, text.data() + size, text.size() - size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        size += static_cast<std::size_t>(n);
    }
    close(fd);
    if (size > kMaxLogBytes) {
        error = path + ": longer than " + std::to_string(kMaxLogBytes) + " bytes";
        return false;
    }
    std::string_view rest(text.data(), size);
    for (std::size_t lineNumber = 1; !rest.empty(); ++lineNumber) {
        const std::size_t end = rest.find('\n');
        if (end == std::string_view::npos) {
            error = path + ":" + std::to_string(lineNumber) + ": line without its end";
            return false;
        }
        InstallerRequest request;
        if (!ParseLine(rest.substr(0, end), request)) {
            error = path + ":" + std::to_string(lineNumber) + ": not a request line";
            return false;
        }
        requests.push_back(std::move(request));
        rest.remove_prefix(end + 1);
    }
    return true;
}

} // namespace host
