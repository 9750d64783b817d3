#include "ui/import/add_content_dialog.h"

#include "ui/shell/main_panel_dialog.h"

namespace dictora {

struct AddContentDialog::Choice {};

AddContentDialog::AddContentDialog(MainPanelDialog& panel, QWidget* owner)
    : QDialog(owner), panel_(panel), choice_(std::make_unique<Choice>())
{
}

AddContentDialog::~AddContentDialog() = default;

int AddContentDialog::openForCurrentRow()
{
    return openModal({});
}

int AddContentDialog::openWithFile(const QString& presetPath)
{
    return openModal(presetPath);
}

int AddContentDialog::openModal(const QString&)
{
    return exec();
}

void AddContentDialog::ApplyChosenFile(const QString&, bool) {}
void AddContentDialog::dragEnterEvent(QDragEnterEvent*) {}
void AddContentDialog::dropEvent(QDropEvent*) {}
void AddContentDialog::chooseTextFile() {}
void AddContentDialog::chooseMediaFile() {}
void AddContentDialog::copyBoxClicked() {}
void AddContentDialog::confirm() {}
void AddContentDialog::showView() {}

} // namespace dictora
