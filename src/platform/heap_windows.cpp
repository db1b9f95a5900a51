#include "platform/heap.h"

// The heap of Windows allocates each block above about 1 MB with its own pages and frees them with the
// block: there is nothing to change.
void return_large_blocks_at_once() {}
