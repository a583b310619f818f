#include "payload/ExtractPatch.h"

#include <cstring>
#include <vector>

#include "launcher/ProcessState.h"
#include "launcher/Resources.h"
#include "messages/ResourceLanguage.h"
#include "payload/UniqueFile.h"

namespace {

constexpr win::DWORD kTempPathCapacity = 1024;
constexpr char16_t kTempPrefix[] = u"MSP";

bool TemporaryDirectory(WString& directory) {
    std::vector<win::WCHAR> buffer(kTempPathCapacity);
    const win::DWORD length = win::GetTempPathW(kTempPathCapacity, buffer.data());
    if (length == 0 || length > kTempPathCapacity)
        return false;
    directory.assign(buffer.data(), length < kTempPathCapacity ? length : kTempPathCapacity - 1);
    return true;
}

bool FullPath(const WString& path, WString& full) {
    win::DWORD needed = win::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return false;
    std::vector<win::WCHAR> buffer(needed);
    const win::DWORD length = win::GetFullPathNameW(path.c_str(), needed, buffer.data(), nullptr);
    if (length == 0 || length >= needed)
        return false;
    full.assign(buffer.data(), length);
    return true;
}

WString DirectoryOf(const WString& fullPath) {
    const size_t slash = fullPath.find_last_of(u"\\/");
    return slash == WString::npos ? WString() : fullPath.substr(0, slash + 1);
}

LoadedResource FindPackage() {
    return LoadResourceForThread(g_hInstance, RT_MSP, IDR_MSP);
}

bool ReadBackMatches(const FileHandle& reader, const LoadedResource& package) {
    constexpr win::DWORD kChunk = 1 << 20;
    std::vector<unsigned char> buffer(kChunk);
    const auto* expected = static_cast<const unsigned char*>(package.data);
    win::DWORD offset = 0;
    while (offset < package.size) {
        const win::DWORD want = package.size - offset < kChunk ? package.size - offset : kChunk;
        win::DWORD got = 0;
        if (win::ReadFile(reader.get(), buffer.data(), want, &got, nullptr) == 0 || got != want)
            return false;
        if (std::memcmp(buffer.data(), expected + offset, want) != 0)
            return false;
        offset += want;
    }
    // Nothing may follow the package.
    win::DWORD extra = 0;
    unsigned char probe = 0;
    return win::ReadFile(reader.get(), &probe, 1, &extra, nullptr) != 0 && extra == 0;
}

// Opens the copy for reading, denying others write and delete access, and checks that it still
// holds the package: between closing our writer and opening the guard, nothing else may have
// got in.
bool GuardCopy(const WString& path, const LoadedResource& package, FileHandle& writer,
               FileHandle& guard) {
    // The writer holds write access, so the first reader must share writing.
    FileHandle bridge(win::CreateFileW(path.c_str(), win::GENERIC_READ,
                                       win::FILE_SHARE_READ | win::FILE_SHARE_WRITE, nullptr,
                                       win::OPEN_EXISTING, win::FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!bridge.valid())
        return false;
    if (!writer.reset())
        return false;
    // Fails while anybody else holds the copy open for writing.
    FileHandle reader(win::CreateFileW(path.c_str(), win::GENERIC_READ, win::FILE_SHARE_READ,
                                       nullptr, win::OPEN_EXISTING, win::FILE_ATTRIBUTE_NORMAL,
                                       nullptr));
    if (!reader.valid())
        return false;
    bridge.reset();
    if (!ReadBackMatches(reader, package))
        return false;
    guard = std::move(reader);
    return true;
}

bool ExtractToTemporaryFile(WString& path, FileHandle* guard) {
    WString directory;
    if (!TemporaryDirectory(directory))
        return false;
    // Created here, exclusively, so the name is ours from the moment it is chosen.
    FileHandle writer = CreateUniqueFile(directory, kTempPrefix, win::GENERIC_WRITE,
                                         win::FILE_SHARE_READ, win::FILE_ATTRIBUTE_TEMPORARY, path);
    if (!writer.valid())
        return false;
    const LoadedResource package = FindPackage();
    const bool written =
        package.status == ResourceStatus::Loaded &&
        WriteWhole(writer, package.data, package.size) &&
        (guard == nullptr ? writer.reset() : GuardCopy(path, package, writer, *guard));
    if (!written) {
        LastErrorKeeper keep;
        writer.reset();
        if (guard != nullptr)
            guard->reset();
        win::DeleteFileW(path.c_str());
    }
    return written;
}

// Writes beside the target and replaces it only once the whole package is there.
bool ExtractToNamedFile(const WString& path) {
    const LoadedResource package = FindPackage();
    if (package.status != ResourceStatus::Loaded)
        return false;
    WString target;
    if (!FullPath(path, target))
        return false;
    WString partial;
    FileHandle writer = CreateUniqueFile(DirectoryOf(target), kTempPrefix, win::GENERIC_WRITE, 0,
                                         win::FILE_ATTRIBUTE_NORMAL, partial);
    if (!writer.valid())
        return false;
    const bool written =
        WriteWhole(writer, package.data, package.size) &&
        win::FlushFileBuffers(writer.get()) != 0 && writer.reset() &&
        win::MoveFileExW(partial.c_str(), target.c_str(),
                         win::MOVEFILE_REPLACE_EXISTING | win::MOVEFILE_WRITE_THROUGH) != 0;
    if (!written) {
        LastErrorKeeper keep;
        writer.reset();
        win::DeleteFileW(partial.c_str());
    }
    return written;
}

} // namespace

bool ExtractPatch(WString& path) {
    if (!path.empty())
        return ExtractToNamedFile(path);
    return ExtractToTemporaryFile(path, nullptr);
}

bool ExtractPatch(WString& path, FileHandle& guard) {
    guard.reset();
    if (!path.empty())
        return ExtractToNamedFile(path);
    return ExtractToTemporaryFile(path, &guard);
}
