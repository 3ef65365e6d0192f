#include "app/module1.h"

namespace korvena::Module1 {

CadLink& Link() noexcept {
    // Built on first use and never destroyed: the references must not be released after the COM
    // apartment has closed, and the program ends through ExitProcess in any case.
    static CadLink* const link = new CadLink();
    return *link;
}

}  // namespace korvena::Module1
