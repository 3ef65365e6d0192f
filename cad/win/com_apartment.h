#pragma once
// ComApartment: joins the calling thread to a single-threaded COM apartment for the owner's lifetime.
// Every COM object of the link is used on that thread.

#include <windows.h>

#include "cad/win/com_error.h"

namespace korvena {

class ComApartment {
public:
    // Throws AutomationError when the thread is in a multithreaded apartment already.
    ComApartment() {
        const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (FAILED(hr)) throw ErrorFromHresult(hr);
    }
    ~ComApartment() { CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

}  // namespace korvena
