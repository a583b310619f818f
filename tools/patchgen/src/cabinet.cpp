#include "cabinet.h"

#include <glib.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace patchgen {
namespace {

constexpr std::size_t kMd5Bytes = 16;

// A scratch directory removed with what it holds.
class TempDir {
public:
    TempDir() {
        const char* dir = std::getenv("TMPDIR");
        path_ = std::string(dir && *dir ? dir : "/tmp") + "/patchgen-cab-XXXXXX";
        if (!mkdtemp(path_.data())) throw std::runtime_error("cannot create a scratch directory in " + path_);
    }
    ~TempDir() {
        for (const std::string& f : files_) unlink(f.c_str());
        rmdir(path_.c_str());
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string Add(const std::string& name) {
        files_.push_back(path_ + "/" + name);
        return files_.back();
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::vector<std::string> files_;
};

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

Bytes MakeCabinet(const std::string& gcab, const std::string& member, const std::string& content,
                  std::int64_t unixTime) {
    TempDir dir;
    const std::string source = dir.Add(member);
    const std::string cabinet = dir.Add("out.cab");
    WriteFile(source, content);
    const timespec times[2] = {{static_cast<time_t>(unixTime), 0}, {static_cast<time_t>(unixTime), 0}};
    if (utimensat(AT_FDCWD, source.c_str(), times, 0) != 0)
        throw std::runtime_error("cannot date " + source + ": " + std::strerror(errno));

    // -n: store the bare name, which is the key the installer looks for.
    const pid_t child = fork();
    if (child < 0) throw std::runtime_error("cannot start " + gcab);
    if (child == 0) {
        execlp(gcab.c_str(), gcab.c_str(), "-c", "-n", cabinet.c_str(), source.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(gcab + " failed to make a cabinet of " + member);

    std::ifstream in(cabinet, std::ios::binary);
    Bytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (data.empty()) throw std::runtime_error(gcab + " wrote no cabinet for " + member);
    return data;
}

std::array<std::int32_t, 4> FileHashParts(const std::string& content) {
    GChecksum* md5 = g_checksum_new(G_CHECKSUM_MD5);
    g_checksum_update(md5, reinterpret_cast<const guchar*>(content.data()), static_cast<gssize>(content.size()));
    guint8 digest[kMd5Bytes];
    gsize length = sizeof digest;
    g_checksum_get_digest(md5, digest, &length);
    g_checksum_free(md5);
    if (length != kMd5Bytes) throw std::runtime_error("MD5 digest of unexpected length");
    std::array<std::int32_t, 4> parts{};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::uint32_t word = static_cast<std::uint32_t>(digest[4 * i]) |
                                   static_cast<std::uint32_t>(digest[4 * i + 1]) << 8 |
                                   static_cast<std::uint32_t>(digest[4 * i + 2]) << 16 |
                                   static_cast<std::uint32_t>(digest[4 * i + 3]) << 24;
        parts[i] = static_cast<std::int32_t>(word);
    }
    return parts;
}

}  // namespace patchgen
