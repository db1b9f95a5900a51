#include "platform/heap.h"

#include <cstdlib>  // defines __GLIBC__ on the GNU C library

#ifdef __GLIBC__
#include <malloc.h>
#endif

void return_large_blocks_at_once() {
#ifdef __GLIBC__
  // A fixed threshold: blocks of 1 MB and more are mapped on their own and unmapped when freed. (Left to
  // itself, the library raises the threshold to the size of each large block freed.)
  mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
}
