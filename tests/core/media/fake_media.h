// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/media/media_commands.h"
#include "core/media/speech_output.h"
#include "core/media/video_surface.h"
#include "core/study/study_state.h"
#include "support/print_qstring.h"

#include <QMap>
#include <QStringList>

#include <functional>
#include <ostream>

namespace dictora::test {

// Records every command and answers from a table of replies keyed by the
// whole command text (empty, as for success, when not listed); a handler may
// take over for commands with changing replies.
class FakeCommands : public MediaCommands {
public:
    QString send(const QString& command) override
    {
        log << command;
        if (handler) {
            QString reply;
            if (handler(command, reply))
                return reply;
        }
        return replies.value(command); // success replies are empty
    }

    QStringList matching(const QString& prefix) const
    {
        QStringList found;
        for (const QString& command : log) {
            if (command.startsWith(prefix))
                found << command;
        }
        return found;
    }

    QStringList log;
    QMap<QString, QString> replies;
    std::function<bool(const QString& command, QString& reply)> handler;
};

class FakeSpeech : public SpeechOutput {
public:
    void setSpeechText(const QString& text) override { text_ = text; }
    QString speechText() const override { return text_; }
    void requestSpeech() override
    {
        ++requests;
        pending = true;
        pos = kNone;
    }
    void stopSpeaking() override { ++stops; }
    bool speechPending() const override { return pending; }
    void clearSpeechPending() override { pending = false; }
    int speechPos() const override { return pos; }
    int speechState() const override { return state; }
    SpeechFailure speechFailure() const override { return failure; }
    QList<SpeechVoice> voices() override { return installedVoices; }
    void setEnglishVoice(const QString& identifier) override { englishVoice_ = identifier; }
    void setChineseVoice(const QString& identifier) override { chineseVoice_ = identifier; }
    QString englishVoice() const override { return englishVoice_; }
    QString chineseVoice() const override { return chineseVoice_; }
    void setVolume(int volume) override { volume_ = volume; }
    int volume() const override { return volume_; }
    void setRate(int rate) override { rate_ = rate; }
    int rate() const override { return rate_; }

    int requests = 0;
    int stops = 0;
    bool pending = false;
    int pos = kNone;
    int state = 0;
    SpeechFailure failure;
    QList<SpeechVoice> installedVoices;

private:
    QString text_;
    QString englishVoice_;
    QString chineseVoice_;
    int volume_ = 100;
    int rate_ = 0;
};

class FakeSurface : public VideoSurface {
public:
    void showVideo() override { shown = true; }
    void hideVideo() override { shown = false; }
    bool isVideoShown() const override { return shown; }
    QSize windowSize() const override { return {500, 300}; }
    uint32_t surfaceId() const override { return 77; }

    bool shown = false;
};

} // namespace dictora::test
