// The Windows Installer's convention for handing a text to its caller: a buffer and an in/out
// length in characters (on the way in the room, terminator included; on the way back the
// characters of the value, terminator excluded).
#pragma once

#include "platform/Platform.h"

namespace host {

// 0 with the NUL-terminated value when it fits. 234 (ERROR_MORE_DATA) when it does not: the
// buffer then holds as much of the value as fits, NUL-terminated, and nothing past its end.
// A null buffer asks for the length only (0); a buffer without a length is invalid (87).
inline win::UINT CopyTextOut(const WString& value, win::WCHAR* buffer, win::DWORD* length) {
    if (length == nullptr)
        return buffer == nullptr ? win::ERROR_SUCCESS : win::ERROR_INVALID_PARAMETER;
    const win::DWORD room = *length;
    *length = static_cast<win::DWORD>(value.size());
    if (buffer == nullptr)
        return win::ERROR_SUCCESS;
    if (value.size() < room) {
        value.copy(buffer, value.size());
        buffer[value.size()] = u'\0';
        return win::ERROR_SUCCESS;
    }
    if (room > 0) {
        value.copy(buffer, room - 1);
        buffer[room - 1] = u'\0';
    }
    return win::ERROR_MORE_DATA;
}

} // namespace host
