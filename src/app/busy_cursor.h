// The animated busy cursor that the copy action shows while it runs. It is
// stored in the program's resources ("crCursor_ajax03", type
// "RT_ANICURSOR") and loaded once, at the first Begin or End call; when it
// cannot be loaded the default cursor shows instead and nothing is reported.
#pragma once

#include <windows.h>

namespace vx {

// The number under which the busy cursor is kept in the cursor table.
constexpr int crBusyCursor = -4995;

void BeginBusyCursor();
void EndBusyCursor();

// The cursor the program's windows show instead of their own, or null for
// their own (the default state).
HCURSOR ApplicationCursor();

// Destroys the loaded cursor; called once at program end.
void FreeBusyCursor();

}  // namespace vx
