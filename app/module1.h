#pragma once
// Module1: what the whole program shares for its life. The CAD link (CadApp, CadDoc, CadUtility) is
// empty at start and refreshed by ConnectCad at the start of every command.

#include "cad/cad_link.h"

namespace korvena::Module1 {

// The program's one CadLink. Use it on the user-interface thread only.
CadLink& Link() noexcept;

}  // namespace korvena::Module1
