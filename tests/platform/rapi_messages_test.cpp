// The cable's messages: fields written and read back, counts that would reach past a message,
// and a stream cut anywhere or carrying a length above the bound.
#include <gtest/gtest.h>

#include "rapi/rapi_messages.h"

#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Body(const std::vector<uint8_t> &framed) {
    return std::vector<uint8_t>(framed.begin() + 4, framed.end());
}

TEST(RapiMessages, FieldsReadBackAsWritten) {
    const std::vector<uint8_t> data = {0, 1, 0xFF};
    const std::vector<uint8_t> framed = MessageWriter()
                                            .U16(0xBEEF)
                                            .U32(0xDEADBEEF)
                                            .Text(u"\\Program Files\\P\u00e9nnakey")
                                            .Text(u"")
                                            .Bytes(data.data(), data.size())
                                            .Framed();
    ASSERT_EQ(framed.size(), 4u + 2 + 4 + 4 + 2 * 23 + 4 + 4 + 3);
    EXPECT_EQ(framed[0], framed.size() - 4) << "the length, little-endian, comes first";
    const std::vector<uint8_t> body = Body(framed);
    MessageReader reader(body.data(), body.size());
    uint16_t small = 0;
    uint32_t large = 0;
    std::u16string text, empty = u"x";
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(reader.U16(small) && reader.U32(large) && reader.Text(text) && reader.Text(empty) &&
                reader.Bytes(bytes));
    EXPECT_EQ(small, 0xBEEF);
    EXPECT_EQ(large, 0xDEADBEEFu);
    EXPECT_EQ(text, u"\\Program Files\\P\u00e9nnakey");
    EXPECT_EQ(empty, u"");
    EXPECT_EQ(bytes, data);
    EXPECT_TRUE(reader.Complete());
}

TEST(RapiMessages, CountsThatReachPastTheMessageFailEveryReadAfter) {
    // A text of 0x7FFFFFFF units in a message of eight bytes: nothing is allocated for it.
    const std::vector<uint8_t> body = {0xFF, 0xFF, 0xFF, 0x7F, 'a', 0, 'b', 0};
    MessageReader reader(body.data(), body.size());
    std::u16string text;
    EXPECT_FALSE(reader.Text(text));
    EXPECT_TRUE(text.empty());
    uint16_t value = 0;
    EXPECT_FALSE(reader.U16(value)) << "a failed read spoils the rest";
    EXPECT_FALSE(reader.Complete());

    const std::vector<uint8_t> exact = {2, 0, 0, 0, 'a', 0, 'b', 0};
    MessageReader fits(exact.data(), exact.size());
    EXPECT_TRUE(fits.Text(text));
    EXPECT_EQ(text, u"ab");
    EXPECT_TRUE(fits.Complete());
    const std::vector<uint8_t> oneShort = {3, 0, 0, 0, 'a', 0, 'b', 0, 'c'};
    MessageReader cut(oneShort.data(), oneShort.size());
    EXPECT_FALSE(cut.Text(text));

    const std::vector<uint8_t> blocks = {4, 0, 0, 0, 1, 2, 3};
    MessageReader block(blocks.data(), blocks.size());
    std::vector<uint8_t> bytes;
    EXPECT_FALSE(block.Bytes(bytes));
    MessageReader leftover(exact.data(), exact.size());
    uint32_t count = 0;
    EXPECT_TRUE(leftover.U32(count));
    EXPECT_FALSE(leftover.Complete()) << "bytes left over";
}

TEST(RapiMessages, TheFramerWaitsForWholeMessagesInAnyCut) {
    std::vector<uint8_t> stream;
    for (uint32_t i = 0; i < 3; ++i) {
        const std::vector<uint8_t> framed = MessageWriter().U32(i).Text(u"abc").Framed();
        stream.insert(stream.end(), framed.begin(), framed.end());
    }
    for (size_t piece = 1; piece <= stream.size(); ++piece) {
        MessageFramer framer;
        std::vector<uint32_t> seen;
        for (size_t at = 0; at < stream.size(); at += piece) {
            framer.Add(stream.data() + at, std::min(piece, stream.size() - at));
            std::vector<uint8_t> body;
            while (framer.Next(body) == MessageFramer::Result::message) {
                MessageReader reader(body.data(), body.size());
                uint32_t number = 0;
                std::u16string text;
                ASSERT_TRUE(reader.U32(number) && reader.Text(text) && reader.Complete());
                seen.push_back(number);
            }
        }
        EXPECT_EQ(seen, (std::vector<uint32_t>{0, 1, 2})) << "pieces of " << piece;
        EXPECT_EQ(framer.Pending(), 0u);
    }
}

TEST(RapiMessages, AMessageOnTheBoundPassesAndOneByteMoreSpoilsTheStream) {
    const std::vector<uint8_t> big(maxRapiMessage - 4, 7);
    const std::vector<uint8_t> framed = MessageWriter().Bytes(big.data(), big.size()).Framed();
    ASSERT_EQ(framed.size(), maxRapiMessage + 4u);
    MessageFramer framer;
    for (size_t at = 0; at < framed.size(); at += rapiReadChunk) {
        framer.Add(framed.data() + at, std::min(rapiReadChunk, framed.size() - at));
    }
    std::vector<uint8_t> body;
    EXPECT_EQ(framer.Next(body), MessageFramer::Result::message);
    EXPECT_EQ(body.size(), maxRapiMessage);

    const std::vector<uint8_t> over(maxRapiMessage - 3, 7);
    EXPECT_TRUE(MessageWriter().Bytes(over.data(), over.size()).Framed().empty())
        << "the writer makes no message above the bound";
    const uint8_t length[4] = {1, 0, 0x10, 0}; // the bound and one byte
    framer.Add(length, 4);
    EXPECT_EQ(framer.Next(body), MessageFramer::Result::bad);
    framer.Add(length, 4);
    EXPECT_EQ(framer.Next(body), MessageFramer::Result::bad) << "for good";
    EXPECT_EQ(framer.Pending(), 0u);
}

TEST(RapiMessages, MoreUnreadBytesThanOneMessageAndAChunkSpoilTheStream) {
    MessageFramer framer;
    const std::vector<uint8_t> chunk(rapiReadChunk, 0);
    // Lengths of zero are whole messages, but nobody took them out.
    size_t added = 0;
    while (added + chunk.size() <= maxRapiMessage + 4 + rapiReadChunk) {
        framer.Add(chunk.data(), chunk.size());
        added += chunk.size();
    }
    EXPECT_EQ(framer.Pending(), added);
    framer.Add(chunk.data(), chunk.size());
    std::vector<uint8_t> body;
    EXPECT_EQ(framer.Next(body), MessageFramer::Result::bad);
}

} // namespace
