#pragma once
// The common start of the two output processor programs (gewinnstatistik-pdfproc,
// gewinnstatistik-printproc), which lie beside the module; the spooler starts them without
// arguments when a job is waiting and no processor holds its lock.
//
//     PROGRAM [--spool DIR] [--once] [--opener PROGRAM] [--poll-ms N] [--idle-seconds N]
//
// --spool: the spool directory (default SPOOLER beside the program); --once: handle the waiting
// jobs once and end (scripts, tests); --opener: the program that opens an "autopdf" PDF (default
// xdg-open; "" never opens); --poll-ms / --idle-seconds: the pause between polls and the idle time
// after which the processor ends by itself (default 1000 ms, 600 s).
// SIGTERM or SIGINT ends it within a second: the job being drawn is abandoned whole and stays for
// the next start; a job whose output is done is still removed.
// Exit status: 0 after a normal end (close request, idle time, signal, --once), 1 when another copy
// holds the lock, 2 for a bad command line; with --once, 3 when a job failed (see the log).
#include "spool/ProcessorContract.h"

namespace gs {

int ProcessorMain(int argc, char** argv, ProcessorKind kind);

} // namespace gs
