#pragma once

// Makes the pictures compiled into the window library available. A static library's
// resources are not registered by themselves; calling this more than once is harmless.
void loadNumbrillResources();
