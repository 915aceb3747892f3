// Memory for a file read whole. A large one is asked of the system in huge pages where it
// has them (Linux): reading 200 MB into 4 KiB pages cost more in faults than the reading.
#pragma once

#include <cstddef>

// `size` bytes, or nullptr when they cannot be had. Released with releaseFileBuffer.
unsigned char* allocateFileBuffer(std::size_t size);
void releaseFileBuffer(unsigned char* bytes);
