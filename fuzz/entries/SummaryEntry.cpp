#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "FuzzEntries.h"
#include "platform/Platform.h"
#include "platform/host/MsiPropertySet.h"

namespace fuzz {
namespace {

// One file per process, rewritten for every input, in a folder of its own that goes at exit.
class PackageFile {
  public:
    PackageFile() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") +
                              "/sp-fuzz-summary-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) {
            dir_ = pattern;
            path_ = dir_ + "/package.msp";
        }
    }
    ~PackageFile() {
        if (!dir_.empty()) {
            std::remove(path_.c_str());
            rmdir(dir_.c_str());
        }
    }
    bool write(const std::uint8_t* data, std::size_t size) const {
        if (path_.empty())
            return false;
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        if (file == nullptr)
            return false;
        const bool ok = std::fwrite(data, 1, size, file) == size;
        return std::fclose(file) == 0 && ok;
    }
    const std::string& path() const { return path_; }

  private:
    std::string dir_;
    std::string path_;
};

constexpr win::DWORD kSmall = 4;

} // namespace

std::string SummaryInfo(const std::uint8_t* data, std::size_t size) {
    static PackageFile file;
    if (!file.write(data, size))
        return "cannot write the package file " + file.path();
    const WString path = FromUtf8(file.path());

    win::MSIHANDLE summary = 0;
    if (win::MsiGetSummaryInformationW(0, path.c_str(), 0, &summary) != win::ERROR_SUCCESS)
        return summary == 0 ? std::string() : "a failed open hands out a handle";
    if (summary == 0)
        return "a successful open hands out no handle";

    win::UINT type = 0;
    int intValue = 0;
    win::FILETIME time{};
    std::vector<win::WCHAR> small(kSmall, u'#');
    win::DWORD length = kSmall;
    const win::UINT first = win::MsiSummaryInfoGetPropertyW(summary, win::PID_TEMPLATE, &type,
                                                            &intValue, &time, small.data(), &length);
    std::string problem;
    if (first == win::ERROR_SUCCESS) {
        if (type != host::kVtI2 && type != host::kVtI4 && type != host::kVtFiletime &&
            (length >= kSmall || small[length] != u'\0'))
            problem = "a text that fits is not terminated after its length";
    } else if (first == win::ERROR_MORE_DATA) {
        if (length < kSmall || small[kSmall - 1] != u'\0')
            problem = "a text that does not fit is not cut and terminated";
        else {
            std::vector<win::WCHAR> large(length + 1, u'#');
            win::DWORD room = length + 1;
            const win::UINT second = win::MsiSummaryInfoGetPropertyW(
                summary, win::PID_TEMPLATE, &type, &intValue, &time, large.data(), &room);
            if (second != win::ERROR_SUCCESS)
                problem = "the length the first read asked for is not enough";
            else if (room != length || large[room] != u'\0')
                problem = "the second read's length differs from the first's";
            else if (WString(large.data(), kSmall - 1) != WString(small.data(), kSmall - 1))
                problem = "the cut text is not the start of the whole text";
        }
    } else {
        problem = "reading the template fails with " + std::to_string(first);
    }
    if (win::MsiCloseHandle(summary) != win::ERROR_SUCCESS)
        return "closing the summary handle fails";
    if (win::MsiCloseHandle(summary) != win::ERROR_INVALID_HANDLE)
        return "a closed handle can be closed again";
    return problem;
}

std::string SummaryStream(const std::uint8_t* data, std::size_t size) {
    host::SummaryInformation info;
    std::string error;
    if (!host::ParseSummaryInformation(data, size, info, error))
        return error.empty() ? "a rejected stream without a reason" : std::string();
    (void)info.text(host::kPidTemplate);
    return {};
}

} // namespace fuzz
