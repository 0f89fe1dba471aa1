#include "app/windows/InformationDialog.h"

#include "platform/ErrorGuard.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>

InformationDialog::InformationDialog(QWidget* parent) : FixedDialog("Help", 339, 211, parent) {
    setObjectName("helpForm");
    QFont large = font();
    large.setPointSize(large.pointSize() + 5);
    large.setBold(true);
    const auto addLabel = [this](const QString& text, const QFont& f, int y) {
        auto* label = new QLabel(text, this);
        label->setFont(f);
        label->setGeometry(12, y, 320, QFontMetrics(f).height() + 2);
    };
    addLabel("        Logosmith", large, 8);
    addLabel("Ver 1.03  ( Feb. 2003)", large, 36);
    addLabel("This program converts images into bitmap suitable ", font(), 72);
    addLabel("for printing ", font(), 88);
    QFont small = font();
    small.setPointSize(std::max(6, small.pointSize() - 1));
    addLabel("Warning: this computer program is protected by copyright law.", small, 112);
    addLabel("Unauthorized reproduction or distribution of this program,", small, 126);
    addLabel("or any portion of it, may result in civil and criminal", small, 140);
    addLabel("penalties, and is prohibited.", small, 154);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("btnOK");
    ok->setGeometry(246, 176, 80, 26);
    // Part of the design, never shown and without an action.
    auto* systemInfo = new QPushButton("System Info", this);
    systemInfo->setObjectName("btnInfo");
    systemInfo->setGeometry(150, 176, 86, 26);
    systemInfo->hide();
    logosmith::connectGuarded(ok, &QPushButton::clicked, this, [this] { close(); });

    filesFolder_ = new QLabel(this);
    filesFolder_->setObjectName("filesFolderLabel");
    filesFolder_->setFont(small);
    filesFolder_->setGeometry(12, 174, 228, 30);
}

void InformationDialog::showFilesFolder(const QString& rootDir) {
    const QString folder = QDir::cleanPath(rootDir) + '/';
    QString shown = folder;
    const QString home = QDir::homePath() + '/';
    if (shown.startsWith(home))
        shown = "~/" + shown.mid(home.size());
    // A long folder is shortened in the middle; the whole of it is in the tooltip.
    shown = QFontMetrics(filesFolder_->font())
                .elidedText(shown, Qt::ElideMiddle, filesFolder_->width());
    filesFolder_->setText("Library and scratch files:\n" + shown);
    filesFolder_->setToolTip(folder);
}
