#include "stick/protection_reading.h"

#include <climits>

#include "common/system_library.h"

#include <objbase.h>
#include <propsys.h>

namespace {

using KeyFromNameFunction = HRESULT(WINAPI*)(PCWSTR, PROPERTYKEY*);
using StoreFromParsingNameFunction = HRESULT(WINAPI*)(PCWSTR, IBindCtx*, GETPROPERTYSTOREFLAGS, REFIID, void**);
using InitializeFunction = HRESULT(WINAPI*)(LPVOID, DWORD);
using UninitializeFunction = void(WINAPI*)();
using ClearFunction = HRESULT(WINAPI*)(PROPVARIANT*);

constexpr wchar_t kPropertyName[] = L"System.Volume.BitLockerProtection";

// COM for the shell's property store on this thread, for as long as it
// lives; a thread that has COM already keeps it as it was.
class ComApartment {
public:
    ComApartment() {
        static const auto initialize = SystemFunction<InitializeFunction>(L"ole32.dll", "CoInitializeEx");
        initialized_ = initialize != nullptr && SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED));
    }
    ~ComApartment() {
        static const auto uninitialize = SystemFunction<UninitializeFunction>(L"ole32.dll", "CoUninitialize");
        if (initialized_ && uninitialize != nullptr) uninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialized_ = false;
};

// A property store, released when it goes.
class StoreOwner {
public:
    explicit StoreOwner(IPropertyStore* store) : store_(store) {}
    ~StoreOwner() {
        if (store_ != nullptr) store_->Release();
    }
    StoreOwner(const StoreOwner&) = delete;
    StoreOwner& operator=(const StoreOwner&) = delete;
    IPropertyStore* get() const { return store_; }

private:
    IPropertyStore* store_;
};

}  // namespace

std::optional<int> IntegerOfValue(const PROPVARIANT& value) {
    switch (value.vt) {
        case VT_I1:
            return value.cVal;
        case VT_UI1:
            return value.bVal;
        case VT_I2:
            return value.iVal;
        case VT_UI2:
            return value.uiVal;
        case VT_I4:
            return value.lVal;
        case VT_INT:
            return value.intVal;
        case VT_UI4:
            if (value.ulVal > static_cast<ULONG>(INT_MAX)) return std::nullopt;
            return static_cast<int>(value.ulVal);
        case VT_UINT:
            if (value.uintVal > static_cast<UINT>(INT_MAX)) return std::nullopt;
            return static_cast<int>(value.uintVal);
        default:
            return std::nullopt;
    }
}

HRESULT LookUpWithComWhenNeeded(const std::function<HRESULT()>& lookup, const std::function<void()>& startCom) {
    const HRESULT answer = lookup();
    if (answer != CO_E_NOTINITIALIZED) return answer;
    startCom();
    return lookup();
}

std::optional<int> ReadBitLockerProtection(const WideString& driveRoot) {
    static const auto keyFromName =
        SystemFunction<KeyFromNameFunction>(L"propsys.dll", "PSGetPropertyKeyFromName");
    static const auto storeFromParsingName =
        SystemFunction<StoreFromParsingNameFunction>(L"shell32.dll", "SHGetPropertyStoreFromParsingName");
    static const auto clear = SystemFunction<ClearFunction>(L"ole32.dll", "PropVariantClear");
    if (keyFromName == nullptr || storeFromParsingName == nullptr || clear == nullptr) return std::nullopt;
    PROPERTYKEY key = {};
    std::optional<ComApartment> apartment;
    const HRESULT known = LookUpWithComWhenNeeded([&] { return keyFromName(kPropertyName, &key); },
                                                  [&] { apartment.emplace(); });
    if (FAILED(known)) return std::nullopt;
    if (!apartment) apartment.emplace();
    IPropertyStore* opened = nullptr;
    const HRESULT found = storeFromParsingName(driveRoot.c_str(), nullptr, GPS_DEFAULT, IID_IPropertyStore,
                                               reinterpret_cast<void**>(&opened));
    const StoreOwner store(opened);
    if (FAILED(found) || store.get() == nullptr) return std::nullopt;
    PROPVARIANT value;
    PropVariantInit(&value);
    std::optional<int> answer;
    if (SUCCEEDED(store.get()->GetValue(key, &value))) answer = IntegerOfValue(value);
    clear(&value);
    return answer;
}
