#pragma once
// The application, its document and the document's utility object of the simulated CAD.
//   Application: Visible (get, put), Caption, Name, ActiveDocument (get; fails when no drawing is open)
//   Document:    Utility, SelectionSets, ModelSpace, Groups, Name (get); StartUndoMark, EndUndoMark
//                (call): the changes between them make one undo step (undo_history.h)
//   Utility:     Prompt(text) (call): the text goes to the command line as given

#include <memory>

#include "cadsim/model/sim_object.h"

namespace korvena::cadsim {

class ApplicationObject final : public SimObject {
public:
    explicit ApplicationObject(std::weak_ptr<SimState> state);

protected:
    unsigned AccessOf(Member member) const override;
    korvena::Variant DoGet(SimState& state, Member member,
                           const std::vector<korvena::Variant>& args) override;
    void DoPut(SimState& state, Member member, const korvena::Variant& value) override;
};

class DocumentObject final : public SimObject {
public:
    explicit DocumentObject(std::weak_ptr<SimState> state);

protected:
    unsigned AccessOf(Member member) const override;
    korvena::Variant DoGet(SimState& state, Member member,
                           const std::vector<korvena::Variant>& args) override;
    korvena::Variant DoCall(SimState& state, Member member,
                            const std::vector<korvena::Variant>& args) override;
};

class UtilityObject final : public SimObject {
public:
    explicit UtilityObject(std::weak_ptr<SimState> state);

protected:
    unsigned AccessOf(Member member) const override;
    korvena::Variant DoCall(SimState& state, Member member,
                            const std::vector<korvena::Variant>& args) override;
};

}  // namespace korvena::cadsim
