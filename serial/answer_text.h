// The answer text of a serial read: each received byte as "%1X|" (upper-case
// hexadecimal without leading zero, then a bar). Shared by CKX4COMM and the
// in-process simulated link so both give the same results.
#pragma once

namespace kova {

// `buffer` holds `delivered` raw bytes of a read that asked for `requested`.
// Returns CKX4COMM_READ_ERROR (6) when nothing was delivered or the request
// was filled exactly, leaving `length` alone. Otherwise replaces the bytes by
// their terminated text, sets `length` and returns CKX4COMM_OK (0); a first
// byte 0x00 gives the empty text. The text plus terminator never exceeds
// `text_capacity` nor `requested`: it is cut after the last whole byte.
int RenderReadAnswer(unsigned char* buffer, unsigned long requested,
                     unsigned long delivered, unsigned long* length,
                     unsigned long text_capacity = 10000);

}  // namespace kova
