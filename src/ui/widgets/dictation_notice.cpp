// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets/dictation_notice.h"

#include "core/study/study_state.h"

#include <QMessageBox>

namespace dictora {

bool showAsDictationNotice(QMessageBox& box, const StudyState& state)
{
    if (!state.dictationMode)
        return false;
    box.setWindowModality(Qt::NonModal);
    box.setAttribute(Qt::WA_ShowWithoutActivating);
    box.show();
    return true;
}

} // namespace dictora
