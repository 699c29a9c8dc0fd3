#pragma once
// Our own VISA types and status values, written from the values the VISA
// standard publishes. Only what the program uses is here.

#include <cstdint>

using ViUInt32 = std::uint32_t;
using ViInt32 = std::int32_t;
using ViUInt16 = std::uint16_t;
using ViInt16 = std::int16_t;
using ViUInt64 = std::uint64_t;
using ViByte = unsigned char;
using ViChar = char;
using ViBoolean = ViUInt16;

using ViStatus = ViInt32;     // negative: error; 0: success; positive: completion code or warning
using ViObject = ViUInt32;
using ViSession = ViObject;   // resource manager, instrument or find list handle
using ViFindList = ViObject;
using ViAttr = ViUInt32;
using ViAttrState = ViUInt64;
using ViAccessMode = ViUInt32;
using ViBuf = ViByte *;
using ViConstBuf = const ViByte *;
using ViString = ViChar *;
using ViConstString = const ViChar *;
using ViRsrc = ViString;
using ViConstRsrc = ViConstString;

constexpr ViObject VI_NULL = 0;
constexpr ViBoolean VI_TRUE = 1;
constexpr ViBoolean VI_FALSE = 0;

// Size of the description buffer handed to viFindRsrc and viFindNext.
constexpr ViUInt32 VI_FIND_BUFLEN = 256;

// Access modes of viOpen.
constexpr ViAccessMode VI_NO_LOCK = 0;
constexpr ViAccessMode VI_EXCLUSIVE_LOCK = 1;
constexpr ViAccessMode VI_SHARED_LOCK = 2;
constexpr ViAccessMode VI_LOAD_CONFIG = 4;

// Time-out values of VI_ATTR_TMO_VALUE (milliseconds otherwise).
constexpr ViUInt32 VI_TMO_IMMEDIATE = 0;
constexpr ViUInt32 VI_TMO_INFINITE = 0xFFFFFFFFu;

// Attributes.
constexpr ViAttr VI_ATTR_TMO_VALUE = 0x3FFF001Au;
constexpr ViAttr VI_ATTR_ASRL_BAUD = 0x3FFF0021u;

namespace visadetail {
constexpr ViStatus status(std::uint32_t v) { return static_cast<ViStatus>(v); }
} // namespace visadetail

// Completion codes.
constexpr ViStatus VI_SUCCESS = 0;
constexpr ViStatus VI_SUCCESS_TERM_CHAR = visadetail::status(0x3FFF0005u);
constexpr ViStatus VI_SUCCESS_MAX_CNT = visadetail::status(0x3FFF0006u);
constexpr ViStatus VI_WARN_NULL_OBJECT = visadetail::status(0x3FFF0082u);

// Errors.
constexpr ViStatus VI_ERROR_SYSTEM_ERROR = visadetail::status(0xBFFF0000u);
constexpr ViStatus VI_ERROR_INV_OBJECT = visadetail::status(0xBFFF000Eu);
constexpr ViStatus VI_ERROR_INV_SESSION = VI_ERROR_INV_OBJECT;
constexpr ViStatus VI_ERROR_RSRC_LOCKED = visadetail::status(0xBFFF000Fu);
constexpr ViStatus VI_ERROR_INV_EXPR = visadetail::status(0xBFFF0010u);
constexpr ViStatus VI_ERROR_RSRC_NFOUND = visadetail::status(0xBFFF0011u);
constexpr ViStatus VI_ERROR_INV_RSRC_NAME = visadetail::status(0xBFFF0012u);
constexpr ViStatus VI_ERROR_INV_ACC_MODE = visadetail::status(0xBFFF0013u);
constexpr ViStatus VI_ERROR_TMO = visadetail::status(0xBFFF0015u);
// The call was ended because the user abandoned the exchange (Stop,
// Disconnect, closing): nothing failed, and nothing is reported.
constexpr ViStatus VI_ERROR_ABORT = visadetail::status(0xBFFF0034u);
constexpr ViStatus VI_ERROR_NSUP_ATTR = visadetail::status(0xBFFF001Du);
constexpr ViStatus VI_ERROR_NSUP_ATTR_STATE = visadetail::status(0xBFFF001Eu);
constexpr ViStatus VI_ERROR_ALLOC = visadetail::status(0xBFFF003Cu);
constexpr ViStatus VI_ERROR_IO = visadetail::status(0xBFFF003Eu);
constexpr ViStatus VI_ERROR_INV_FMT = visadetail::status(0xBFFF003Fu);
constexpr ViStatus VI_ERROR_NSUP_FMT = visadetail::status(0xBFFF0041u);
constexpr ViStatus VI_ERROR_NSUP_OPER = visadetail::status(0xBFFF0067u);
constexpr ViStatus VI_ERROR_USER_BUF = visadetail::status(0xBFFF0071u);
constexpr ViStatus VI_ERROR_RSRC_BUSY = visadetail::status(0xBFFF0072u);
constexpr ViStatus VI_ERROR_INV_PARAMETER = visadetail::status(0xBFFF0078u);
constexpr ViStatus VI_ERROR_CONN_LOST = visadetail::status(0xBFFF00A6u);

// True for VI_SUCCESS and every completion code or warning (status >= 0).
constexpr bool viSucceeded(ViStatus s) { return s >= 0; }
