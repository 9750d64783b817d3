// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/media/fake_media.h"
#include "core/study/unit_file.h"
#include "support/ui/study_screen.h"
#include "ui/study/sentence_list.h"
#include "ui/widgets/tip_window.h"
#include "ui/study/unit_list_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace dictora::test {

// The study screen over a temporary program folder holding one Unit "课文"
// of two Sections, whose sentences carry spans in a media file of 20 s:
//   0 title "第一课", 1 "one" 1000-2000, 2 "two" 2000-3000,
//   3 title "第二课", 4 "three" 500-1500, 5 "four" 1500-2500.
// The media layer answers like a device that plays at once.
class SentenceListFixture : public ::testing::Test, protected StudyScreen {
protected:
    FakeCommands media;
    FakeSpeech speech;
    QString mediaPath;

    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        mediaPath = home.filePath(QStringLiteral("lesson one.mp3"));
        QFile mediaFile(mediaPath);
        ASSERT_TRUE(mediaFile.open(QIODevice::WriteOnly));
        mediaFile.write("not decoded: the fake device answers");
        mediaFile.close();
        media.replies[QStringLiteral("Status MYSHOW Length")] = QStringLiteral("20000");
        media.replies[QStringLiteral("Status MYSHOW Mode")] = QStringLiteral("playing");
        writeUnit(QStringLiteral("课文"),
                  {title("第一课"), sentence("one", 1000, 2000), sentence("two", 2000, 3000),
                   title("第二课"), sentence("three", 500, 1500), sentence("four", 1500, 2500)});

        buildStudyScreen({.media = &media,
                          .speech = &speech,
                          .devicePlaysAtOnce = true,
                          .size = QSize(1000, 700)});
        showStudyScreen();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
        openUnit(QStringLiteral("课文"));
        media.log.clear();
    }
    void TearDown() override { closeStudyScreen(); }

    SentenceList& list() { return *panel->sentenceList(); }
    TipWindow& tip() { return *panel->tipWindow(); }

    void openUnit(const QString& name)
    {
        panel->unitList()->list()->setCurrentRow(library->positionOf(name));
        ASSERT_EQ(library->unitName(), name);
    }

    // The centre of a row, at x, in the list's viewport.
    QPoint rowPoint(int row, int x = 500)
    {
        return {x, list().visualRect(table.index(row, 0)).center().y()};
    }
    // A left click on a row, with the cursor there as the frame's timer
    // would have seen it.
    void clickRow(int row, int x = 500)
    {
        const QPoint at = rowPoint(row, x);
        state.cursorPos = list().viewport()->mapToGlobal(at);
        QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, at);
    }
    void key(Qt::Key k) { QTest::keyClick(&list(), k); }

    QString writeUnit(const QString& name, const std::vector<SentenceRow>& rows)
    {
        const QString path = folder.dataFolder() + name + ".dat";
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(encodeUnit(kNewUnitHeader, rows, false));
        return path;
    }
    SentenceRow sentence(const char* text, int start, int end) const
    {
        SentenceRow row = makeSentenceRow();
        row[StartMs] = QString::number(start);
        row[EndMs] = QString::number(end);
        row[Text] = QString::fromUtf8(text);
        row[Done] = "0";
        row[Level] = "0";
        row[StudiedAt] = kDefaultStampText;
        row[MediaPath] = mediaPath;
        row[MediaName] = QStringLiteral("lesson one.mp3");
        row[MediaLengthMs] = "0";
        return row;
    }
    SentenceRow title(const char* text) const
    {
        SentenceRow row = makeTitleRow(QString::fromUtf8(text));
        row[StudiedAt] = kDefaultStampText;
        row[MediaPath] = mediaPath;
        row[MediaName] = QStringLiteral("lesson one.mp3");
        return row;
    }
    QStringList plays() const { return media.matching(QStringLiteral("Play MYSHOW")); }
};

// Answers the next message box with the given button once it shows, noting
// its caption and text.
struct BoxSeen {
    QString caption;
    QString text;
};
inline std::shared_ptr<BoxSeen> answerNextBox(QMessageBox::StandardButton answer)
{
    auto seen = std::make_shared<BoxSeen>();
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, seen, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        timer->stop();
        timer->deleteLater();
        seen->caption = box->windowTitle();
        seen->text = box->text();
        box->button(answer)->click();
    });
    timer->start();
    return seen;
}

} // namespace dictora::test
