#pragma once
// The standard streams as every run of plenum needs them.

namespace plenum {

// Standard output unbuffered, so progress characters and prompts show at once, also through
// a pipe; on Windows both output streams binary, so the bytes are the same as on Linux
// (a console shows a bare line feed as a new line, and tirasse reads one format).
void prepareConsoleStreams();

}  // namespace plenum
