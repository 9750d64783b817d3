#include "ui/import/clear_record_dialog.h"

#include "ui/shell/main_panel_dialog.h"

namespace dictora {

ClearRecordDialog::ClearRecordDialog(MainPanelDialog& panel, QWidget* owner)
    : QDialog(owner), panel_(panel)
{
    setWindowTitle(QStringLiteral("清除记录"));
}

int ClearRecordDialog::openForUnit()
{
    return exec();
}

void ClearRecordDialog::confirm()
{
    accept();
}

} // namespace dictora
