#pragma once

// Background work runs behind the window's thread: when both want a processor, the
// window gets it first, so laying out a long list is not slowed by a save or by
// memory being handed back on another thread at the same moment. Alone, background
// work runs as fast as ever.
namespace ThreadPriority {

// Puts the calling thread behind threads of normal priority. Threads it starts
// inherit this.
void lowerCurrent();

} // namespace ThreadPriority
