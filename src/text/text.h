#ifndef KILN_TEXT_H
#define KILN_TEXT_H

// Copies the token at the start of src into out (always terminated, cut to
// whole characters that fit in capacity) and returns the token's full length
// in bytes. The token ends at the terminator, at a CR LF pair, or at the one
// character delim of delimLen bytes.
int GetToken(char* out, const char* src, const char* delim, int delimLen, int capacity);

// Index of the first occurrence of the patLen bytes of pat in the first
// bufLen bytes of buf, or -1.
int FindStr(const char* buf, int bufLen, const char* pat, int patLen);

// The complement encoding shared by the settings file and the log:
// every byte b becomes 255 - b, and applying it twice restores the text.
void ComplementBytes(char* data, int length);

#endif
