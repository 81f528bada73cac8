// The clipboard of the system, for the program's own registered formats.
#pragma once

#include <windows.h>

#include <string>

namespace vx {

// The number of the clipboard format with that name for this session;
// registering the same name again gives the same number.
UINT RegisterClipboardFormatName(const std::string& name);

// Replaces the clipboard's content by a copy of block under format, in a
// movable, shareable global memory block that then belongs to the
// clipboard. The clipboard is opened for owner. Raises vx::Exception with
// the system's reason when the memory cannot be allocated, the clipboard
// cannot be opened or does not take the block.
void PutBlockOnClipboard(HWND owner, UINT format, const std::string& block);

}  // namespace vx
