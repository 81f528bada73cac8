// The tool's texts go out as the files' bytes.
#pragma once

namespace vx::vxorder {

// Makes standard output and standard error write every byte unchanged
// (Windows would otherwise turn LF into CR LF). Safe to call more than once.
void SetBinaryOutput();

}  // namespace vx::vxorder
