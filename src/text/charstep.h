// The one place where the input core touches the platform's text services:
// stepping a character of the ANSI code page, and formatting a text.
// On Windows these are CharNextA and wsprintfA; the host build, which has
// neither, steps code page 932 itself and formats with the C library.
#ifndef KILN_CHARSTEP_H
#define KILN_CHARSTEP_H

// Code page 932 stepping: a lead byte (0x81-0x9F, 0xE0-0xFC) takes the next
// byte when that byte is not the terminator. Built everywhere, so that a test
// can hold it against the platform's CharNextA.
const char* CharNext932(const char* p);

#ifdef _WIN32
#include <windows.h>
#define TextNext(p) CharNextA(p)
#define TextFormat wsprintfA
#else
#include <stdio.h>
#define TextNext(p) CharNext932(p)
#define TextFormat sprintf
#endif

#endif
