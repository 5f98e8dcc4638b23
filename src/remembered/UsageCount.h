#pragma once

#include "core/WordUsage.h"
#include "remembered/PackedEntries.h"

// Counts every memory word of the rows into an empty usage table.
void countUses(const PackedEntries &rows, WordUsage *usage);
