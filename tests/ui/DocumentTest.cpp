// The document's file operations: a failed open keeps everything the user had,
// a failed save says so, and the recent-file list keeps the four newest.
#include <sys/stat.h>

#include <QFileInfo>

#include "UiTestSupport.h"
#include "ui/CKelmDoc.h"

namespace kelm::test {
namespace {

class Document : public UiTest {
protected:
    Document() { NewRecord(state_); }

    SharedState state_;
    ScriptedPrompter prompter_;
    RecentFiles recent_;
    CKelmDoc doc_{state_, prompter_, recent_};
};

// The record fields a load writes, as one comparable value.
std::string Snapshot(const SharedState& s) {
    return SaveRecord(s) + std::to_string(s.display.decimalComma);
}

TEST_F(Document, OpensASavedRecordAndTakesItsName) {
    const QString path = WriteRecord("seven.kel", 7, MeasuredQuantity::Px);
    ASSERT_TRUE(doc_.Open(path));
    EXPECT_EQ(state_.record.pointCount, 7);
    EXPECT_EQ(state_.record.quantity, MeasuredQuantity::Px);
    EXPECT_EQ(state_.record.points[6].volume, 3.5);
    EXPECT_EQ(doc_.Title(), "seven.kel");
    EXPECT_TRUE(prompter_.messages.empty());
}

TEST_F(Document, ANewRecordIsUntitled) {
    ASSERT_TRUE(doc_.Open(WriteRecord("a.kel", 3)));
    ASSERT_TRUE(doc_.New());
    EXPECT_EQ(state_.record.pointCount, 0);
    EXPECT_TRUE(doc_.Path().isEmpty());
    EXPECT_EQ(doc_.Title(), "Безымянный");
}

// A damaged file shows the loader's message and keeps the open record, which
// still belongs to its own file: Save must not go to the damaged one.
TEST_F(Document, ADamagedFileKeepsTheOpenRecordAndItsFile) {
    const QString good = WriteRecord("good.kel", 6);
    ASSERT_TRUE(doc_.Open(good));
    const std::string before = Snapshot(state_);

    std::string zeroByte = RecordBytes(9);
    zeroByte[3] = '\0';  // inside the readable part, before the marker
    std::string truncated = RecordBytes(9, MeasuredQuantity::Ph, 1);
    truncated.resize(truncated.find(kRecordMarker) + 40);  // past the marker, inside the points
    const struct {
        std::string bytes;
        std::string message;
    } cases[] = {{zeroByte, "Нет данных для чтения"},
                 {truncated, "Unexpected file format."},
                 {"", "Unexpected file format."},
                 {"only readable text\r\n", "Unexpected file format."}};
    for (const auto& c : cases) {
        const QString damaged = Path("damaged.kel");
        WriteFile(damaged, c.bytes);
        prompter_.messages.clear();
        EXPECT_FALSE(doc_.Open(damaged)) << c.message;
        ASSERT_EQ(prompter_.messages.size(), 1u);
        const Message& m = prompter_.messages[0];
        EXPECT_EQ(std::tie(m.kind, m.caption, m.text), std::tie("error", "Kelm", c.message));
        EXPECT_EQ(Snapshot(state_), before) << c.message;
        EXPECT_EQ(doc_.Path(), good);
        EXPECT_EQ(doc_.Title(), "good.kel");
    }
}

TEST_F(Document, AFileThatCannotBeReadIsNamedInTheMessage) {
    const QString missing = Path("nowhere.kel");
    EXPECT_FALSE(doc_.Open(missing));
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].text,
              "Не удалось открыть файл «" + missing.toStdString() + "».");
    EXPECT_TRUE(recent_.Paths().isEmpty());
}

// What a file dialog or a command line can name besides a result file: each
// is refused at once with its reason, and the open record stays.
TEST_F(Document, APathThatIsNotAResultFileIsRefusedWithItsReason) {
    const QString good = WriteRecord("good.kel", 5);
    ASSERT_TRUE(doc_.Open(good));
    const std::string before = Snapshot(state_);
    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder"));
    ASSERT_EQ(::mkfifo(Path("pipe").toLocal8Bit().constData(), 0600), 0);  // nobody writes
    const struct {
        QString path;
        std::string text;
    } cases[] = {
        {Path("folder"),
         "Не удалось открыть файл «" + Path("folder").toStdString() + "»: это папка."},
        {"/dev/zero", "Не удалось открыть файл «/dev/zero»: это не файл, а устройство или канал."},
        {Path("pipe"), "Не удалось открыть файл «" + Path("pipe").toStdString() +
                           "»: это не файл, а устройство или канал."},
    };
    for (const auto& c : cases) {
        prompter_.messages.clear();
        EXPECT_EQ(doc_.OpenFile(c.path), CKelmDoc::OpenResult::Failed);
        ASSERT_EQ(prompter_.messages.size(), 1u);
        EXPECT_EQ(prompter_.messages[0].text, c.text);
        EXPECT_EQ(Snapshot(state_), before);
        EXPECT_EQ(doc_.Path(), good);
    }
}

