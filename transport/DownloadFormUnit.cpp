#include "DownloadFormUnit.h"

TDownloadForm* DownloadForm = nullptr;

TDownloadForm::TDownloadForm(QWidget* parent) : FixedDialog("Information", 370, 330, parent) {
    setObjectName("DownloadForm");
}
