// The results the framework stand-in answers, as the framework's calls return them.
#pragma once

#include "platform/winbio_types.h"

namespace winbio {

inline constexpr HRESULT kOk = 0;
inline constexpr HRESULT kInvalidHandle = static_cast<HRESULT>(0x80070006u);   // E_HANDLE
inline constexpr HRESULT kOutOfMemory = static_cast<HRESULT>(0x8007000Eu);     // E_OUTOFMEMORY
inline constexpr HRESULT kInvalidArgument = static_cast<HRESULT>(0x80070057u); // E_INVALIDARG
inline constexpr HRESULT kNullPointer = static_cast<HRESULT>(0x80004003u);     // E_POINTER
inline constexpr HRESULT kAccessDenied = static_cast<HRESULT>(0x80070005u);    // E_ACCESSDENIED
// The framework's service is not running on this machine.
inline constexpr HRESULT kServiceDisabled = static_cast<HRESULT>(0x80070422u);

}  // namespace winbio
