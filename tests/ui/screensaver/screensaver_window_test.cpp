// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/screensaver/screensaver_window.h"

#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "platform/desktop/window_source.h"
#include "ui/shell/frame_dialog.h"
#include "ui/shell/main_panel_dialog.h"
#include "ui/study/sentence_list.h"
#include "ui/widgets/study_services.h"
#include "ui/widgets/tip_window.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <gtest/gtest.h>

namespace dictora {
namespace {

// A desktop with one foreign window over the screensaver, logging what the
// guard does to it.
class OneIntruder : public WindowSource {
public:
    explicit OneIntruder(quint64 screensaver) : screensaver_(screensaver) {}
    quint64 foregroundWindow() override { return 7; }
    ForeignWindowInfo describe(quint64 window) override
    {
        ForeignWindowInfo info;
        info.id = window;
        info.pid = 5000;
        info.processStart = 123;
        info.sameUser = true;
        info.mayEnd = true;
        info.className = QStringLiteral("XTerm");
        info.title = QStringLiteral("bash");
        info.frame = QRect(10, 10, 300, 200);
        info.viewable = true;
        return info;
    }
    QList<quint64> stackingOrder() override { return {screensaver_, 7}; }
    void minimise(quint64) override { log << QStringLiteral("minimise"); }
    void requestClose(quint64) override { log << QStringLiteral("close"); }
    bool endProcess(const ForeignWindowInfo&, bool force) override
    {
        log << (force ? QStringLiteral("kill") : QStringLiteral("end"));
        return true;
    }
    QStringList log;

private:
    quint64 screensaver_;
};

class ScreensaverFlow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        services.folder.path = home.path() + QLatin1Char('/');
        ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("Cfg")));
        savePicture(QStringLiteral("dsc1.png"), Qt::red);
        savePicture(QStringLiteral("dsc2.png"), Qt::green);
        savePicture(QStringLiteral("dsc3.png"), Qt::blue);
    }

    void savePicture(const QString& name, const QColor& colour, const QString& folder = {})
    {
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(colour);
        const QString dir = folder.isEmpty() ? services.folder.cfgFolder() : folder;
        ASSERT_TRUE(image.save(QDir(dir).filePath(name)));
    }

    // The frame with its whole window set, after the start-up splash.
    void startAfterSplash()
    {
        frame = std::make_unique<FrameDialog>(services, DesktopProbe{});
        frame->start();
        screensaver = frame->mainPanel()->screensaver();
        ASSERT_NE(screensaver, nullptr);
        if (screensaver->splashStage != 3) {
            QSignalSpy finished(screensaver, &ScreensaverWindow::splashFinished);
            ASSERT_TRUE(finished.wait(10000));
        }
    }

    // Dictation mode starts: the progress panel sees it and switches the
    // screensaver on.
    void startDictationMode()
    {
        state.dictationMode = true;
        ASSERT_TRUE(QTest::qWaitFor([&] { return screensaver->screensaverOn(); }));
    }

    // The middle of the backdrop, once the picture being decoded is drawn.
    QColor centre() const
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !screensaver->pictureLoading(); }));
        const QImage& picture = screensaver->picture();
        return picture.pixelColor(picture.width() / 2, picture.height() / 2);
    }

    // Clicks a point given in screen coordinates.
    void clickAt(const QPoint& screen, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(screensaver, button, {}, screensaver->mapFromGlobal(screen));
    }

    // The "★", ">" and "x" boxes at the right end of the screen.
    QPoint pictureBox(int box) const
    {
        const int W = frame->mainPanel()->screenWidth;
        return {W - 150 + box * 50 + 25, screensaver->y() + 25};
    }

    QTemporaryDir home;
    StudyState state;
    SentenceTable sentences;
    StudyServices services{state, sentences};
    std::unique_ptr<FrameDialog> frame;
    ScreensaverWindow* screensaver = nullptr;
};