// Saving replaces the file a link names, keeps a private file private, and
// says so when the place cannot take a file.
TEST_F(Document, SavingKeepsLinksAndPermissions) {
    ASSERT_TRUE(doc_.Open(WriteRecord("source.kel", 3)));
    const QString target = WriteRecord("target.kel", 1);
    ASSERT_TRUE(QFile::link(target, Path("link.kel")));
    ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner));
    ASSERT_TRUE(doc_.SaveTo(Path("link.kel")));
    EXPECT_TRUE(QFileInfo(Path("link.kel")).isSymLink());
    EXPECT_EQ(ReadFile(target), RecordBytes(3));
    EXPECT_EQ(QFile::permissions(target),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);

    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder"));
    EXPECT_FALSE(doc_.SaveTo(Path("folder")));
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].text,
              "Не удалось сохранить файл «" + Path("folder").toStdString() + "»: это папка.");
    EXPECT_EQ(doc_.Title(), "link.kel");
}

TEST_F(Document, SavingWritesTheRecordAndReopensIdentically) {
    ASSERT_TRUE(doc_.Open(WriteRecord("source.kel", 12, MeasuredQuantity::Ph)));
    const std::string before = Snapshot(state_);
    const QString copy = Path("copy.kel");
    ASSERT_TRUE(doc_.SaveTo(copy));
    EXPECT_EQ(doc_.Title(), "copy.kel");
    EXPECT_EQ(ReadFile(copy), SaveRecord(state_));

    ASSERT_TRUE(doc_.New());
    ASSERT_TRUE(doc_.Open(copy));
    EXPECT_EQ(Snapshot(state_), before);
}

TEST_F(Document, AFailedSaveSaysSoAndKeepsTheRecordsFile) {
    const QString good = WriteRecord("good.kel", 4);
    ASSERT_TRUE(doc_.Open(good));
    const QString unreachable = Path("no-such-folder/out.kel");
    EXPECT_FALSE(doc_.SaveTo(unreachable));
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].kind, "error");
    EXPECT_EQ(
        prompter_.messages[0].text,
        "Не удалось сохранить файл «" + unreachable.toStdString() + "». Файл на диске не изменён.");
    EXPECT_EQ(doc_.Path(), good);
    EXPECT_EQ(ReadFile(good), RecordBytes(4));
}

TEST_F(Document, SavingOverAFileReplacesItWhole) {
    const QString path = WriteRecord("target.kel", 30);
    ASSERT_TRUE(doc_.Open(WriteRecord("small.kel", 2)));
    ASSERT_TRUE(doc_.SaveTo(path));
    EXPECT_EQ(ReadFile(path), RecordBytes(2));
}

TEST_F(Document, TheRecentFileListHoldsTheFourNewest) {
    QStringList opened;
    for (int i = 1; i <= 5; ++i) {
        opened.append(WriteRecord(QStringLiteral("r%1.kel").arg(i), i));
        ASSERT_TRUE(doc_.Open(opened.last()));
    }
    EXPECT_EQ(recent_.Paths(), (QStringList{opened[4], opened[3], opened[2], opened[1]}));

    // Opening one again moves it to the top without a second entry.
    ASSERT_TRUE(doc_.Open(opened[2]));
    EXPECT_EQ(recent_.Paths(), (QStringList{opened[2], opened[4], opened[3], opened[1]}));

    // Saving under a new name counts as well.
    ASSERT_TRUE(doc_.SaveTo(Path("saved.kel")));
    EXPECT_EQ(recent_.Paths().first(), Path("saved.kel"));
    EXPECT_EQ(recent_.Paths().size(), RecentFiles::kSize);

    // The list lives in the profile, under the framework's key names.
    QSettings profile(kProfileOrganisation, kProfileApplication);
    EXPECT_EQ(profile.value("Recent File List/File1").toString(), Path("saved.kel"));
    EXPECT_EQ(profile.value("Recent File List/File4").toString(), opened[3]);
}

}  // namespace
}  // namespace kelm::test
