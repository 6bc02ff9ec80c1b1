// Reading the backup drive's BitLocker state from the shell, the one call of
// the stick folder into the system. The shell, COM and property-system
// libraries are loaded from the system folder on first use (see
// common/system_library.h); the program imports none of them.
#pragma once

#include <functional>
#include <optional>

#include "common/windows_headers.h"
#include "text/wide_string.h"

#include <propidl.h>

// The value of the shell property System.Volume.BitLockerProtection of a
// drive's root ("E:\"), as Explorer reads it, without administrator rights.
// None when a library or function is missing, the property system does not
// know the name, the root cannot be parsed or the store holds no integer
// there (as under Wine). The key is asked of the property system by its
// name: the SDK headers do not carry it.
//   ("E:\") => 2 on a stick without BitLocker   ("Q:\", no such drive) => none
std::optional<int> ReadBitLockerProtection(const WideString& driveRoot);

// The integer a property value holds: a signed or unsigned integer of up to
// 32 bits that fits an int; none for every other type, VT_EMPTY included.
//   VT_I4 2 => 2   VT_UI4 6 => 6   VT_UI4 0xFFFFFFFF => none   VT_BSTR => none
std::optional<int> IntegerOfValue(const PROPVARIANT& value);

// The property key's lookup, made without COM first: a process's first COM
// start costs tens to hundreds of milliseconds (under Wine), and where the
// property system does not know the name there is nothing to open. Only
// when the lookup answers that COM is needed (CO_E_NOTINITIALIZED) is
// startCom called and the lookup made once more. Returns the last answer.
//   E_NOTIMPL => E_NOTIMPL, no COM   CO_E_NOTINITIALIZED, then S_OK => S_OK, COM started once
HRESULT LookUpWithComWhenNeeded(const std::function<HRESULT()>& lookup, const std::function<void()>& startCom);
