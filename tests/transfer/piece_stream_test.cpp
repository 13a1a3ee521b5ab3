#include "transfer/piece_stream.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace upd {
namespace {

TEST(PieceStream, CutsBlocksOfAnySizeIntoPiecesOf512Bytes) {
    std::vector<std::string> pieces;
    PieceStream stream([&](const char* data, qsizetype size) {
        pieces.emplace_back(data ? std::string(data, static_cast<size_t>(size)) : std::string());
        return true;
    });
    std::string all;
    for (int i = 0; i < 3000; ++i)
        all += static_cast<char>('a' + i % 26);
    // Blocks that do not line up with the pieces: 100, 1000, 700, 1200 bytes.
    size_t offset = 0;
    for (size_t block : {100u, 1000u, 700u, 1200u}) {
        ASSERT_TRUE(stream.push(all.data() + offset, static_cast<qsizetype>(block)));
        offset += block;
    }
    ASSERT_TRUE(stream.finish());

    ASSERT_EQ(pieces.size(), 7u); // five of 512, the rest of 440, the empty end
    std::string joined;
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(pieces[i].size(), 512u);
        joined += pieces[i];
    }
    EXPECT_EQ(pieces[5].size(), 440u);
    EXPECT_TRUE(pieces[6].empty());
    EXPECT_EQ(joined + pieces[5], all);
}

TEST(PieceStream, StopsAtTheFirstRefusedPiece) {
    int calls = 0;
    PieceStream stream([&](const char*, qsizetype) { return ++calls < 2; });
    const std::string block(4096, 'x');
    EXPECT_FALSE(stream.push(block.data(), 4096));
    EXPECT_EQ(calls, 2);
}

} // namespace
} // namespace upd
