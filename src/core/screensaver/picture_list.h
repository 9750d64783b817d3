// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace dictora {

// The learner's screensaver pictures: the file names (no folder) of the
// pictures in the Cfg folder, in up to 100 slots, and the slot drawn next.
// Each redraw of the running screensaver shows the next picture; after the
// last one the plain gradient is shown once before the first comes back.
class PictureList {
public:
    static constexpr int kSlots = 100;

    // The picture files of a Cfg folder: every file whose name starts with
    // "dsc" in any case (pictures the learner adds are named "Dsc..."), by
    // name; only the first kSlots of them.
    static QStringList pictureFiles(const QString& cfgFolder);

    // Names beyond kSlots are ignored. The slot drawn next starts past the
    // last picture, or at -1 when there are none, so the first redraw shows
    // the gradient.
    explicit PictureList(QStringList names = {});

    const QStringList& names() const { return names_; }
    int index() const { return index_; }

    // The picture for this redraw, and on to the next slot; an empty name
    // means the gradient, after which the first slot comes next.
    QString takeNext();

    enum class AddResult {
        AlreadyListed, // the listed picture of that name is shown next, nothing copied
        Added,         // copied (or not: see copied) and listed in the first free slot
        Full,          // every slot is taken: nothing changes
    };
    struct Added {
        AddResult result = AddResult::Full;
        QString name;
        bool copied = false;
    };
    // Adds the picture file the learner chose as "Dsc" + its file name,
    // copied into the Cfg folder without overwriting anything there, and
    // makes it the one shown next. A copy that fails still lists the name
    // (that slot then draws nothing).
    Added add(const QString& cfgFolder, const QString& chosenFile);

    // Removes the picture on the screen (the slot before the one drawn next)
    // from the list and deletes its file from the Cfg folder; the picture
    // that followed it is shown next. Returns the removed name, or an empty
    // one when the gradient is on the screen and nothing is removed.
    QString removeShown(const QString& cfgFolder);

    // The name a chosen file gets in the Cfg folder.
    static QString nameFor(const QString& chosenFile);

private:
    QStringList names_;
    int index_ = -1;
};

} // namespace dictora
