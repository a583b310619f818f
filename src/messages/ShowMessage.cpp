#include "messages/ShowMessage.h"

#include "launcher/ProcessState.h"
#include "launcher/Resources.h"
#include "messages/FormatMessageText.h"
#include "messages/LoadResString.h"

namespace {

constexpr int kStringCapacity = 256;
constexpr win::UINT kBoxFlags = win::MB_OK | win::MB_SETFOREGROUND | win::MB_TOPMOST;
constexpr win::UINT kErrorBox = kBoxFlags | win::MB_ICONERROR;
constexpr win::UINT kInformationBox = kBoxFlags | win::MB_ICONINFORMATION;

} // namespace

void ShowMessage(win::UINT id) {
    if (g_quiet)
        return;
    // First, before anything can change it: message 300 shows the caller's error.
    const win::DWORD savedError = win::GetLastError();

    WString text;
    WString caption = u"Error";
    LoadResString(g_hInstance, id, text, kStringCapacity);

    MessageArgument argument;
    win::UINT captionId = 0;
    win::UINT flags = kBoxFlags;
    switch (id) {
    case IDS_INSTALL_FAILED:
        argument.number = static_cast<std::int32_t>(savedError);
        captionId = IDS_CAPTION_ERROR;
        flags = kErrorBox;
        break;
    case IDS_INSTALL_SUCCEEDED:
        argument.text = g_messageProductName;
        captionId = IDS_CAPTION_SUCCESS;
        flags = kInformationBox;
        break;
    case IDS_ALREADY_UP_TO_DATE:
        argument.text = g_messageProductName;
        captionId = IDS_CAPTION_UNNECESSARY;
        flags = kErrorBox;
        break;
    case IDS_VERSION_NOT_SUPPORTED:
        argument.text = g_messageProductName;
        captionId = IDS_CAPTION_ERROR;
        flags = kErrorBox;
        break;
    case IDS_PRODUCT_NOT_FOUND:
    case IDS_BAD_COMMAND_LINE:
    case IDS_PATCH_LIST_REQUIRED:
        captionId = IDS_CAPTION_ERROR;
        flags = kErrorBox;
        break;
    default:
        break; // not in the catalogue: caption "Error", no icon
    }
    const WString formatted = FormatMessageText(text, argument);
    if (captionId != 0)
        LoadResString(g_hInstance, captionId, caption, kStringCapacity);
    win::MessageBoxW(nullptr, formatted.c_str(), caption.c_str(), flags);
}
