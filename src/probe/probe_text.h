// The probes' work on texts already obtained from the platform.
#ifndef KILN_PROBE_TEXT_H
#define KILN_PROBE_TEXT_H

// Finds the first "http=" entry of a proxy text and takes its numeric host
// (into hostOut, room for 1024 bytes) and its port. 1 on success; on 0
// neither output is written.
int ParseSysProxyText(const char* proxy, char* hostOut, int* portOut);

// Makes the size bytes that a registry query put into out (capacity bytes of
// room) a terminated text. Data that already ends in a zero byte is kept as
// it is; data without one is terminated after its last byte when there is
// room. 0 when there is none: out then holds no text of the value.
int TerminateRegText(char* out, unsigned long size, unsigned long capacity);

#endif
