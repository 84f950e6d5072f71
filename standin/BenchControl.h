#pragma once
// Control interface of the stand-in token module, for tests and demonstrations. The stand-in
// exports these next to "C_GetFunctionList" and "E_GetAuxFunctionList"; a test looks them up
// (GetProcAddress / dlsym) in the library the binding has loaded. The real module has none
// of them.
//
// Bench commands, one per line (the same language as the bench file, below):
//   reset                          16 slots, no tokens, no faults, no delays or hangs, no
//                                  pending events, empty journal, no last PKI record (the
//                                  initialised state stays)
//   default                        reset, then the default bench: one PKI token in slot 0 with
//                                  SO PIN "tamsel", user PIN "5820", label "Orbel"
//   slots <n>                      number of slots on the bench (default 16, at most 64)
//   insert <slot> [key=value ...]  plug a token in; queues one slot event (into an occupied slot:
//                                  the old token is pulled first, two events). Keys:
//        type=pki|blank|lock|<code>  hardware type (default pki)
//        so=<pin> user=<pin>         PINs (defaults tamsel / 5820); blank tokens have none
//        so-max=<n> so-left=<n> user-max=<n> user-left=<n>   retry limits and counters
//        label=<text>                UTF-8, no spaces (default Orbel)
//        serial=<16 hex> atr=<32 hex> cos=<major>.<minor> made=YY-MM-DD-hh-mm-ss
//        total=<bytes> public=<bytes> private=<bytes>
//        misbehave=<what>[,<what>...]  what the token gets wrong while answering CKR_OK:
//          label           E_InitPkiToken leaves the label as it was
//          init-flag       C_GetTokenInfo never shows CKF_TOKEN_INITIALIZED
//          user-pin        E_InitPkiToken leaves no user PIN (no CKF_USER_PIN_INITIALIZED)
//          user-pin-short  E_InitPkiToken keeps the user PIN without its last byte
//          so-pin-short    the same for the SO PIN
//          wipe            E_InitBlankToken checks the SO PIN but leaves the token as it was
//          pin-pad         C_GetTokenInfo shows CKF_PROTECTED_AUTHENTICATION_PATH (PINs on its keys)
//          label-suffix    C_GetTokenInfo shows " #1" after a label that is not empty
//          moves           C_InitToken moves the token to the next empty slot (pulled and plugged)
//          none            (the default)
//   remove <slot>                  pull the token out; queues one slot event (none if empty)
//   churn <slot> <count> [key=value ...]   queues <count> slot events (1 to 1000000) on the
//                                  slot, keys as for insert. Each changes the slot only when
//                                  C_WaitForSlotEvent hands it out: it pulls the token if one
//                                  is in, else plugs a fresh token of that description. So
//                                  the calls that follow an event see the state it announced,
//                                  and thousands of attempts need no waiting for the bench
//                                  file. Dropped like any pending event by reset and
//                                  C_Initialize.
//   fail <call> <code> [once|always] [skip=<n>]   force the result of a call (hex 0x.. or
//                                  decimal; default once), after the next n calls of that name
//                                  (default 0) went through as usual. A forced call does
//                                  nothing but answer that code.
//   delay <call> <ms> [slot=<n>] [serial=<16 hex>]
//                                  sleep that long inside every call of that name (0 ends it;
//                                  at most 600000), or only in those on that slot and/or that
//                                  token; calls that name no slot (C_GetSlotList, C_Initialize,
//                                  C_WaitForSlotEvent...) meet only a delay without slot= or
//                                  serial=, session calls the one of their session's slot. The
//                                  most specific delay or hang of a call applies (serial, then
//                                  slot, then none). The module's lock is free meanwhile: calls
//                                  on other tokens, and slot-less ones, go on. A later delay
//                                  or hang that changes which one applies to a sleeping call
//                                  (the same call and filter, or a more specific one),
//                                  clear-faults or reset ends the sleep at once, so a long
//                                  delay holds a call until the bench releases it
//   hang <call> [slot=<n>] [serial=<16 hex>]
//                                  such calls never return by themselves: they are held, lock
//                                  free, until released as a delay's sleep ends (above; from a
//                                  command or a line of the bench file) or until the process
//                                  ends. C_Finalize does not release them: a test running them
//                                  in its own process releases them before it finalises; a
//                                  station kills the process that hangs
//   clear-faults                   drop every forced result, delay and hang
//   clear-journal                  empty the journal
// <call> is a module entry point name: C_Initialize, C_Finalize, C_GetSlotList,
// C_WaitForSlotEvent, C_GetTokenInfo, C_OpenSession, C_CloseSession, C_CloseAllSessions,
// C_Login, C_Logout, E_GetDeviceInfo, E_InitBlankToken, E_InitPkiToken, ...
//
// Tokens: C_GetTokenInfo shows the label (space padded) and the flags of the token's state:
// a PKI token is initialised and needs a login, its user PIN is initialised when it has one,
// and each retry counter below its limit gives COUNT_LOW, at 1 FINAL_TRY, at 0 LOCKED.
// Sessions open on PKI tokens only and end when their token is pulled. C_Login checks the
// PIN as E_InitBlankToken does: length 4-32, then the lock, then the bytes; a wrong PIN costs
// one try, a right one gives them all back. Closing a token's last session logs it out.
// A '#' starts a comment; blank lines are ignored.
//
// Slot events are those since C_Initialize: it drops what was queued before, as a reader
// driver reports changes from its start on.
//
// Journal: one line per module call, in call order: the entry point's name, then key=value
// arguments, then "rv=0x%08lX", then what the call handed back. PIN values are never
// written, only their lengths. The journal keeps the latest 100000 lines.
//   C_GetSlotList present=1 count=10 rv=0x00000000 found=1
//   E_InitBlankToken slot=0 pinlen=6 rv=0x00000000
//   C_GetTokenInfo slot=0 rv=0x00000000 flags=1036
//   C_OpenSession slot=0 flags=6 rv=0x00000000 session=1
//   C_Login session=1 user=1 pinlen=4 rv=0x00000000
//
// Queries:
//   token <slot>       present=0|1 type=<code> so-left=<n> user-left=<n> so-max=<n>
//                      user-max=<n> label=<text> public=<n> private=<n>
//   last-pki-record    record=<hex of the PKI_INIT_PARAM bytes as received> label=<hex of
//                      the 33-byte label field> so-len=<n> user-len=<n>
//   initialized        0 or 1
//   events             number of pending slot events
//   waiting            number of C_WaitForSlotEvent calls blocked inside the module
//   held               number of calls held inside the module by a delay or hang
// Hexadecimal is upper-case; a PIN without a zero within 64 bytes has length -1. An unknown
// query, a slot that does not exist or no PKI record received yet give an empty answer.
//
// Across processes: the stand-in watches a bench file, "orbelcsp11-bench.txt" in the folder
// of the module itself, unless the environment variable VANTOR_BENCH_FILE names another.
// At its first call it runs every line of the file (the default bench when there is no file
// or it is empty); later it runs the complete lines appended to it, so an operator can plug
// and pull virtual tokens while the program runs (scripts/bench.sh appends them). It looks
// at the file at the start of every call, before that call's forced result or delay is
// taken, at every query, and every 200 ms while a wait blocks or a call is held; a file that
// has shrunk was replaced and is run again from its start.
//
// Several processes may share one bench file (a station runs one process per token), and all
// of them see the same tokens: while the file is there, a call that changes its token
// (initialisation, wipe, PINs, tries left, label, areas) appends the token's new state to the
// file as one line, in one write, before the call returns:
//   state <slot> serial=<16 hex> type=<n> so=<hex> user=<hex> so-max=<n> so-left=<n>
//         user-max=<n> user-left=<n> label=<hex> public=<n> private=<n>
// Every process (the writer too, which changes nothing by it) applies such a line when it
// reads it, without a slot event and only to the token with that serial in that slot. The
// PINs are in the line: the bench file is test equipment, like the PINs of its insert lines;
// they never go into the journal. Sessions, logins, slot events, the journal, forced results
// and delays stay each process's own, and so does a token moved by "misbehave=moves".
//
// When the environment variable VANTOR_JOURNAL_FILE names a file, every journal line is also
// appended to it as the call returns, one whole line per write, so a test driving the program
// as another process can read which calls were made, and several processes can share the file.
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

// Runs one command line (or several, separated by '\n'). Returns 0 when every one was
// understood and carried out, non-zero otherwise.
typedef int (*Bench_Command_t)(const char* line);
// Copies the journal (NUL-terminated) into buffer; returns its full length without the NUL.
typedef size_t (*Bench_ReadJournal_t)(char* buffer, size_t size);
// Answers a query into buffer (NUL-terminated); returns the full length without the NUL.
typedef size_t (*Bench_Query_t)(const char* query, char* buffer, size_t size);

#ifdef __cplusplus
}
#endif
