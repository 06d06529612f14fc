// Heap buffers of exactly the size a function is given, so that the address
// sanitizer reports the first byte read or written past them.
#ifndef KILN_HOST_EXACT_H
#define KILN_HOST_EXACT_H

#include <memory>
#include <string>
#include <string.h>

typedef std::unique_ptr<char[]> Buffer;

// The bytes followed by one zero byte, and nothing after it.
inline Buffer ExactText(const std::string& bytes)
{
    Buffer b(new char[bytes.size() + 1]);
    memcpy(b.get(), bytes.data(), bytes.size());
    b[bytes.size()] = '\0';
    return b;
}

// The bytes alone, without a terminator.
inline Buffer ExactBytes(const std::string& bytes)
{
    Buffer b(new char[bytes.size()]);
    memcpy(b.get(), bytes.data(), bytes.size());
    return b;
}

inline Buffer Filled(size_t size, char fill)
{
    Buffer b(new char[size]);
    memset(b.get(), fill, size);
    return b;
}

#endif
