#include "AppWindows.h"

#include "DownloadFormUnit.h"
#include "uHelp.h"
#include "uImageEditor.h"
#include "uMain.h"
#include "uPortForm.h"
#include "uResolution.h"
#include "verticalFormUnit.h"

#include <QRadioButton>

void createWindows() {
    Form1 = new TForm1();
    Form1->formCreate();
    DownloadForm = new TDownloadForm();
    helpForm = new ThelpForm();
    ImageEditorForm = new TImageEditorForm();
    PortForm = new TPortForm();
    ResolutionForm = new TResolutionForm();
    verticalForm = new TverticalForm();

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
}
