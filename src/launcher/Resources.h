// Names of the resources the executable carries (ids: resource.h, shared with the script).
#pragma once

#include "resource.h"

inline constexpr char16_t IDR_MSP[] = u"IDR_MSP";
inline constexpr char16_t RT_MSP[] = u"MSP";
inline constexpr char16_t RT_TXT[] = u"TXT";
