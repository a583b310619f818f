// MessageBoxW: prints the box on standard error, records it (in this process and in the
// transcript) and answers IDOK at once, as if the user had pressed the button.
#include <cstdio>
#include <mutex>
#include <string>

#include "platform/Platform.h"
#include "platform/host/HostPlatform.h"
#include "platform/host/Transcript.h"

namespace {

constexpr int kIdOk = 1;
constexpr win::UINT kIconMask = 0x000000F0;

struct Boxes {
    std::mutex mutex;
    std::vector<host::MessageBoxRecord> shown;
};

Boxes& State() {
    static Boxes boxes;
    return boxes;
}

const char* IconName(win::UINT flags) {
    switch (flags & kIconMask) {
    case win::MB_ICONERROR: return "error";
    case win::MB_ICONINFORMATION: return "information";
    case 0: return "none";
    default: return "other";
    }
}

std::string Hex(win::UINT value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

} // namespace

namespace host {

std::vector<MessageBoxRecord> MessageBoxes() {
    Boxes& boxes = State();
    std::lock_guard<std::mutex> lock(boxes.mutex);
    return boxes.shown;
}

void ClearMessageBoxes() {
    Boxes& boxes = State();
    std::lock_guard<std::mutex> lock(boxes.mutex);
    boxes.shown.clear();
}

} // namespace host

namespace win {

int MessageBoxW(HWND, const WCHAR* text, const WCHAR* caption, UINT flags) {
    host::MessageBoxRecord record;
    record.caption = caption != nullptr ? caption : u"";
    record.text = text != nullptr ? text : u"";
    record.flags = flags;
    record.threadLocale = GetThreadLocale();

    const std::string captionUtf8 = ToUtf8(record.caption);
    const std::string textUtf8 = ToUtf8(record.text);
    std::fprintf(stderr, "--- message box: %s (icon %s, flags 0x%s, locale %u)\n%s\n---\n",
                 captionUtf8.c_str(), IconName(flags), Hex(flags).c_str(),
                 static_cast<unsigned>(record.threadLocale), textUtf8.c_str());
    host::AppendTranscriptRecord("box\t" + Hex(flags) + "\t" +
                                 std::to_string(record.threadLocale) + "\t" +
                                 host::EscapeTranscriptField(captionUtf8) + "\t" +
                                 host::EscapeTranscriptField(textUtf8));
    {
        Boxes& boxes = State();
        std::lock_guard<std::mutex> lock(boxes.mutex);
        boxes.shown.push_back(std::move(record));
    }
    return kIdOk;
}

} // namespace win