TEST_F(ScreensaverFlow, SplashGreetsAtFullOpacityThenBringsUpTheStudyScreenAndGoes)
{
    frame = std::make_unique<FrameDialog>(services, DesktopProbe{});
    frame->start();
    screensaver = frame->mainPanel()->screensaver();
    QSignalSpy finished(screensaver, &ScreensaverWindow::splashFinished);

    ASSERT_TRUE(QTest::qWaitFor([&] {
        return screensaver->splashStage == 1 && screensaver->isVisible() &&
               screensaver->windowOpacity() == 1.0;
    }));
    const QImage greeting = screensaver->picture();
    ASSERT_FALSE(greeting.isNull());
    EXPECT_EQ(greeting.pixelColor(greeting.width() / 2, 0).rgb(), QColor(0xCC, 0xE8, 0xCF).rgb());
    int pink = 0;
    for (int y = greeting.height() / 4; y < greeting.height() / 4 + 100; ++y) {
        for (int x = 0; x < greeting.width(); ++x)
            pink += greeting.pixel(x, y) == qRgb(0xFF, 0x80, 0xFF) ? 1 : 0;
    }
    EXPECT_GT(pink, 500) << "the greeting is drawn in pink across the upper quarter";

    ASSERT_TRUE(finished.wait(10000));
    EXPECT_EQ(screensaver->splashStage, 3);
    EXPECT_FALSE(screensaver->isVisible());
    EXPECT_FALSE(screensaver->fadeRunning());
    EXPECT_TRUE(frame->mainPanel()->sentenceList()->isVisible());
}

TEST_F(ScreensaverFlow, BackdropCyclesPicturesAndItsBoxesAddRemoveAndSwitch)
{
    startAfterSplash();
    startDictationMode();
    const QSize screen(frame->mainPanel()->screenWidth, frame->mainPanel()->screenHeight);
    EXPECT_TRUE(screensaver->isVisible());
    EXPECT_EQ(screensaver->geometry(), QRect(QPoint(-1, -1), screen + QSize(2, 2)));
    // The first redraw shows the gradient, then the pictures in turn.
    EXPECT_GT(centre().green(), 200);
    EXPECT_GT(centre().blue(), 200);
    clickAt(pictureBox(1));
    EXPECT_EQ(centre(), QColor(Qt::red));
    clickAt(pictureBox(1));
    EXPECT_EQ(centre(), QColor(Qt::green));

    // "x" removes the picture on the screen and its file; the next one shows.
    clickAt(pictureBox(2));
    EXPECT_EQ(centre(), QColor(Qt::blue));
    EXPECT_FALSE(QFile::exists(services.folder.cfgFolder() + "dsc2.png"));
    EXPECT_EQ(screensaver->pictures().names(), QStringList({"dsc1.png", "dsc3.png"}));

    // "★" copies the chosen picture in as "Dsc" + its name and shows it.
    QTemporaryDir elsewhere;
    savePicture(QStringLiteral("sea.png"), Qt::yellow, elsewhere.path());
    screensaver->setPictureChooser([&] { return elsewhere.filePath("sea.png"); });
    clickAt(pictureBox(0));
    EXPECT_EQ(centre(), QColor(Qt::yellow));
    EXPECT_TRUE(QFile::exists(services.folder.cfgFolder() + "Dscsea.png"));

    // Keys do nothing here.
    QTest::keyClick(screensaver, Qt::Key_Escape);
    QTest::keyClick(screensaver, Qt::Key_Right);
    EXPECT_TRUE(screensaver->isVisible());
    EXPECT_EQ(centre(), QColor(Qt::yellow));

    // The toggle box switches it off, leaving only the label that switches it
    // on again; while off, the picture boxes take no clicks.
    clickAt(screensaver->mapToGlobal(QPoint(50, 30)));
    EXPECT_FALSE(screensaver->screensaverOn());
    EXPECT_TRUE(screensaver->isVisible());
    EXPECT_EQ(screensaver->mask().boundingRect(), QRect(0, 0, 250, 70));
    const QStringList before = screensaver->pictures().names();
    clickAt(screensaver->mapToGlobal(QPoint(50, 30)));
    EXPECT_TRUE(screensaver->screensaverOn());
    EXPECT_TRUE(screensaver->mask().isEmpty());
    EXPECT_EQ(screensaver->pictures().names(), before);

    // Dictation mode ends: the backdrop goes.
    state.dictationMode = false;
    screensaver->SetScreensaverOn(false);
    EXPECT_FALSE(screensaver->isVisible());
}

