// The routines' exact call sequences and codes, over a scripted registry.
#include "policy/registry_routines.h"

#include <cstring>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_registry.h"
#include "portable/runtime_error.h"

namespace {

using portable::kErrorAccessDenied;
using portable::kErrorFileNotFound;
using portable::kErrorInvalidHandle;
using portable::kHKeyLocalMachine;
using portable::Variant;
using testing::ElementsAre;
using testing_support::RegAnswer;
using testing_support::ScriptedRegistry;

constexpr portable::RegHandle kKey = 0x1234;
const std::string kPath = "Software\\Tessaro Test";

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

class RegistryRoutinesTest : public testing::Test {
  protected:
    ScriptedRegistry api;
    policy::RegistryRoutines routines{api};

    Variant QueryWith(RegAnswer probe, RegAnswer read) {
        api.script = {{0, kKey}, probe, read, {0}};
        return routines.regQuery_A_Key(kHKeyLocalMachine, kPath, "v");
    }
};

TEST_F(RegistryRoutinesTest, KeyExistsIsDecidedByTheHandleAndEndsWithTheCloseCode) {
    // A failed open leaves handle 0, which is still closed: the close's code is what remains.
    api.script = {{kErrorFileNotFound, 0}};
    EXPECT_FALSE(routines.regDoes_Key_Exist(kHKeyLocalMachine, kPath));
    EXPECT_THAT(api.Sequence(), ElementsAre("Open", "Close"));
    EXPECT_EQ(0u, api.calls[1].handle);
    EXPECT_EQ(kErrorInvalidHandle, routines.lngRegResult);
    EXPECT_EQ(portable::RootKeyHandle(kHKeyLocalMachine), api.calls[0].handle);

    // A handle counts even when the code says otherwise.
    api.calls.clear();
    api.script = {{kErrorAccessDenied, kKey}, {0}};
    EXPECT_TRUE(routines.regDoes_Key_Exist(kHKeyLocalMachine, kPath));
    EXPECT_EQ(kKey, api.calls[1].handle);
    EXPECT_EQ(0, routines.lngRegResult);
}

TEST_F(RegistryRoutinesTest, QueryReadsDwordsAsNumbersAndTextUpToTheFirstNul) {
    const Variant number = QueryWith({0, 0, portable::kRegDword, {}, 4},
                                     {0, 0, portable::kRegDword, {0xFF, 0, 0, 0}, 4});
    ASSERT_TRUE(std::holds_alternative<std::int32_t>(number));
    EXPECT_EQ(255, std::get<std::int32_t>(number));
    EXPECT_EQ(4u, api.calls[2].size);  // the read asks for exactly four bytes
    EXPECT_THAT(api.Sequence(), ElementsAre("Open", "Query", "Query", "Close"));
    EXPECT_FALSE(api.calls[1].withBuffer);
    EXPECT_EQ(0, routines.lngRegResult);

    EXPECT_EQ(Variant(std::string("abc")), QueryWith({0, 0, portable::kRegSz, {}, 4},
                                                     {0, 0, 0, Bytes(std::string("abc\0", 4)), 4}));
    EXPECT_EQ(Variant(std::string("ab")),
              QueryWith({0, 0, portable::kRegSz, {}, 6},
                        {0, 0, 0, Bytes(std::string("ab\0cd\0", 6)), 6}));
    // Stored without a NUL: the whole buffer is the text.
    EXPECT_EQ(Variant(std::string("xyz")),
              QueryWith({0, 0, portable::kRegSz, {}, 3}, {0, 0, 0, Bytes("xyz"), 3}));
    EXPECT_EQ(Variant(std::string()), QueryWith({0, 0, portable::kRegSz, {}, 0}, {0, 0, 0, {}, 0}));
}

TEST_F(RegistryRoutinesTest, QueryReadsTextLongerThanSixteenBitPositions) {
    // Text values come from outside the program: a NUL past 32767 must not end it.
    std::string text(40000, 'a');
    auto stored = Bytes(text);
    stored.push_back(0);
    const auto size = static_cast<std::uint32_t>(stored.size());
    EXPECT_EQ(Variant(text),
              QueryWith({0, 0, portable::kRegSz, {}, size}, {0, 0, 0, stored, size}));
    EXPECT_EQ(size, api.calls[2].size);
}

TEST_F(RegistryRoutinesTest, EveryFailedOrUnreadableQueryIsTheEmptyText) {
    const Variant empty = std::string();
    // Key does not open: close of handle 0, nothing else.
    api.script = {{kErrorFileNotFound, 0}};
    EXPECT_EQ(empty, routines.regQuery_A_Key(kHKeyLocalMachine, kPath, "v"));
    EXPECT_THAT(api.Sequence(), ElementsAre("Open", "Close"));
    EXPECT_EQ(kErrorInvalidHandle, routines.lngRegResult);

    // Missing value: the probe reports no type, no read follows.
    api.calls.clear();
    api.script = {{0, kKey}, {kErrorFileNotFound}, {0}};
    EXPECT_EQ(empty, routines.regQuery_A_Key(kHKeyLocalMachine, kPath, "v"));
    EXPECT_THAT(api.Sequence(), ElementsAre("Open", "Query", "Close"));

    for (std::uint32_t type :
         {portable::kRegExpandSz, portable::kRegBinary, portable::kRegMultiSz, std::uint32_t{11}}) {
        api.calls.clear();
        api.script = {{0, kKey}, {0, 0, type, {}, 8}, {0}};
        EXPECT_EQ(empty, routines.regQuery_A_Key(kHKeyLocalMachine, kPath, "v")) << type;
        EXPECT_THAT(api.Sequence(), ElementsAre("Open", "Query", "Close"));
    }

    // The read itself fails (the value grew, access was lost): "" for both kinds.
    EXPECT_EQ(empty, QueryWith({0, 0, portable::kRegSz, {}, 4},
                               {portable::kErrorMoreData, 0, 0, Bytes("abcd"), 8}));
    EXPECT_EQ(empty, QueryWith({0, 0, portable::kRegDword, {}, 4}, {kErrorAccessDenied}));
    EXPECT_EQ(0, routines.lngRegResult);  // the closing call's code
}

TEST_F(RegistryRoutinesTest, WriteChoosesDwordForNumbersAndRoundsHalvesToEven) {
    struct Case {
        Variant data;
        std::int32_t stored;
    };
    const Case cases[] = {{std::int16_t{255}, 255},
                          {std::string("12"), 12},
                          {std::string(" -3 "), -3},
                          {std::string("2.5"), 2},
                          {std::string("3.5"), 4},
                          {std::string("1e3"), 1000},
                          {std::int32_t{-2147483647 - 1}, -2147483647 - 1}};
    for (const auto& c : cases) {
        api.calls.clear();
        api.script = {{0, kKey}, {0}, {0}};
        routines.regCreate_Key_Value(kHKeyLocalMachine, kPath, "v", c.data);
        ASSERT_THAT(api.Sequence(), ElementsAre("Create", "Set", "Close"));
        const auto& set = api.calls[1];
        EXPECT_EQ(portable::kRegDword, set.type);
        ASSERT_EQ(4u, set.data.size());
        std::int32_t stored;
        std::memcpy(&stored, set.data.data(), 4);
        EXPECT_EQ(c.stored, stored) << portable::ToText(c.data);
        EXPECT_EQ(kKey, set.handle);
    }
}

TEST_F(RegistryRoutinesTest, WriteStoresOtherTextTrimmedOfSpacesWithOneNul) {
    const std::pair<std::string, std::string> cases[] = {
        {"  abc ", std::string("abc\0", 4)},
        {"\tabc", std::string("\tabc\0", 5)},  // only spaces are trimmed
        {"", std::string("\0", 1)},
        {"   ", std::string("\0", 1)},
        {"0x10", std::string("0x10\0", 5)},
    };
    for (const auto& [text, bytes] : cases) {
        api.calls.clear();
        api.script = {{0, kKey}, {0}, {0}};
        routines.regCreate_Key_Value(kHKeyLocalMachine, kPath, "v", text);
        ASSERT_EQ(3u, api.calls.size());
        EXPECT_EQ(portable::kRegSz, api.calls[1].type) << text;
        EXPECT_EQ(Bytes(bytes), api.calls[1].data) << text;
    }
}

TEST_F(RegistryRoutinesTest, WriteOutOfRangeRaisesOverflowBeforeTouchingTheRegistry) {
    EXPECT_THROW(
        routines.regCreate_Key_Value(kHKeyLocalMachine, kPath, "v", std::string("2147483648")),
        portable::RuntimeError);
    EXPECT_TRUE(api.calls.empty());
}

TEST_F(RegistryRoutinesTest, FailedCreatePassesHandleZeroOnAndKeepsTheLastCode) {
    api.script = {{kErrorAccessDenied, 0}, {kErrorInvalidHandle}, {kErrorInvalidHandle}};
    routines.regCreate_Key_Value(kHKeyLocalMachine, kPath, "v", std::int16_t{255});
    EXPECT_THAT(api.Sequence(), ElementsAre("Create", "Set", "Close"));
    EXPECT_EQ(0u, api.calls[1].handle);
    EXPECT_EQ(0u, api.calls[2].handle);
    EXPECT_EQ(kErrorInvalidHandle, routines.lngRegResult);

    api.calls.clear();
    api.script = {{0, kKey}, {0}};
    routines.regCreate_A_Key(kHKeyLocalMachine, kPath);
    EXPECT_THAT(api.Sequence(), ElementsAre("Create", "Close"));
    EXPECT_EQ(kPath, api.calls[0].name);
}

TEST_F(RegistryRoutinesTest, DeleteValueOpensTwiceAndStopsWhenTheKeyDoesNotOpen) {
    api.script = {{0, kKey}, {0}, {0, kKey + 1}, {kErrorFileNotFound}, {0}};
    routines.regDelete_Sub_Key(kHKeyLocalMachine, kPath, "v");
    EXPECT_THAT(api.Sequence(), ElementsAre("Open", "Close", "Open", "DeleteValue", "Close"));
    EXPECT_EQ(kKey + 1, api.calls[3].handle);
    EXPECT_EQ("v", api.calls[3].name);
    EXPECT_EQ(0, routines.lngRegResult);

    api.calls.clear();
    api.script = {{kErrorFileNotFound, 0}};
    routines.regDelete_Sub_Key(kHKeyLocalMachine, kPath, "v");
    EXPECT_THAT(api.Sequence(), ElementsAre("Open", "Close"));
    EXPECT_EQ(kErrorInvalidHandle, routines.lngRegResult);
}

TEST_F(RegistryRoutinesTest, DeleteKeyAnswersTrueOnlyWhenTheSubkeyWasDeleted) {
    api.script = {{0, kKey}, {0}, {0, kKey}, {0}, {0}};
    EXPECT_TRUE(routines.regDelete_A_Key(kHKeyLocalMachine, kPath, "sub"));
    EXPECT_THAT(api.Sequence(), ElementsAre("Open", "Close", "Open", "DeleteKey", "Close"));
    EXPECT_EQ("sub", api.calls[3].name);

    api.calls.clear();
    api.script = {{0, kKey}, {0}, {0, kKey}, {kErrorAccessDenied}, {0}};
    EXPECT_FALSE(routines.regDelete_A_Key(kHKeyLocalMachine, kPath, "sub"));
    EXPECT_EQ(0, routines.lngRegResult);  // the close after the refusal

    api.calls.clear();
    api.script = {{kErrorFileNotFound, 0}};
    EXPECT_FALSE(routines.regDelete_A_Key(kHKeyLocalMachine, kPath, "sub"));
    EXPECT_THAT(api.Sequence(), ElementsAre("Open", "Close"));
}

TEST_F(RegistryRoutinesTest, ValueIsGoneOnlyWhenTheKeyDoesNotOpenOrTheValueIsNotFound) {
    api.script = {{kErrorFileNotFound, 0}};
    EXPECT_TRUE(routines.regValue_Is_Gone(kHKeyLocalMachine, kPath, "v"));
    api.script = {{0, kKey}, {kErrorFileNotFound}, {0}};
    EXPECT_TRUE(routines.regValue_Is_Gone(kHKeyLocalMachine, kPath, "v"));
    api.script = {{0, kKey}, {0, 0, portable::kRegDword, {}, 4}, {0}};
    EXPECT_FALSE(routines.regValue_Is_Gone(kHKeyLocalMachine, kPath, "v"));
    // A query that fails for another reason proves nothing: the value may still be there.
    api.script = {{0, kKey}, {kErrorAccessDenied}, {0}};
    EXPECT_FALSE(routines.regValue_Is_Gone(kHKeyLocalMachine, kPath, "v"));
}

}  // namespace
