#include "app/windows/AppWindows.h"

#include "app/windows/EditorDialog.h"
#include "app/windows/InformationDialog.h"
#include "app/windows/MainWindow.h"
#include "printdata/windows/ResolutionDialog.h"
#include "transport/windows/AlignmentDialog.h"
#include "transport/windows/FirmwareDialog.h"
#include "transport/windows/PortSettingsDialog.h"

#include "transport/TransferWorker.h"

#include <QRadioButton>
#include <memory>

namespace {
// The one worker every window's transfers run on; it outlives the windows.
std::unique_ptr<logosmith::TransferWorker> transfers;
} // namespace

logosmith::TransferWorker& transferWorker() {
    return *transfers;
}

void createWindows() {
    transfers = std::make_unique<logosmith::TransferWorker>();
    // Every transfer reads the port dialog's lists afresh as it starts.
    const logosmith::PortSettingsProvider portSettings = [] { return PortForm->portSettings(); };
    Form1 = new MainWindow(*transfers);
    Form1->formCreate();
    DownloadForm = new FirmwareDialog(*transfers, portSettings);
    helpForm = new InformationDialog();
    helpForm->showFilesFolder(Form1->state.RootDir);
    ImageEditorForm = new EditorDialog();
    PortForm = new PortSettingsDialog();
    ResolutionForm = new ResolutionDialog();
    verticalForm = new AlignmentDialog(*transfers, portSettings);

    // The maintenance dialogs read the main window's live state through these queries.
    DownloadForm->directMethodChosen = [] { return Form1->DirectPrint->isChecked(); };
    DownloadForm->firmwareFile = [] { return Form1->state.CurrentSourcePath; };
    verticalForm->directMethodChosen = [] { return Form1->DirectPrint->isChecked(); };
    verticalForm->scratchFile = [] { return Form1->scratchFilePath(); };
}

void destroyWindows() {
    delete verticalForm;
    verticalForm = nullptr;
    delete ResolutionForm;
    ResolutionForm = nullptr;
    delete PortForm;
    PortForm = nullptr;
    delete ImageEditorForm;
    ImageEditorForm = nullptr;
    delete helpForm;
    helpForm = nullptr;
    delete DownloadForm;
    DownloadForm = nullptr;
    delete Form1;
    Form1 = nullptr;
    transfers.reset();
}