// The header of a PNG that declares a size, followed by a few pixels: all a
// reader needs to learn the size, as from a picture bomb's header.
QByteArray pngDeclaring(quint32 width, quint32 height)
{
    const auto crc32 = [](const QByteArray& bytes) {
        quint32 crc = 0xFFFFFFFFu;
        for (const char c : bytes) {
            crc ^= uchar(c);
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
        return ~crc;
    };
    const auto bigEndian = [](quint32 value) {
        QByteArray bytes(4, '\0');
        qToBigEndian(value, bytes.data());
        return bytes;
    };
    const auto chunk = [&](const QByteArray& type, const QByteArray& data) {
        return bigEndian(quint32(data.size())) + type + data + bigEndian(crc32(type + data));
    };
    // 8-bit RGB; qCompress gives a zlib stream after a 4-byte length.
    const QByteArray header =
        bigEndian(width) + bigEndian(height) + QByteArray("\x08\x02\x00\x00\x00", 5);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) +
           chunk("IDAT", qCompress(QByteArray(4096, '\0')).mid(4)) + chunk("IEND", {});
}

TEST_F(ScreensaverFlow, APictureBombIsRefusedAndACutAllowListToldOfOnce)
{
    // Sorted first, so the first ">" comes to it.
    QFile bomb(services.folder.cfgFolder() + "dsc0.png");
    ASSERT_TRUE(bomb.open(QIODevice::WriteOnly));
    bomb.write(pngDeclaring(60000, 60000));
    bomb.close();
    QFile allow(services.folder.cfgFolder() + "App.ini");
    ASSERT_TRUE(allow.open(QIODevice::WriteOnly));
    for (int i = 0; i < 150; ++i)
        allow.write("program" + QByteArray::number(i) + "\n");
    allow.close();
    startAfterSplash();
    TipWindow* tip = frame->mainPanel()->tipWindow();
    ASSERT_NE(tip, nullptr);

    // Told on the first tick of the running screensaver, where the allow
    // list is first used.
    startDictationMode();
    ASSERT_TRUE(QTest::qWaitFor([&] { return tip->tipVisible(); }));
    EXPECT_EQ(tip->text(), QStringLiteral("App.ini 过长，其余部分已忽略"));
    tip->HideTip();

    // The bomb draws no background and says why; the next picture comes.
    clickAt(pictureBox(1));
    EXPECT_EQ(centre().alpha(), 0);
    EXPECT_TRUE(tip->tipVisible());
    EXPECT_EQ(tip->text(), QStringLiteral("图片超过1亿像素，请换一张小些的"));
    clickAt(pictureBox(1));
    EXPECT_EQ(centre(), QColor(Qt::red));

    // Told once a run.
    tip->HideTip();
    screensaver->SetScreensaverOn(false);
    screensaver->SetScreensaverOn(true);
    screensaver->tick();
    EXPECT_FALSE(tip->tipVisible());
}

TEST_F(ScreensaverFlow, GuardSendsAnIntruderAwayAndGivesWayToOneThatStays)
{
    startAfterSplash();
    auto desktop = std::make_unique<OneIntruder>(quint64(screensaver->winId()));
    OneIntruder* log = desktop.get();
    screensaver->setWindowSource(std::move(desktop));

    screensaver->tick(); // Browse mode: no guard
    EXPECT_TRUE(log->log.isEmpty());

    state.dictationMode = true;
    screensaver->SetScreensaverOn(true);
    for (int i = 0; i < 6; ++i)
        screensaver->tick();
    EXPECT_EQ(log->log, QStringList({"minimise", "close", "end", "kill"}));
    EXPECT_FALSE(screensaver->screensaverOn());
}

} // namespace
} // namespace dictora
