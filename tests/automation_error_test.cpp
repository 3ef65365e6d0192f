// The error vocabulary: every number has its own text, and a detail only ever follows that text.

#include "cad/automation_error.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace korvena {
namespace {

TEST(AutomationErrorVocabulary, EveryNumberHasOneTextOfItsOwnAndDetailsFollowIt) {
    const std::vector<AutomationError> plain{InvalidCall(),         Overflow(),          OutOfMemory(),
                                             SubscriptOutOfRange(), TypeMismatch(),      ObjectNotSet(),
                                             MemberNotSupported(),  WrongArgumentCount()};
    std::set<std::int32_t> numbers;
    std::set<std::wstring> texts;
    for (const AutomationError& error : plain) {
        EXPECT_FALSE(error.Description().empty()) << error.Number();
        numbers.insert(error.Number());
        texts.insert(error.Description());
    }
    EXPECT_EQ(numbers.size(), plain.size());
    EXPECT_EQ(texts.size(), plain.size());

    const std::vector<std::pair<AutomationError, AutomationError>> detailed{
        {InvalidCall(L"名称为空"), InvalidCall()},
        {TypeMismatch(L"需要实体对象数组"), TypeMismatch()},
        {MemberNotSupported(L"Elevation"), MemberNotSupported()}};
    for (const auto& [withDetail, without] : detailed) {
        EXPECT_EQ(withDetail.Number(), without.Number());
        EXPECT_TRUE(withDetail.Description().starts_with(without.Description() + L": "))
            << withDetail.Number();
    }
    EXPECT_EQ(
        MemberNotSupported(L"Elevation").Description().substr(MemberNotSupported().Description().size()),
        L": Elevation");
}

}  // namespace
}  // namespace korvena
