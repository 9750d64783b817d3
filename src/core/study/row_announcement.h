// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/sentence_table.h"

#include <QString>

namespace dictora {

// What a screen reader says for a row of the sentence list: what the row
// shows, in words. A title row says its Section title; a sentence row its
// text, then how far it is learned (the colour of its marker), and in Edit
// mode its time points; last, why it waits for the learner's look. The
// sentence being dictated is not read out, as it is not shown. today is the
// day stamp "%Y%m%d".
struct RowAnnouncementContext {
    bool current = false;
    bool dictationMode = false;
    bool editMode = false;
    QString today;
    QString review = {}; // the row's review reason in words, empty for none
};

QString rowAnnouncement(const SentenceRow& row, const RowAnnouncementContext& context);

} // namespace dictora
