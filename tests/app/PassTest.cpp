// SPDX-License-Identifier: MIT
#include "Fakes.h"
#include "Paths.h"
#include "Pump.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <utime.h>

namespace {

const QString kSeparator(123, QLatin1Char('-'));

QStringList Header(const QString& source, const QString& fixed)
{
    return { QStringLiteral("Start repair process ..."), kSeparator,
        QStringLiteral("File to be repaired: ") + source, QStringLiteral("Fixed file: ") + fixed, kSeparator,
        QStringLiteral("Pass 1: Reading the damaged file..."), kSeparator };
}

class PassTest : public ::testing::Test {
protected:
    T_mainForm& form() { return box.form(); }
    QString chooseFile(const QString& name, const QByteArray& content)
    {
        box.start();
        QString path = box.files.write(name, content);
        box.choose(path);
        return path;
    }
    Sandbox box;
};

TEST_F(PassTest, FileWithDataCompletePassAndOffer)
{
    const QByteArray content = QByteArray("AB") + QByteArray(50000, 'A');
    const QString source = chooseFile(QStringLiteral("report.doc"), content);
    QString captionDuringOffer;
    bool busyDuringOffer = true;
    box.dialogs.onModal = [&] {
        busyDuringOffer = !form().FileAdvEdit->isEnabled();
        captionDuringOffer = form().StartBitBtn->text();
    };
    form().StartBitBtnClick();

    QStringList expected = Header(source, form().FixedFile);
    expected << QStringLiteral("No data to recover detected") << kSeparator
             << QStringLiteral("Repair process finished");
    EXPECT_EQ(box.log(), expected);
    EXPECT_EQ(box.waiter.calls, 101);
    EXPECT_EQ(form().AdvProgress->value(), 100);
    EXPECT_EQ(box.dialogs.modalShown, 1);
    EXPECT_FALSE(busyDuringOffer);
    EXPECT_EQ(captionDuringOffer, QStringLiteral("Start Repair"));
    EXPECT_TRUE(box.dialogs.errorBoxes.isEmpty());
    EXPECT_EQ(form().StartBitBtn->text(), QStringLiteral("Start Repair"));
    EXPECT_TRUE(form().ChangeLabel->isEnabled());
    EXPECT_TRUE(form().BrowseLabel->isEnabled());
    EXPECT_FALSE(form().OpenLabel->isEnabled());
}

struct NothingCase {
    const char* name;
    QByteArray content;
    QString line;
};

TEST_F(PassTest, NothingToRepairShowsLineThenBoxWhileBusy)
{
    const QString zero = QStringLiteral("Your file is zero sized. No data in it and nothing to repair");
    const QString empty = QStringLiteral("Your file is empty. No data in it and nothing to repair");
    const NothingCase cases[] = {
        { "zero", QByteArray(), zero },
        { "one byte", QByteArray("x"), empty },
        { "zeros then data", QByteArray(40960, '\0') + QByteArray("data after the head"), empty },
        { "one value, short", QByteArray(100, '\x7f'), empty },
    };
    for (const NothingCase& c : cases) {
        const QString source = chooseFile(QStringLiteral("f.bin"), c.content);
        QString captionAtBox;
        QString lastLineAtBox;
        box.dialogs.errorBoxes.clear();
        box.dialogs.modalShown = 0;
        box.dialogs.onErrorBox = [&] {
            captionAtBox = form().StartBitBtn->text();
            lastLineAtBox = box.log().constLast();
        };
        form().StartBitBtnClick();
        QStringList expected = Header(source, form().FixedFile);
        expected << c.line << kSeparator << QStringLiteral("Repair process finished");
        EXPECT_EQ(box.log(), expected) << c.name;
        EXPECT_EQ(box.dialogs.errorBoxes, QStringList { c.line + QLatin1Char('.') }) << c.name;
        EXPECT_EQ(captionAtBox, QStringLiteral("Stop")) << c.name;
        EXPECT_EQ(lastLineAtBox, c.line) << c.name;
        EXPECT_EQ(box.dialogs.modalShown, 0) << c.name;
        EXPECT_EQ(form().StartBitBtn->text(), QStringLiteral("Start Repair")) << c.name;
    }
}

TEST_F(PassTest, SecondByteDiffers)
{
    chooseFile(QStringLiteral("two.bin"), QByteArray("ab"));
    form().StartBitBtnClick();
    EXPECT_EQ(box.log().value(7), QStringLiteral("No data to recover detected"));
    EXPECT_EQ(box.dialogs.modalShown, 1);
}

TEST_F(PassTest, StopPostedDuringThePumpLeavesTheBar)
{
    const QString source = chooseFile(QStringLiteral("report.doc"), QByteArray("AB"));
    box.waiter.onStep = [&](int step) {
        EXPECT_EQ(form().StartBitBtn->text(), QStringLiteral("Stop"));
        EXPECT_FALSE(form().FileAdvEdit->isEnabled());
        EXPECT_FALSE(form().ChangeSpeedButton->isEnabled());
        EXPECT_FALSE(form().ChangeLabel->isEnabled());
        EXPECT_FALSE(form().BrowseLabel->isEnabled());
        if (step == 37) {
            // A click queued for the pump: the handler runs again, nested, and only raises the flag.
            QMetaObject::invokeMethod(form().StartBitBtn, &QPushButton::click, Qt::QueuedConnection);
        }
    };
    form().StartBitBtnClick();
    QStringList expected = Header(source, form().FixedFile);
    expected << QStringLiteral("Repair process interrupted by user");
    EXPECT_EQ(box.log(), expected);
    EXPECT_EQ(box.log().size(), 8);
    EXPECT_EQ(form().AdvProgress->value(), 37);
    EXPECT_EQ(box.waiter.calls, 38);
    EXPECT_TRUE(box.dialogs.errorBoxes.isEmpty());
    EXPECT_EQ(box.dialogs.modalShown, 0);
    EXPECT_EQ(form().StartBitBtn->text(), QStringLiteral("Start Repair"));
    EXPECT_TRUE(form().FileAdvEdit->isEnabled());
}

TEST_F(PassTest, StopOnAnEmptyFileShowsNoBox)
{
    chooseFile(QStringLiteral("zero.bin"), QByteArray());
    box.waiter.onStep = [&](int step) {
        if (step == 3)
            form().StartBitBtnClick();
    };
    form().StartBitBtnClick();
    EXPECT_TRUE(box.dialogs.errorBoxes.isEmpty());
    EXPECT_EQ(box.log().constLast(), QStringLiteral("Repair process interrupted by user"));
}

TEST_F(PassTest, FolderInSourceAndChooserCancelled)
{
    box.start();
    form().LogMemo->appendPlainText(QStringLiteral("old line"));
    form().StartBitBtnClick();
    EXPECT_EQ(box.log(), QStringList { QStringLiteral("No File") });
    EXPECT_EQ(form().StartBitBtn->text(), QStringLiteral("Start Repair"));
    EXPECT_EQ(box.dialogs.initialDirs, QStringList { box.documents() });
    EXPECT_EQ(box.waiter.calls, 0);
    EXPECT_FALSE(form().ChangeLabel->isEnabled()); // the state is untouched
}

TEST_F(PassTest, MissingSourceRunsTheChooserFirst)
{
    box.start();
    const QString source = box.files.write(QStringLiteral("late.doc"), "xy");
    box.dialogs.answers = { source };
    form().StartBitBtnClick();
    EXPECT_EQ(box.log().value(2), QStringLiteral("File to be repaired: ") + source);
    EXPECT_EQ(box.log().constLast(), QStringLiteral("Repair process finished"));
}

TEST_F(PassTest, SourceRemovedBetweenChoiceAndPass)
{
    const QString source = chooseFile(QStringLiteral("gone.doc"), "xy");
    QFile::remove(source);
    form().StartBitBtnClick(); // the chooser runs and is cancelled
    EXPECT_EQ(box.log(), QStringList { QStringLiteral("No File") });
}

// A source that cannot be probed: one clear line naming it and the reason, the box, the idle state.
void ExpectProbeFailure(Sandbox& box, const QString& source, const QString& reason)
{
    T_mainForm& form = box.form();
    const QString line = QStringLiteral("Cannot open file \"%1\". %2").arg(source, reason);
    QStringList expected = Header(source, form.FixedFile);
    expected << line << kSeparator << QStringLiteral("Repair process finished");
    EXPECT_EQ(box.log(), expected);
    EXPECT_EQ(box.dialogs.errorBoxes, QStringList { line + QLatin1Char('.') });
    EXPECT_EQ(box.dialogs.modalShown, 0);
    EXPECT_EQ(form.StartBitBtn->text(), QStringLiteral("Start Repair"));
    EXPECT_TRUE(form.FileAdvEdit->isEnabled());
    EXPECT_TRUE(form.ChangeSpeedButton->isEnabled());
}

TEST_F(PassTest, SourceRemovedDuringThePass)
{
    const QString source = chooseFile(QStringLiteral("vanishing.doc"), "xy");
    box.waiter.onStep = [&](int step) {
        if (step == 50)
            QFile::remove(source);
    };
    form().StartBitBtnClick();
    ExpectProbeFailure(box, source, QStringLiteral("No such file or directory"));
}

TEST_F(PassTest, FifoNeverBlocks)
{
    box.start();
    const QString fifo = box.files.file(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(EncodePath(fifo).constData(), 0600), 0);
    box.choose(fifo);
    QElapsedTimer clock;
    clock.start();
    form().StartBitBtnClick();
    EXPECT_LT(clock.elapsed(), 2000);
    ExpectProbeFailure(box, fifo, QStringLiteral("Not a regular file"));
}

TEST_F(PassTest, DeviceAndSocketAreRefused)
{
    box.start();
    box.choose(QStringLiteral("/dev/zero"));
    form().StartBitBtnClick();
    ExpectProbeFailure(box, QStringLiteral("/dev/zero"), QStringLiteral("Not a regular file"));

    const QString socketPath = box.files.file(QStringLiteral("s"));
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const QByteArray native = EncodePath(socketPath);
    ASSERT_LT(size_t(native.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    box.dialogs.errorBoxes.clear();
    box.choose(socketPath);
    form().StartBitBtnClick();
    ExpectProbeFailure(box, socketPath, QStringLiteral("No such device or address"));
    ::close(s);
}

TEST_F(PassTest, UnreadableSourceIsAFailureNotAnEmptyFile)
{
    box.start();
    box.choose(QStringLiteral("/proc/self/mem")); // opens, but reading its start fails
    form().StartBitBtnClick();
    const QString line = box.log().value(7);
    EXPECT_TRUE(line.startsWith(QStringLiteral("Cannot read file \"/proc/self/mem\". ")))
        << line.toStdString();
    EXPECT_EQ(box.dialogs.errorBoxes.size(), 1);
    EXPECT_EQ(form().StartBitBtn->text(), QStringLiteral("Start Repair"));
}

TEST_F(PassTest, SourceIsNeverModified)
{
    const QByteArray content = QByteArray("\x01\x02") + QByteArray(70000, 'z');
    const QString source = chooseFile(QStringLiteral("keep.doc"), content);
    utimbuf old { 1000000000, 1000000000 };
    ASSERT_EQ(::utime(EncodePath(source).constData(), &old), 0);
    const QFileInfo before(source);
    form().StartBitBtnClick();
    QFile f(source);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), content);
    const QFileInfo after(source);
    EXPECT_EQ(after.lastModified(), before.lastModified());
    EXPECT_EQ(after.lastModified().toSecsSinceEpoch(), 1000000000);
    EXPECT_FALSE(QFile::exists(form().FixedFile));
}

TEST_F(PassTest, NonUtf8NameIsProbed)
{
    box.start();
    const QString raw = DecodePath(EncodePath(box.files.path()) + "/\xe9t\xe9.doc");
    const int fd = ::open(EncodePath(raw).constData(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "", 0), 0);
    ::close(fd);
    box.choose(raw);
    form().StartBitBtnClick();
    EXPECT_EQ(
        box.log().value(7), QStringLiteral("Your file is zero sized. No data in it and nothing to repair"));
}

TEST_F(PassTest, FileOverFourGiBReportsItsSize)
{
    const QString source = chooseFile(QStringLiteral("big.iso"), "A");
    const qint64 size = (qint64(4) << 30) + 1;
    ASSERT_EQ(::truncate(EncodePath(source).constData(), off_t(size)), 0);
    EXPECT_EQ(form().get_file_size(source), size);
    form().StartBitBtnClick();
    EXPECT_EQ(box.log().value(7), QStringLiteral("No data to recover detected")); // 'A' then zeros
}

TEST_F(PassTest, ClosingTheWindowStopsThePassAtOnce)
{
    chooseFile(QStringLiteral("report.doc"), QByteArray("AB"));
    form().show();
    box.waiter.onStep = [&](int step) {
        if (step == 10)
            form().close();
    };
    form().StartBitBtnClick();
    EXPECT_EQ(box.waiter.calls, 11);
    EXPECT_EQ(box.dialogs.modalShown, 0);
    EXPECT_TRUE(box.dialogs.errorBoxes.isEmpty());
    EXPECT_FALSE(form().isVisible());
}

TEST_F(PassTest, ApplicationEndingStopsThePass)
{
    chooseFile(QStringLiteral("report.doc"), QByteArray("AB"));
    box.waiter.onStep = [&](int step) { box.waiter.ending = step >= 4; };
    form().StartBitBtnClick();
    EXPECT_EQ(box.waiter.calls, 5);
    EXPECT_EQ(box.dialogs.modalShown, 0);
    EXPECT_TRUE(box.dialogs.errorBoxes.isEmpty());
}

TEST_F(PassTest, ActivationSetsCaptionAndClearsStopRequest)
{
    box.start();
    form().setWindowTitle(QStringLiteral("x"));
    form().StopRequested = true;
    form().show();
    form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Quillon  2.1 Build 2"));
    EXPECT_FALSE(form().StopRequested);
}

// The real wait: 101 steps of 50 ms, and a Stop that takes effect within the step it was clicked in.
class RealTimeWaiter : public TWaiter {
public:
    bool WaitAndPump(int milliseconds) override { return ::WaitAndPump(milliseconds); }
};

TEST_F(PassTest, RealTimePassAndStop)
{
    RealTimeWaiter real;
    const QString source = chooseFile(QStringLiteral("report.doc"), QByteArray("AB"));
    TServices services { &box.dialogs, &box.desktop, &box.clock, &real, &CreateUserSettingsKey };
    T_mainForm form(services);
    form.FileAdvEdit->setText(source);
    form.show();

    QElapsedTimer clock;
    clock.start();
    form.StartBitBtnClick();
    EXPECT_GE(clock.elapsed(), 5050);
    EXPECT_EQ(form.LogMemo->toPlainText().split(QLatin1Char('\n')).constLast(),
        QStringLiteral("Repair process finished"));

    int barAtClick = -1;
    qint64 clickedAt = 0;
    QTimer::singleShot(600, &form, [&] {
        barAtClick = form.AdvProgress->value();
        clickedAt = clock.elapsed();
        QTest::mouseClick(form.StartBitBtn, Qt::LeftButton);
    });
    clock.restart();
    form.StartBitBtnClick();
    const qint64 ended = clock.elapsed();
    EXPECT_EQ(form.AdvProgress->value(), barAtClick); // stopped in the step it was clicked in
    EXPECT_GT(barAtClick, 0);
    EXPECT_LE(ended - clickedAt, 50 + 100); // one step, with room for a loaded machine
    EXPECT_EQ(form.LogMemo->toPlainText().split(QLatin1Char('\n')).constLast(),
        QStringLiteral("Repair process interrupted by user"));
}

} // namespace
