#include <sys/stat.h>

#include <chrono>
#include <filesystem>

#include "tests/firmware/FirmwareFixture.h"

namespace vorenta {
namespace {

namespace fs = std::filesystem;
using PageImageTest = FirmwareFilesTest;

constexpr char kCaption[] = "Firmware Update Error";

Bytes Pattern(std::size_t length) {
    Bytes bytes(length);
    for (std::size_t i = 0; i < length; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    return bytes;
}

TEST_F(PageImageTest, CopiesWholePagesPaddedWithFF) {
    Bytes endsInFF = Pattern(300);
    std::fill(endsInFF.begin() + 250, endsInFF.end(), 0xFF);
    Bytes lastPageAllFF = Pattern(512);
    std::fill(lastPageAllFF.begin() + 256, lastPageAllFF.end(), 0xFF);

    for (const Bytes& firmware : {Pattern(0), Pattern(1), Pattern(255), Pattern(256), Pattern(257),
                                  Pattern(512), endsInFF, lastPageAllFF}) {
        SCOPED_TRACE(firmware.size());
        WriteBytes(dlg.programDir + "fw.bin", firmware);
        ASSERT_EQ(dlg.BuildPageImage("fw.bin"), 1);

        Bytes expected = firmware;
        expected.resize((firmware.size() + 255) / 256 * 256, 0xFF);
        EXPECT_EQ(ReadBytes(image), expected);
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(PageImageTest, LongerOldImageIsReplacedWhole) {
    WriteBytes(image, Bytes(4096, 0xAA));
    WriteBytes(dlg.programDir + "fw.bin", {0x12});
    ASSERT_EQ(dlg.BuildPageImage("fw.bin"), 1);
    Bytes expected(256, 0xFF);
    expected[0] = 0x12;
    EXPECT_EQ(ReadBytes(image), expected);
}

TEST_F(PageImageTest, SourceThatCannotBeOpenedRemovesOldImageBeforeItsMessage) {
    fs::create_directory(dlg.programDir + "folder");
    ASSERT_EQ(::mkfifo((dlg.programDir + "fifo").c_str(), 0600), 0);

    for (const std::string name : {"missing.bin", "", "folder", "fifo"}) {
        SCOPED_TRACE(name);
        WriteBytes(image, Bytes(512, 0x55));
        bool imageGoneAtMessage = false;
        null.window.onMessageBox = [&](const MemoryWindowHost::Box&) {
            imageGoneAtMessage = !fs::exists(image);
        };
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(dlg.BuildPageImage(name), 0);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        ASSERT_FALSE(Boxes().empty());
        EXPECT_EQ(Boxes().back().text, "Unable to open the firmware file.");
        EXPECT_EQ(Boxes().back().caption, kCaption);
        EXPECT_EQ(Boxes().back().icon, MessageIcon::None);
        EXPECT_TRUE(imageGoneAtMessage);
    }
}

TEST_F(PageImageTest, PlantedLinkIsNeitherFollowedNorRemoved) {
    const std::string target = root + "/victim";
    WriteText(target, "precious data");
    fs::create_symlink(target, image);
    WriteBytes(dlg.programDir + "fw.bin", Pattern(300));

    EXPECT_EQ(dlg.BuildPageImage("fw.bin"), 0);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "Unable to create the temporary firmware file.");
    EXPECT_EQ(Boxes()[0].caption, kCaption);
    EXPECT_EQ(Boxes()[0].icon, MessageIcon::None);

    // Removing the image, as a cancel or a missing source does, leaves it too.
    dlg.DeletePageImage();
    dlg.BuildPageImage("missing.bin");
    EXPECT_TRUE(fs::is_symlink(image));
    EXPECT_EQ(ReadBytes(target),
              Bytes({'p', 'r', 'e', 'c', 'i', 'o', 'u', 's', ' ', 'd', 'a', 't', 'a'}));

    // A dangling link must not create its target either.
    fs::remove(image);
    fs::create_symlink(root + "/created-through-link", image);
    EXPECT_EQ(dlg.BuildPageImage("fw.bin"), 0);
    EXPECT_FALSE(fs::exists(root + "/created-through-link"));
}

TEST_F(PageImageTest, ImageHeldByAnotherIsNotTruncated) {
    WriteBytes(image, Bytes(512, 0x55));
    const auto holder = files.real.Open(image, OpenMode::ReadWriteExisting);
    ASSERT_TRUE(holder);
    WriteBytes(dlg.programDir + "fw.bin", Pattern(10));

    EXPECT_EQ(dlg.BuildPageImage("fw.bin"), 0);
    EXPECT_EQ(Boxes().back().text, "Unable to create the temporary firmware file.");
    EXPECT_EQ(ReadBytes(image), Bytes(512, 0x55));
}

TEST_F(PageImageTest, InputOutputErrorLeavesNoImage) {
    FaultyFileSystem::Faults diskFull, flushFails, readFails;
    diskFull.writeLimit = 512;
    flushFails.flushFails = true;
    readFails.readFails = true;
    struct Case {
        FaultyFileSystem::Faults source;
        FaultyFileSystem::Faults image;
        const char* message;
    };
    const Case cases[] = {
        {{}, diskFull, "Unable to write the temporary firmware file."},
        {{}, flushFails, "Unable to write the temporary firmware file."},
        {readFails, {}, "Unable to read the firmware file."},
    };
    const std::string source = dlg.programDir + "fw.bin";
    WriteBytes(source, Pattern(1000));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        files.faults = {{source, c.source}, {image, c.image}};
        EXPECT_EQ(dlg.BuildPageImage("fw.bin"), 0);
        ASSERT_FALSE(Boxes().empty());
        EXPECT_EQ(Boxes().back().text, c.message);
        EXPECT_EQ(Boxes().back().caption, kCaption);
        EXPECT_FALSE(fs::exists(image));
    }
}

TEST_F(PageImageTest, PageCountMismatchIsReportedUnderTheApplicationName) {
    const std::string source = dlg.programDir + "fw.bin";
    WriteBytes(source, Pattern(600));
    // The file was 100 bytes long when measured, then grew.
    files.faults[source].length = 100;

    EXPECT_EQ(dlg.BuildPageImage("fw.bin"), 0);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text,
              "Invalid binary output file: \n    Number of pages required = 1\n"
              "    Number of pages written = 3");
    EXPECT_EQ(Boxes()[0].caption, "VorentaUpdate");
    EXPECT_EQ(Boxes()[0].icon, MessageIcon::None);
    EXPECT_EQ(ReadBytes(image).size(), 768u);
}

}  // namespace
}  // namespace vorenta
