// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/import/content_change_question.h"

#include <QDialog>

namespace dictora {

class StudyPanel;

// "内容变更": asked while a text file is imported into a Section that already
// has sentences, whether the new lines replace the old ones or follow them.
// The importer asks it through ContentChangeQuestion; the answer is kept as
// contentChangeChoice until the next question.
class ContentChangeDialog : public QDialog, public ContentChangeQuestion {
    Q_OBJECT
public:
    ContentChangeDialog(StudyPanel& panel, QWidget* owner);

    // Shows the question modally and returns the answer; "取消", Esc and the
    // close box answer Cancel.
    ContentChangeChoice ask() override;

    ContentChangeChoice contentChangeChoice() const { return contentChangeChoice_; }

private:
    void answer(ContentChangeChoice choice);

    StudyPanel& panel_;
    ContentChangeChoice contentChangeChoice_ = ContentChangeChoice::Cancel;
};

} // namespace dictora
