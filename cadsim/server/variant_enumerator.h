#pragma once
// VariantEnumerator: the IEnumVARIANT a served collection answers DISPID_NEWENUM with. It enumerates a
// snapshot of the collection's members taken when it was made; objects among them are handed out
// through the server's ObjectMapping, each a new reference that the receiver releases.

#include <windows.h>
#include <wrl/client.h>

#include <memory>
#include <vector>

#include "cad/variant.h"
#include "cad/win/com_variant.h"

namespace korvena::cadsim {

// A new enumerator over `items`, standing at `position`; `objects` maps the objects among them.
Microsoft::WRL::ComPtr<IEnumVARIANT> NewVariantEnumerator(
    std::shared_ptr<const std::vector<korvena::Variant>> items,
    std::shared_ptr<const korvena::ObjectMapping> objects, std::size_t position = 0);

}  // namespace korvena::cadsim
