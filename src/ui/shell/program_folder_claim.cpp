// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/shell/program_folder_claim.h"

#include "core/study/program_folder.h"
#include "core/study/program_folder_lock.h"
#include "core/study/window_messages.h"

#include <QDir>
#include <QMessageBox>

#include <cstdio>

namespace dictora {

bool claimProgramFolder(ProgramFolderLock& lock, const ProgramFolder& folder,
                        std::chrono::milliseconds wait, QWidget* parent)
{
    QString message;
    switch (lock.take(ProgramFolderLock::Holder::Program, {}, wait)) {
    case ProgramFolderLock::Outcome::Taken:
        return true;
    case ProgramFolderLock::Outcome::HeldByProgram:
    case ProgramFolderLock::Outcome::HeldByCommand:
        message = QStringLiteral("数据文件夹 %1 正在被另一个程序写入 (%2)。\n"
                                 "请等它结束后再启动 Dictora。")
                      .arg(QDir::toNativeSeparators(folder.path), lock.holderText());
        break;
    case ProgramFolderLock::Outcome::Failed: {
        // The words dictora-cli gives, on standard error as they stand and
        // in the learner's language in the box.
        const QString reason = lock.failureMessage(folder.path);
        std::fprintf(stderr, "dictora: %s\n", reason.toLocal8Bit().constData());
        std::fflush(stderr);
        message = windowMessage(reason);
        break;
    }
    }
    // The copy that holds the folder may be in Dictation, its study screen
    // in the top layer over the whole desktop: the box joins that layer and
    // takes the keyboard, or it would wait unseen behind it.
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Dictora"), message, QMessageBox::Ok,
                    parent);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.show();
    box.raise();
    box.activateWindow();
    box.exec();
    return false;
}

} // namespace dictora
