#pragma once

/// Makes large blocks of memory go back to the system as soon as they are freed, so that a process that
/// runs for long (the language server, which takes documents of many megabytes again and again) holds
/// what it uses rather than the most it ever used. The C library of Linux would otherwise serve blocks
/// of up to 32 MB from its heap once a large one was freed, and keep their pages; the heap of Windows
/// already gives each large block its own pages and frees them.
void return_large_blocks_at_once();
