#include "firmware/Sha256.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorenta {
namespace {

std::string HashOf(std::string_view text) {
    Sha256 hash;
    hash.Update(text);
    return Sha256::Hex(hash.Finish());
}

TEST(Sha256, KnownVectors) {
    EXPECT_EQ(HashOf(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(HashOf("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 56 bytes: the length no longer fits the first block's padding.
    EXPECT_EQ(HashOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(
        HashOf("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopq"
               "klmnopqrlmnopqrsmnopqrstnopqrstu"),
        "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
    EXPECT_EQ(HashOf(std::string(1000000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Sha256, PiecesOfAnySizeGiveTheDigestOfTheWhole) {
    std::vector<std::uint8_t> data(1000);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(i * 31 + 7);
    }
    Sha256 whole;
    whole.Update(data.data(), data.size());
    const Sha256::Digest expected = whole.Finish();
    for (const std::size_t piece : {1U, 3U, 63U, 64U, 65U, 999U}) {
        Sha256 hash;
        for (std::size_t at = 0; at < data.size(); at += piece) {
            hash.Update(data.data() + at, std::min(piece, data.size() - at));
        }
        EXPECT_EQ(hash.Finish(), expected) << "pieces of " << piece;
    }
    whole.Reset();
    whole.Update(data.data(), data.size());
    EXPECT_EQ(whole.Finish(), expected) << "after Reset";
}

}  // namespace
}  // namespace vorenta
