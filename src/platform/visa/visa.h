#pragma once
// The VISA functions the instrument link calls, over the backends of
// visabackend.h. Signatures follow the VISA library; the formatted read
// viVScanf with "%t" takes the form viScanfBlock below.
//
// Handles: resource managers, instrument sessions and find lists are non-zero
// 32-bit handles; a closed or unknown handle gives VI_ERROR_INV_OBJECT.
// Time-outs: VI_ATTR_TMO_VALUE (default 2000 ms) bounds each viRead, viWrite
// and viScanfBlock, measured on appClock() (a virtual clock in tests).

#include "platform/visa/visatypes.h"

// Opens a new resource manager session.
ViStatus viOpenDefaultRM(ViSession *sesn);

// Searches the resources of every backend with a VISA expression
// ("?*INSTR", "(USB0|ASRL)?*INSTR", "USB?*INSTR"). On success *retCnt is the
// number found, the first description is in instrDesc (a buffer of
// VI_FIND_BUFLEN characters; NUL-terminated, cut to fit) and *findList
// serves the others to viFindNext. Nothing found: VI_ERROR_RSRC_NFOUND, *retCnt
// 0, *findList VI_NULL, instrDesc empty. A malformed expression:
// VI_ERROR_INV_EXPR. findList and retCnt may be null.
ViStatus viFindRsrc(ViSession sesn, ViConstString expr, ViFindList *findList, ViUInt32 *retCnt,
                    ViChar instrDesc[]);
// The next description of the find list; past the last: VI_ERROR_RSRC_NFOUND
// and an empty description.
ViStatus viFindNext(ViFindList findList, ViChar instrDesc[]);

// Opens a resource by name (matched without regard to case). Unknown name:
// VI_ERROR_RSRC_NFOUND; empty or null name: VI_ERROR_INV_RSRC_NAME. Lock modes
// are accepted and not enforced; openTimeout is not used. *vi is VI_NULL on failure.
ViStatus viOpen(ViSession sesn, ViConstRsrc rsrcName, ViAccessMode accessMode, ViUInt32 openTimeout,
                ViSession *vi);

// VI_ATTR_TMO_VALUE (ms, VI_TMO_IMMEDIATE, VI_TMO_INFINITE) on any instrument
// session; VI_ATTR_ASRL_BAUD on serial resources (VI_ERROR_NSUP_ATTR elsewhere,
// VI_ERROR_NSUP_ATTR_STATE for a rate the port cannot take).
ViStatus viSetAttribute(ViObject vi, ViAttr attr, ViAttrState value);
ViStatus viGetAttribute(ViObject vi, ViAttr attr, ViAttrState *value);

// Writes count bytes as one message; *retCount (may be null): the bytes written.
ViStatus viWrite(ViSession vi, ViConstBuf buf, ViUInt32 count, ViUInt32 *retCount);
// Reads at most count bytes; ends at the end of a message or at an LF on a serial
// resource (VI_SUCCESS), at count (VI_SUCCESS_MAX_CNT) or at the time-out
// (VI_ERROR_TMO). *retCount (may be null): the bytes stored.
ViStatus viRead(ViSession vi, ViBuf buf, ViUInt32 count, ViUInt32 *retCount);

// The formatted read "%t": reads up to the END indicator (the end of a
// message; an LF on a serial resource) and stores the first bufSize bytes into
// buf (no NUL is added); bytes beyond bufSize are read and dropped.
// VI_SUCCESS when the whole message fitted, VI_SUCCESS_MAX_CNT when bytes were
// dropped, VI_ERROR_TMO when no END came in time (what came is stored). Only
// the format "%t" is supported (VI_ERROR_NSUP_FMT otherwise). *retCount (may
// be null): the bytes stored.
ViStatus viScanfBlock(ViSession vi, ViConstString format, ViBuf buf, ViUInt32 bufSize, ViUInt32 *retCount);
// The same under the name the VISA library gives the formatted read.
inline ViStatus viVScanf(ViSession vi, ViConstString format, ViBuf buf, ViUInt32 bufSize,
                         ViUInt32 *retCount = nullptr)
{
    return viScanfBlock(vi, format, buf, bufSize, retCount);
}

// Device clear: discards unread replies in the device and the session.
ViStatus viClear(ViSession vi);
// Closes an instrument session, a find list, or a resource manager with every
// session and find list opened from it. VI_NULL: VI_WARN_NULL_OBJECT.
ViStatus viClose(ViObject vi);
