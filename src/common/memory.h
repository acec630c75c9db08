// Giving freed memory back to the system.
#pragma once

namespace plendrik {

// After a large short-lived working set (a whole catalogue's bytes and its pieces): the C library
// keeps freed heap pages for reuse, and a thread's own heap keeps them for as long as the
// program runs. Returns them where the library allows it; elsewhere does nothing.
void releaseFreedMemory();

} // namespace plendrik
