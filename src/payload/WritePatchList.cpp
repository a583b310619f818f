#include "payload/WritePatchList.h"

#include <optional>

#include "installer/PatchTargets.h"
#include "launcher/ProcessState.h"
#include "launcher/Resources.h"
#include "messages/ResourceLanguage.h"
#include "messages/ShowMessage.h"
#include "payload/FileHandle.h"
#include "payload/PatchListName.h"
#include "payload/TemporaryPackage.h"

namespace {

constexpr char kSeparator[] = "*****\r\n";
constexpr char kEntryEnd[] = "\r\n";
constexpr unsigned kLastResourceId = 0xFFFF;

WString DefaultName() {
    std::optional<WString> targets;
    {
        TemporaryPackage copy;
        WString read;
        if (copy.written() && GetPatchTargets(copy.path(), read))
            targets = read;
    } // the copy is deleted before the file is opened
    return DefaultPatchListName(targets);
}

// Separator, block, CR LF, or nothing: a failed write cuts the file back to where the entry
// began, so the entries of other patches in a shared file stay intact.
bool AppendEntry(const FileHandle& file, const LoadedResource& block) {
    win::LONGLONG start = 0;
    if (win::SetFilePointerEx(file.get(), 0, &start, win::FILE_END) == 0)
        return false;
    if (WriteWhole(file, kSeparator, sizeof kSeparator - 1) &&
        WriteWhole(file, block.data, block.size) &&
        WriteWhole(file, kEntryEnd, sizeof kEntryEnd - 1))
        return true;
    LastErrorKeeper keep;
    if (win::SetFilePointerEx(file.get(), start, nullptr, win::FILE_BEGIN) != 0)
        win::SetEndOfFile(file.get());
    return false;
}

} // namespace

PatchListReport WritePatchList(WString& path) {
    PatchListReport report;
    if (path.empty())
        path = DefaultName();

    FileHandle file(win::CreateFileW(path.c_str(), win::GENERIC_READ | win::GENERIC_WRITE,
                                     win::FILE_SHARE_READ, nullptr, win::OPEN_ALWAYS,
                                     win::FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        ShowMessage(IDS_PATCH_LIST_REQUIRED);
        return report;
    }
    report.opened = true;

    for (unsigned id = IDR_PATCHINFO_FIRST; id <= kLastResourceId; ++id) {
        const LoadedResource block =
            LoadResourceForThread(g_hInstance, RT_TXT, static_cast<win::WORD>(id));
        if (block.status == ResourceStatus::NotFound) {
            if (id == IDR_PATCHINFO_FIRST)
                ShowMessage(IDS_PATCH_LIST_REQUIRED);
            break;
        }
        if (block.status == ResourceStatus::Unreadable) {
            ShowMessage(IDS_INSTALL_FAILED);
            break;
        }
        if (AppendEntry(file, block))
            ++report.entriesAppended;
    }
    return report;
}
