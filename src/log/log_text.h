// Forming a log entry, apart from writing it.
#ifndef KILN_LOG_TEXT_H
#define KILN_LOG_TEXT_H

// Formats the time stamp "Y/MM/DD hh:mm:ss  " into out (room for 1024
// bytes) and returns its length.
int FormatLogStamp(char* out, int year, int month, int day, int hour, int minute, int second);

// How many bytes of message an entry takes: the whole text when it is shorter
// than 1024 bytes, else its first 1023.
int LogMessageLength(const char* message);

#endif
