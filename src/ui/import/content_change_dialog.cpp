#include "ui/import/content_change_dialog.h"

#include "ui/shell/main_panel_dialog.h"

namespace dictora {

ContentChangeDialog::ContentChangeDialog(MainPanelDialog& panel, QWidget* owner)
    : QDialog(owner), panel_(panel)
{
    setWindowTitle(QStringLiteral("内容变更"));
}

ContentChangeChoice ContentChangeDialog::ask()
{
    contentChangeChoice_ = ContentChangeChoice::Cancel;
    exec();
    return contentChangeChoice_;
}

void ContentChangeDialog::answer(ContentChangeChoice choice)
{
    contentChangeChoice_ = choice;
    accept();
}

} // namespace dictora
