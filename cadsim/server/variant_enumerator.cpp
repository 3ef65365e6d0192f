#include "cadsim/server/variant_enumerator.h"

#include <algorithm>
#include <new>
#include <utility>

#include "cadsim/com/com_object.h"

namespace korvena::cadsim {
namespace {

using Microsoft::WRL::ComPtr;

class VariantEnumerator final : public korvena::ComObject<IEnumVARIANT> {
public:
    VariantEnumerator(std::shared_ptr<const std::vector<korvena::Variant>> items,
                      std::shared_ptr<const korvena::ObjectMapping> objects, std::size_t position)
        : items_(std::move(items)),
          objects_(std::move(objects)),
          position_(std::min(position, items_->size())) {}

    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override {
        if (fetched != nullptr) *fetched = 0;
        if (items == nullptr || (fetched == nullptr && count != 1)) return E_POINTER;
        for (ULONG i = 0; i < count; ++i) VariantInit(&items[i]);
        ULONG done = 0;
        try {
            for (; done < count && position_ < items_->size(); ++done, ++position_) {
                items[done] = korvena::ToComVariant((*items_)[position_], *objects_).Release();
            }
        } catch (...) {
            // Nothing is handed out from a batch that failed halfway; the next call starts it again.
            for (ULONG i = 0; i < done; ++i) VariantClear(&items[i]);
            position_ -= done;
            return E_OUTOFMEMORY;
        }
        if (fetched != nullptr) *fetched = done;
        return done == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        const std::size_t left = items_->size() - position_;
        const std::size_t skipped = std::min<std::size_t>(count, left);
        position_ += skipped;
        return skipped == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override {
        if (copy == nullptr) return E_POINTER;
        *copy = nullptr;
        try {
            *copy = NewVariantEnumerator(items_, objects_, position_).Detach();
            return S_OK;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }

private:
    std::shared_ptr<const std::vector<korvena::Variant>> items_;
    std::shared_ptr<const korvena::ObjectMapping> objects_;
    std::size_t position_;
};

}  // namespace

ComPtr<IEnumVARIANT> NewVariantEnumerator(std::shared_ptr<const std::vector<korvena::Variant>> items,
                                          std::shared_ptr<const korvena::ObjectMapping> objects,
                                          std::size_t position) {
    return korvena::MakeComObject<VariantEnumerator>(std::move(items), std::move(objects), position);
}

}  // namespace korvena::cadsim
