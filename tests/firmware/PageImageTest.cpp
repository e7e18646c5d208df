#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

// Everything in a folder, by name.
std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(PageImageTest, CopiesWholePagesPaddedWithFF) {
    Bytes endsInFF = Pattern(300);
    std::fill(endsInFF.begin() + 250, endsInFF.end(), 0xFF);
    Bytes lastPageAllFF = Pattern(512);
    std::fill(lastPageAllFF.begin() + 256, lastPageAllFF.end(), 0xFF);

    for (const Bytes& firmware : {Pattern(0), Pattern(1), Pattern(255), Pattern(256), Pattern(257),
                                  Pattern(512), endsInFF, lastPageAllFF}) {
        SCOPED_TRACE(firmware.size());
        WriteBytes(dlg.firmware.programDir + "fw.bin", firmware);
        ASSERT_EQ(dlg.pageImage.BuildPageImage("fw.bin"), 1);

        Bytes expected = firmware;
        expected.resize((firmware.size() + 255) / 256 * 256, 0xFF);
        EXPECT_EQ(ReadBytes(Image()), expected);
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(PageImageTest, ImageLivesInAPrivateFolderOfItsSessionUntilDeleted) {
    WriteBytes(dlg.firmware.programDir + "fw.bin", Pattern(4096));
    ASSERT_EQ(dlg.pageImage.BuildPageImage("fw.bin"), 1);
    const fs::path image = Image();
    const fs::path folder = image.parent_path();
    EXPECT_EQ(image.filename(), "Hex.tmp");
    EXPECT_EQ(folder.parent_path().string() + "/", dlg.pageImage.tempDir);
    EXPECT_EQ(folder.filename().string().rfind("vorenta-session-", 0), 0u);
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    ASSERT_EQ(::stat(image.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    // Held for the session: nobody else gets it for exclusive use.
    EXPECT_FALSE(files.real.Open(image, OpenMode::ReadExisting));

    // A rebuild stays in the same folder and replaces the longer image whole.
    WriteBytes(dlg.firmware.programDir + "fw.bin", {0x12});
    ASSERT_EQ(dlg.pageImage.BuildPageImage("fw.bin"), 1);
    EXPECT_EQ(Image(), image.string());
    Bytes expected(256, 0xFF);
    expected[0] = 0x12;
    EXPECT_EQ(ReadBytes(image), expected);

    dlg.pageImage.DeletePageImage();
    EXPECT_EQ(Image(), "");
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_TRUE(Entries(dlg.pageImage.tempDir).empty());
}

TEST_F(PageImageTest, SourceThatCannotBeOpenedRemovesOldImageBeforeItsMessage) {
    fs::create_directory(dlg.firmware.programDir + "folder");
    ASSERT_EQ(::mkfifo((dlg.firmware.programDir + "fifo").c_str(), 0600), 0);
    WriteBytes(dlg.firmware.programDir + "fw.bin", Pattern(512));

    for (const std::string name : {"missing.bin", "", "folder", "fifo"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(dlg.pageImage.BuildPageImage("fw.bin"), 1);
        const std::string image = Image();
        bool imageGoneAtMessage = false;
        null.window.onMessageBox = [&](const MemoryWindowHost::Box&) {
            imageGoneAtMessage = !fs::exists(image);
        };
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(dlg.pageImage.BuildPageImage(name), 0);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        ASSERT_FALSE(Boxes().empty());
        EXPECT_EQ(Boxes().back().text, "Unable to open the firmware file.");
        EXPECT_EQ(Boxes().back().caption, kCaption);
        EXPECT_EQ(Boxes().back().icon, MessageIcon::None);
        EXPECT_TRUE(imageGoneAtMessage);
        null.window.onMessageBox = nullptr;
    }
}

TEST_F(PageImageTest, NothingOutsideTheSessionFolderIsTouched) {
    // The firmware named as "Hex.tmp" in the temporary folder itself, a link
    // of that name planted beside it, and another session's folder.
    const std::string firmware = dlg.pageImage.tempDir + "Hex.tmp";
    WriteBytes(firmware, Pattern(300));
    const std::string victim = root + "/victim";
    WriteText(victim, "precious data");
    fs::create_directory(dlg.pageImage.tempDir + "planted");
    fs::create_symlink(victim, dlg.pageImage.tempDir + "planted/Hex.tmp");
    NativeFileSystem other;
    const auto otherSession = other.CreateSessionFolder(dlg.pageImage.tempDir);
    ASSERT_TRUE(otherSession);
    const auto otherImage = otherSession->CreateFile("Hex.tmp");
    ASSERT_TRUE(otherImage);
    const Bytes otherBytes{9, 9, 9};
    ASSERT_EQ(otherImage->Write(otherBytes.data(), otherBytes.size()), 3);

    ASSERT_EQ(dlg.pageImage.BuildPageImage("../temp/Hex.tmp"), 1);
    Bytes expected = Pattern(300);
    expected.resize(512, 0xFF);
    EXPECT_EQ(ReadBytes(Image()), expected);
    dlg.pageImage.DeletePageImage();
    EXPECT_EQ(dlg.pageImage.BuildPageImage("missing.bin"), 0);  // removes "an old image" too

    EXPECT_EQ(ReadBytes(firmware), Pattern(300));
    EXPECT_TRUE(fs::is_symlink(dlg.pageImage.tempDir + "planted/Hex.tmp"));
    EXPECT_EQ(ReadBytes(victim),
              Bytes({'p', 'r', 'e', 'c', 'i', 'o', 'u', 's', ' ', 'd', 'a', 't', 'a'}));
    EXPECT_EQ(ReadBytes(otherSession->Path() + "Hex.tmp"), otherBytes);
}

TEST_F(PageImageTest, TwoSessionsBuildTheirOwnImagesSideBySide) {
    CPLSM_UpdateDlg second{null.Platform(), preferredPort, "VorentaUpdate"};
    second.firmware.programDir = dlg.firmware.programDir;
    second.pageImage.tempDir = dlg.pageImage.tempDir;
    WriteBytes(dlg.firmware.programDir + "a.bin", Pattern(700));
    WriteBytes(dlg.firmware.programDir + "b.bin", Bytes(300, 0x42));

    ASSERT_EQ(dlg.pageImage.BuildPageImage("a.bin"), 1);
    ASSERT_EQ(second.pageImage.BuildPageImage("b.bin"), 1);
    EXPECT_NE(Image(), second.pageImage.PageImagePath());
    Bytes a = Pattern(700);
    a.resize(768, 0xFF);
    Bytes b(512, 0xFF);
    std::fill_n(b.begin(), 300, 0x42);
    EXPECT_EQ(ReadBytes(Image()), a);
    EXPECT_EQ(ReadBytes(second.pageImage.PageImagePath()), b);

    // One session's end leaves the other's image alone.
    second.pageImage.DeletePageImage();
    EXPECT_EQ(ReadBytes(Image()), a);
    EXPECT_EQ(Entries(dlg.pageImage.tempDir).size(), 1u);
}

TEST_F(PageImageTest, NoFolderForTheImageIsReportedAsNotCreatedWithTheFolderAndWhy) {
    WriteBytes(dlg.firmware.programDir + "fw.bin", Pattern(10));
    WriteBytes(root + "/a-file", Pattern(1));
    const struct {
        std::string folder;
        std::string why;
    } cases[] = {
        {root + "/no-such-folder/", "No such file or directory"},
        {root + "/a-file/", "Not a directory"},
        {"relative/tmp/", "it is not an absolute path"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        dlg.pageImage.tempDir = c.folder;
        EXPECT_EQ(dlg.pageImage.BuildPageImage("fw.bin"), 0);
        ASSERT_FALSE(Boxes().empty());
        // The usual line first, then the folder and the reason below it.
        EXPECT_EQ(Boxes().back().text,
                  "Unable to create the temporary firmware file.\n\n"
                  "The temporary folder " +
                      c.folder + " cannot be used: " + c.why + ".");
        EXPECT_EQ(Boxes().back().caption, kCaption);
        EXPECT_EQ(Boxes().back().icon, MessageIcon::None);
    }
    EXPECT_FALSE(fs::exists(root + "/no-such-folder"));
    EXPECT_FALSE(fs::exists("relative"));
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
    const std::string source = dlg.firmware.programDir + "fw.bin";
    WriteBytes(source, Pattern(1000));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        files.faults = {{source, c.source}, {"Hex.tmp", c.image}};
        EXPECT_EQ(dlg.pageImage.BuildPageImage("fw.bin"), 0);
        ASSERT_FALSE(Boxes().empty());
        EXPECT_EQ(Boxes().back().text, c.message);
        EXPECT_EQ(Boxes().back().caption, kCaption);
        EXPECT_EQ(Image(), "");
        EXPECT_TRUE(Entries(dlg.pageImage.tempDir).empty());
    }
}

TEST_F(PageImageTest, PageCountMismatchIsReportedUnderTheApplicationName) {
    const std::string source = dlg.firmware.programDir + "fw.bin";
    WriteBytes(source, Pattern(600));
    // The file was 100 bytes long when measured, then grew.
    files.faults[source].length = 100;

    EXPECT_EQ(dlg.pageImage.BuildPageImage("fw.bin"), 0);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text,
              "Invalid binary output file: \n    Number of pages required = 1\n"
              "    Number of pages written = 3");
    EXPECT_EQ(Boxes()[0].caption, "VorentaUpdate");
    EXPECT_EQ(Boxes()[0].icon, MessageIcon::None);
    EXPECT_EQ(ReadBytes(Image()).size(), 768u);
}

TEST_F(PageImageTest, AFirmwareFileOfUnknownIdentityIsNotTakenForAChangedOne) {
    const std::string source = dlg.firmware.programDir + "fw.bin";
    WriteBytes(source, Pattern(600));
    files.faults[source].identityUnknown = true;
    dlg.firmware.firmwareFileName = "fw.bin";
    ASSERT_EQ(dlg.firmware.CheckFirmwareFile(), 1);
    ASSERT_EQ(dlg.pageImage.BuildPageImage("fw.bin"), 1);
    const std::string image = Image();

    // Unknown is not changed: the image built is sent, without a rebuild or a refusal.
    EXPECT_EQ(dlg.pageImage.RefreshPageImage(), 1);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Image(), image);
    EXPECT_EQ(dlg.pageImage.PageCount(), 3u);
}

TEST_F(PageImageTest, AFirmwareFileTooLargeToSendIsRefusedBeforeAnythingIsCopied) {
    const std::string source = dlg.firmware.programDir + "fw.bin";
    constexpr std::uint64_t kMost = std::uint64_t{16} << 20;  // 65,536 pages
    // Sparse, so the test writes nothing of its size.
    WriteBytes(source, {});
    fs::resize_file(source, std::uint64_t{3} << 30);
    for (const std::uint64_t length : {std::uint64_t{3} << 30, kMost + 1}) {
        SCOPED_TRACE(length);
        fs::resize_file(source, length);
        EXPECT_EQ(dlg.pageImage.BuildPageImage("fw.bin"), 0);
        ASSERT_FALSE(Boxes().empty());
        EXPECT_EQ(Boxes().back().text,
                  "The firmware file is too large to send: " + std::to_string(length) +
                      " bytes; the module takes at most 16777216 bytes (65536 pages).");
        EXPECT_EQ(Boxes().back().caption, kCaption);
        EXPECT_EQ(Image(), "");
        EXPECT_TRUE(Entries(dlg.pageImage.tempDir).empty());  // not even a folder made
    }
    const std::size_t boxes = Boxes().size();
    fs::resize_file(source, kMost);
    EXPECT_EQ(dlg.pageImage.BuildPageImage("fw.bin"), 1);
    EXPECT_EQ(Boxes().size(), boxes);
    EXPECT_EQ(dlg.pageImage.PageCount(), 65536u);
}

TEST_F(PageImageTest, AStopRequestEndsTheCopyAndLeavesNoImage) {
    const std::string source = dlg.firmware.programDir + "fw.bin";
    WriteBytes(source, Pattern(256 * 100));
    int asked = 0;
    dlg.pageImage.stopRequested = [&asked] { return ++asked > 10; };
    EXPECT_EQ(dlg.pageImage.BuildPageImage("fw.bin"), 0);
    EXPECT_LT(asked, 100);  // it did not go on to the end
    EXPECT_EQ(Image(), "");
    EXPECT_TRUE(Entries(dlg.pageImage.tempDir).empty());
    // The operator's own stop needs no message; the cancellation says it.
    EXPECT_TRUE(Boxes().empty());

    dlg.pageImage.stopRequested = [] { return false; };
    EXPECT_EQ(dlg.pageImage.BuildPageImage("fw.bin"), 1);
    EXPECT_EQ(dlg.pageImage.PageCount(), 100u);
}

}  // namespace
}  // namespace vorenta
