#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "firmware/Sha256.h"

namespace vorenta::test {
namespace {

std::string HashOf(std::string_view text) {
    Sha256 sha;
    sha.Update(text);
    return Sha256::Hex(sha.Finish());
}

std::string HashOf(const std::vector<std::uint8_t>& data) {
    Sha256 sha;
    sha.Update(data.data(), data.size());
    return Sha256::Hex(sha.Finish());
}

// The published test messages of the standard.
TEST(Sha256, PublishedVectors) {
    EXPECT_EQ(HashOf(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(HashOf("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(HashOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(HashOf("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmno"
                     "ijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu"),
              "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
}

TEST(Sha256, MillionLettersFedInUnevenPieces) {
    const std::vector<std::uint8_t> piece(997, 'a');
    Sha256 sha;
    std::size_t left = 1000000;
    for (std::size_t step = 1; left > 0; step = step % 997 + 1) {
        const std::size_t n = std::min(step, left);
        sha.Update(piece.data(), n);
        left -= n;
    }
    EXPECT_EQ(Sha256::Hex(sha.Finish()),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

// Lengths around the block end, where the padding needs one block or two.
TEST(Sha256, LengthsAroundTheBlockBoundary) {
    std::vector<std::uint8_t> counting(120);
    for (std::size_t i = 0; i < counting.size(); ++i) {
        counting[i] = static_cast<std::uint8_t>(i);
    }
    const std::vector<std::pair<std::size_t, std::string_view>> expected = {
        {55, "463eb28e72f82e0a96c0a4cc53690c571281131f672aa229e0d45ae59b598b59"},
        {56, "da2ae4d6b36748f2a318f23e7ab1dfdf45acdc9d049bd80e59de82a60895f562"},
        {63, "29af2686fd53374a36b0846694cc342177e428d1647515f078784d69cdb9e488"},
        {64, "fdeab9acf3710362bd2658cdc9a29e8f9c757fcf9811603a8c447cd1d9151108"},
        {65, "4bfd2c8b6f1eec7a2afeb48b934ee4b2694182027e6d0fc075074f2fabb31781"},
        {119, "da18797ed7c3a777f0847f429724a2d8cd5138e6ed2895c3fa1a6d39d18f7ec6"},
        {120, "f52b23db1fbb6ded89ef42a23ce0c8922c45f25c50b568a93bf1c075420bbb7c"}};
    for (const auto& [length, digest] : expected) {
        const std::vector<std::uint8_t> data(
            counting.begin(), counting.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_EQ(HashOf(data), digest) << length << " bytes in one piece";
        // Byte by byte must give the same.
        Sha256 sha;
        for (const std::uint8_t byte : data) {
            sha.Update(&byte, 1);
        }
        EXPECT_EQ(Sha256::Hex(sha.Finish()), digest) << length << " bytes one at a time";
    }
}

TEST(Sha256, StartsOverAfterFinishOrReset) {
    Sha256 sha;
    sha.Update("something else");
    sha.Finish();
    sha.Update("abc");
    EXPECT_EQ(Sha256::Hex(sha.Finish()),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // A stream dropped half way is forgotten by Reset.
    sha.Update("half a stream that is abandoned");
    sha.Reset();
    sha.Update("abc");
    EXPECT_EQ(Sha256::Hex(sha.Finish()),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

}  // namespace
}  // namespace vorenta::test
