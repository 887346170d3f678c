// What a dialog template of the program's resources says about its skin.
#pragma once

#include <cstddef>

#include "platform/win32/windows_headers.h"

namespace fon::win32 {

// The bitmap resource the first picture static (SS_BITMAP) of the extended
// dialog template `templateId` shows: the dialog's background. 0 when the
// template has none, is not an extended template or cannot be read.
int TemplateBackgroundBitmap(HINSTANCE instance, int templateId);

// The same, read from the template's bytes.
int TemplateBackgroundBitmap(const unsigned char* data, std::size_t size);

}  // namespace fon::win32
